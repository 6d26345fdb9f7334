#include "controls/ColorButton.h"

#include "controls/QtColor.h"

#include <QFontMetrics>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>

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

TColorButton::TColorButton(QWidget *parent) : QAbstractButton(parent)
{
    // Focus comes only when asked for, as for a plain widget; every paint covers the whole
    // control.
    setFocusPolicy(Qt::NoFocus);
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
    if (caption == text())
        return;
    setText(caption);
    // The hotkey is the character after the last single "&", of either case.
    const QChar hotkey = AcceleratorChar(caption);
    setShortcut(
        hotkey.isNull() || hotkey.isSpace()
            ? QKeySequence()
            : QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(hotkey.toUpper().unicode()))));
}

TPressState TColorButton::pressState() const
{
    if (!isEnabled())
        return TPressState::psDisabled;
    return isDown() ? TPressState::psDown : TPressState::psUp;
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

void TColorButton::focusInEvent(QFocusEvent *event)
{
    QAbstractButton::focusInEvent(event);
    m_hasFocus = true;
    update();
}

void TColorButton::focusOutEvent(QFocusEvent *event)
{
    QAbstractButton::focusOutEvent(event);
    m_hasFocus = false;
    update();
}

void TColorButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
    event->accept();
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

    const QColor face = color();
    const ColorRef faceRef = colorRef();
    const QColor light = ToQColor(LightenColor(faceRef));
    const QColor dark = ToQColor(DarkenColor(faceRef));
    const bool sunken = isDown() != (m_bevelStyle == TButtonBevel::bbLowered);
    const QColor &topColor = sunken ? dark : light;
    const QColor &bottomColor = sunken ? light : dark;
    // A control whose size is not a whole number of device pixels ends in a device row and
    // column that the drawing below covers only in part, and leaves unpainted; the screen shows
    // them. They take the colour of the edge they continue.
    canvas.fill(m_bevelStyle == TButtonBevel::bbNone ? face : bottomColor);

    QPainter painter(&canvas);
    painter.setFont(font());
    painter.fillRect(QRect(0, 0, w, h), face);

    int left = 0, top = 0, right = w, bottom = h;
    if (m_bevelStyle != TButtonBevel::bbNone) {
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

    if (!text().isEmpty()) {
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
    QString caption = text();
    const int accel = RemoveAccelMark(caption);
    const QFontMetrics metrics = painter.fontMetrics();
    const QPoint at =
        CaptionOrigin(m_alignment, size(), m_bevelSize + m_spacing,
                      QSize(metrics.horizontalAdvance(caption), metrics.height()), offset);
    painter.setPen(color);
    painter.drawText(at.x(), at.y() + metrics.ascent(), caption);

    if (accel > 0 && m_style.testFlag(TButtonStyles::bsShowKey)) {
        // One pixel below the text cell; every text has the same cell height.
        const int lineY = at.y() + metrics.height();
        const int from = at.x() + metrics.horizontalAdvance(caption.left(accel - 1));
        const int to = at.x() + metrics.horizontalAdvance(caption.left(accel));
        FillSpan(painter, from, lineY, to - from, 1, color);
    }
}

} // namespace jov
