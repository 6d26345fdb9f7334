#include "controls/ColorButton.h"

#include "controls/QtColor.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include <algorithm>
#include <cmath>

namespace jov {

namespace {

// fillRect with an empty span drawing nothing (a tiny control leaves the inner rings empty).
void FillSpan(QPainter &painter, int x, int y, int w, int h, const QColor &color)
{
    if (w > 0 && h > 0)
        painter.fillRect(QRect(x, y, w, h), color);
}

// The platform's dotted focus rectangle: every other pixel of the outline inverted, so that
// drawing it twice restores the face. `right` and `bottom` are exclusive.
void DrawFocusRect(QPainter &painter, int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    auto invert = [&painter](int x, int y) {
        if ((x + y) % 2 == 0)
            painter.fillRect(QRect(x, y, 1, 1), Qt::white);
    };
    for (int x = left; x < right; ++x) {
        invert(x, top);
        if (bottom - 1 > top)
            invert(x, bottom - 1);
    }
    for (int y = top + 1; y < bottom - 1; ++y) {
        invert(left, y);
        if (right - 1 > left)
            invert(right - 1, y);
    }
    painter.restore();
}

// The picture as drawn: every pixel of the bottom-left pixel's colour becomes see-through.
QImage TransparentBitmap(const QImage &picture)
{
    QImage bitmap = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = bitmap.pixel(0, bitmap.height() - 1);
    for (int y = 0; y < bitmap.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return bitmap;
}

} // namespace

TColorButton::TColorButton(QWidget *parent) : QWidget(parent)
{
    // Every paint covers the whole control.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(75, 25);
    InstallAccessibleControls();
}

void TColorButton::setAlignment(TAlignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    update();
}

void TColorButton::setBevelStyle(TButtonBevel bevel)
{
    if (bevel == m_bevelStyle)
        return;
    m_bevelStyle = bevel;
    update();
}

void TColorButton::setBevelSize(int size)
{
    size = std::max(size, 1);
    if (size == m_bevelSize)
        return;
    m_bevelSize = size;
    applyAutoSize();
    update();
}

QColor TColorButton::color() const
{
    return m_color.isValid() ? m_color : palette().color(QPalette::Button);
}

ColorRef TColorButton::colorRef() const
{
    return ToColorRef(color());
}

void TColorButton::setColor(const QColor &color)
{
    // The face is opaque whatever the given colour carries.
    const QColor face =
        color.isValid() ? QColor(color.red(), color.green(), color.blue()) : QColor();
    if (face == m_color)
        return;
    m_color = face;
    if (m_describeColor)
        NotifyDescriptionChanged(this);
    update();
}

void TColorButton::setColorRef(ColorRef color)
{
    setColor(ToQColor(color));
}

void TColorButton::resetColor()
{
    setColor(QColor());
}

void TColorButton::setColorDescription(ColorDescriber describe)
{
    m_describeColor = std::move(describe);
    NotifyDescriptionChanged(this);
}

QString TColorButton::colorDescription() const
{
    return m_describeColor ? m_describeColor(color()) : QString();
}

void TColorButton::setPicture(const QImage &picture)
{
    if (&picture == &m_picture)
        return;
    m_picture = picture;
    m_bitmap = m_picture.isNull() ? QImage() : TransparentBitmap(m_picture);
    applyAutoSize();
    update();
}

void TColorButton::setSpacing(int spacing)
{
    spacing = std::max(spacing, 0);
    if (spacing == m_spacing)
        return;
    m_spacing = spacing;
    update();
}

void TColorButton::setButtonStyle(TButtonStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    applyAutoSize();
    update();
}

void TColorButton::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    updateShortcut();
    update();
}

void TColorButton::click()
{
    Q_EMIT clicked();
}

void TColorButton::setPressState(TPressState state)
{
    if (state == m_pressState)
        return;
    m_pressState = state;
    update();
}

QSize TColorButton::autoSize() const
{
    return m_picture.size() + QSize(2 * m_bevelSize, 2 * m_bevelSize);
}

QSize TColorButton::sizeHint() const
{
    if (m_style.testFlag(TButtonStyles::bsAutoSize) && !m_picture.isNull())
        return autoSize();
    return QWidget::sizeHint();
}

void TColorButton::applyAutoSize()
{
    if (m_style.testFlag(TButtonStyles::bsAutoSize) && !m_picture.isNull())
        resize(autoSize());
}

void TColorButton::updateShortcut()
{
    if (m_shortcutId != 0) {
        releaseShortcut(m_shortcutId);
        m_shortcutId = 0;
    }
    if (m_shiftShortcutId != 0) {
        releaseShortcut(m_shiftShortcutId);
        m_shiftShortcutId = 0;
    }
    const QChar hotkey = AcceleratorChar(m_caption);
    if (hotkey.isNull() || hotkey.isSpace())
        return;
    // Qt names a letter key by its upper-case character; the hotkey matches either case, so
    // Alt+Shift+letter counts as well.
    const auto key = Qt::Key(hotkey.toUpper().unicode());
    m_shortcutId = grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, key)));
    if (hotkey.isLetter())
        m_shiftShortcutId =
            grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier | Qt::ShiftModifier, key)));
}

bool TColorButton::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut) {
        const int id = static_cast<QShortcutEvent *>(event)->shortcutId();
        if (id != 0 && (id == m_shortcutId || id == m_shiftShortcutId)) {
            if (isEnabled())
                click();
            return true;
        }
    }
    return QWidget::event(event);
}

void TColorButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        setPressState(isEnabled() ? TPressState::psUp : TPressState::psDisabled);
        break;
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
}

void TColorButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_hasFocus = true;
    update();
}

void TColorButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    m_hasFocus = false;
    update();
}

void TColorButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    Q_EMIT pressed(event->button(), event->modifiers(), event->position().toPoint());
    if (isEnabled())
        setPressState(TPressState::psDown);
}

void TColorButton::mouseReleaseEvent(QMouseEvent *event)
{
    // The click comes first, so that it runs while the button is still drawn pressed.
    if (event->button() == Qt::LeftButton && m_leftPressed) {
        m_leftPressed = false;
        if (rect().contains(event->position().toPoint()))
            click();
    }
    Q_EMIT released(event->button(), event->modifiers(), event->position().toPoint());
    if (isEnabled())
        setPressState(TPressState::psUp);
}

void TColorButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click arms no click: its release must not click again.
    m_leftPressed = false;
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
    Q_EMIT pressed(event->button(), event->modifiers(), event->position().toPoint());
    if (isEnabled())
        setPressState(TPressState::psDown);
}

void TColorButton::keyPressEvent(QKeyEvent *event)
{
    int key = event->key();
    if (OnKeyDown)
        OnKeyDown(key, event->modifiers());
    if (key == Qt::Key_Space && isEnabled()) {
        setPressState(TPressState::psDown);
        event->accept();
        return;
    }
    if (key == 0) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TColorButton::keyReleaseEvent(QKeyEvent *event)
{
    // A held key repeats its press only; the release that ends it comes once.
    if (event->isAutoRepeat()) {
        event->ignore();
        return;
    }
    int key = event->key();
    if (OnKeyUp)
        OnKeyUp(key, event->modifiers());
    bool handled = key == 0;
    if (key == Qt::Key_Space && isEnabled()) {
        setPressState(TPressState::psUp);
        click();
        handled = true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        m_pressState != TPressState::psDisabled) {
        click();
        handled = true;
    }
    if (handled)
        event->accept();
    else
        QWidget::keyReleaseEvent(event);
}

void TColorButton::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();
    const qreal ratio = devicePixelRatioF();
    // Drawn off screen first: the focus rectangle inverts pixels, which needs a raster target.
    QImage canvas(QSize(int(std::ceil(w * ratio)), int(std::ceil(h * ratio))),
                  QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    QPainter painter(&canvas);
    painter.setFont(font());

    const QColor face = color();
    const ColorRef faceRef = colorRef();
    const QColor light = ToQColor(LightenColor(faceRef));
    const QColor dark = ToQColor(DarkenColor(faceRef));
    painter.fillRect(QRect(0, 0, w, h), face);

    int left = 0, top = 0, right = w, bottom = h;
    if (m_bevelStyle != TButtonBevel::bbNone) {
        const bool sunken =
            (m_pressState == TPressState::psDown) != (m_bevelStyle == TButtonBevel::bbLowered);
        const QColor &topColor = sunken ? dark : light;
        const QColor &bottomColor = sunken ? light : dark;
        for (int i = 0; i < m_bevelSize; ++i) {
            // The bottom-left and top-right corners belong to the bottom colour.
            FillSpan(painter, i, i, 1, h - 2 * i - 1, topColor);
            FillSpan(painter, i, i, w - 2 * i - 1, 1, topColor);
            FillSpan(painter, w - 1 - i, i, 1, h - 2 * i, bottomColor);
            FillSpan(painter, i, h - 1 - i, w - 2 * i, 1, bottomColor);
        }
        left = top = m_bevelSize;
        right = w - m_bevelSize;
        bottom = h - m_bevelSize;
    }

    if (m_hasFocus && m_style.testFlag(TButtonStyles::bsShowFocus) && isEnabled()) {
        DrawFocusRect(painter, left + m_spacing - 1, top + m_spacing - 1, right - m_spacing + 1,
                      bottom - m_spacing + 1);
    }

    const int margin = m_bevelSize + m_spacing;
    if (!m_picture.isNull()) {
        const QRect target = PictureRect(m_style, m_alignment, size(), margin, m_picture.size());
        if (m_style.testFlag(TButtonStyles::bsStretch)) {
            if (!target.isEmpty())
                painter.drawImage(target, m_bitmap);
        } else {
            painter.drawImage(target.topLeft(), m_bitmap);
        }
    }

    if (!m_caption.isEmpty()) {
        if (isEnabled()) {
            drawCaption(painter, 0, palette().color(QPalette::ButtonText));
        } else {
            drawCaption(painter, 1, light);
            drawCaption(painter, 0, dark);
        }
    }
    painter.end();

    QPainter(this).drawImage(0, 0, canvas);
}

void TColorButton::drawCaption(QPainter &painter, int offset, const QColor &color) const
{
    QString text = m_caption;
    const int accel = RemoveAccelMark(text);
    const QFontMetrics metrics = painter.fontMetrics();
    const QPoint at =
        CaptionOrigin(m_alignment, size(), m_bevelSize + m_spacing,
                      QSize(metrics.horizontalAdvance(text), metrics.height()), offset);
    painter.setPen(color);
    painter.drawText(at.x(), at.y() + metrics.ascent(), text);

    if (accel > 0 && m_style.testFlag(TButtonStyles::bsShowKey)) {
        // One pixel below the text cell; every text has the same cell height.
        const int lineY = at.y() + metrics.height();
        const int from = at.x() + metrics.horizontalAdvance(text.left(accel - 1));
        const int to = at.x() + metrics.horizontalAdvance(text.left(accel));
        FillSpan(painter, from, lineY, to - from, 1, color);
    }
}

} // namespace jov
