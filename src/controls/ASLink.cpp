#include "controls/ASLink.h"

#include "BuiltInPictures.h"

#include "controls/Accessible.h"
#include "controls/Cursors.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QShortcutEvent>

#include <algorithm>

namespace jov {

QString URLPrefix(TURLType type)
{
    switch (type) {
    case TURLType::utFile:
        return QStringLiteral("file://");
    case TURLType::utFtp:
        return QStringLiteral("ftp://");
    case TURLType::utGopher:
        return QStringLiteral("gopher://");
    case TURLType::utHttp:
        return QStringLiteral("http://");
    case TURLType::utHttps:
        return QStringLiteral("https://");
    case TURLType::utMailto:
        return QStringLiteral("mailto:");
    case TURLType::utNews:
        return QStringLiteral("news:");
    case TURLType::utTelnet:
        return QStringLiteral("telnet:");
    case TURLType::utWais:
        return QStringLiteral("wais:");
    }
    return QString();
}

QString LinkTarget(TURLType type, const QString &address, bool typeAdd, const QString &file)
{
    QString target = typeAdd ? URLPrefix(type) + address : address;
    if (!file.isEmpty())
        target += QLatin1Char('/') + file;
    return target;
}

ShadowOffsets ShadowOffsetsFor(TShadowPosition position, int size)
{
    const int s = size;
    switch (position) {
    case TShadowPosition::spLeftTop:
        return {{s, s}, {0, 0}};
    case TShadowPosition::spLeftBottom:
        return {{s, 0}, {0, s}};
    case TShadowPosition::spRightBottom:
        return {{0, 0}, {s, s}};
    case TShadowPosition::spRightTop:
        return {{0, s}, {s, 0}};
    }
    return {};
}

TASLink::TASLink(QWidget *parent) : QWidget(parent)
{
    InstallAccessibleControls();
    resize(65, 17);

    // The hand is registered anew by every link, so the latest picture wins.
    const QPixmap hand = QPixmap::fromImage(BuiltInPicture(QLatin1StringView("cursor_hand")));
    SetScreenCursor(HandCursorIndex,
                    hand.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(hand, 0, 0));
    setCursor(ScreenCursor(HandCursorIndex));

    m_savedColor = m_fontColor;

    if (auto *app = qobject_cast<QApplication *>(QCoreApplication::instance())) {
        connect(app, &QApplication::focusChanged, this,
                [this](QWidget *, QWidget *now) { focusChanged(now); });
    }
}

void TASLink::setAlignment(TAlignment alignment)
{
    if (m_alignment == alignment)
        return;
    m_alignment = alignment;
    update();
}

void TASLink::setAutoSize(bool on)
{
    if (m_autoSize == on)
        return;
    m_autoSize = on;
    AdjustBounds();
}

void TASLink::setFocusControl(QWidget *control)
{
    m_focusControl = control; // a QPointer: becomes null when the control goes away
    m_focusControlActive = control && control->hasFocus();
    updateShortcut();
    if (m_showFocus)
        update();
}

void TASLink::setLayout(TTextLayout layout)
{
    if (m_layout == layout)
        return;
    m_layout = layout;
    update();
}

QColor TASLink::shadowColor() const
{
    return m_shadowColor.isValid() ? m_shadowColor
                                   : palette().color(QPalette::Active, QPalette::Light);
}

void TASLink::setShadowColor(const QColor &color)
{
    if (m_shadowColor == color)
        return;
    m_shadowColor = color;
    update();
}

void TASLink::setShadowSize(unsigned char size)
{
    if (m_shadowSize == size)
        return;
    m_shadowSize = size;
    AdjustBounds();
    update();
}

void TASLink::setShadowPos(TShadowPosition position)
{
    if (m_shadowPos == position)
        return;
    m_shadowPos = position;
    update();
}

void TASLink::setShowAccelChar(bool on)
{
    if (m_showAccelChar == on)
        return;
    m_showAccelChar = on;
    updateShortcut();
    update();
}

void TASLink::setShowFocus(bool on)
{
    if (m_showFocus == on)
        return;
    m_showFocus = on;
    update();
}

void TASLink::setTransparent(bool on)
{
    if (m_transparent == on)
        return;
    m_transparent = on;
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
    update();
}

void TASLink::setWordWrap(bool on)
{
    if (m_wordWrap == on)
        return;
    m_wordWrap = on;
    AdjustBounds();
}

void TASLink::setCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    update();
    AdjustBounds();
    updateShortcut();
}

QColor TASLink::fontColor() const
{
    return m_fontColor.isValid() ? m_fontColor
                                 : palette().color(QPalette::Active, QPalette::WindowText);
}

void TASLink::setFontColor(const QColor &color)
{
    if (m_fontColor == color)
        return;
    m_fontColor = color;
    update();
}

QColor TASLink::color() const
{
    return m_color.isValid() ? m_color : palette().color(QPalette::Active, QPalette::Window);
}

void TASLink::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

QString TASLink::linkTarget() const
{
    return LinkTarget(m_urlType, m_urlAdr, m_urlTypeAdd, m_urlFile);
}

void TASLink::click()
{
    const QPointer<TASLink> guard(this);
    Q_EMIT clicked();
    if (!guard)
        return;
    OpenLink();
    update();
}

void TASLink::OpenLink()
{
    if (m_urlEnabled)
        Q_EMIT linkActivated(linkTarget());
}

int TASLink::textFlags(bool withAlignment) const
{
    int flags = Qt::TextExpandTabs | Qt::AlignTop;
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic; // without it an "&" is drawn as it is
    if (withAlignment) {
        switch (m_alignment) {
        case TAlignment::taLeftJustify:
            flags |= Qt::AlignLeft;
            break;
        case TAlignment::taRightJustify:
            flags |= Qt::AlignRight;
            break;
        case TAlignment::taCenter:
            flags |= Qt::AlignHCenter;
            break;
        }
    } else {
        flags |= Qt::AlignLeft;
    }
    return flags;
}

QRect TASLink::DoDrawText(QPainter *painter, const QRect &rect, int flags) const
{
    const bool measuring = painter == nullptr;
    QString text = m_caption;
    // A measure of nothing still needs the height of a line.
    if (measuring && (text.isEmpty() || (m_showAccelChar && text == QLatin1String("&"))))
        text += QLatin1Char(' ');

    int size = m_shadowSize;
    TShadowPosition position = m_shadowPos;
    QColor shadow = shadowColor();
    QColor ink = fontColor();
    if (!isEnabled()) {
        ink = palette().color(QPalette::Disabled, QPalette::WindowText);
        shadow = palette().color(QPalette::Active, QPalette::Light);
        if (size == 0) {
            size = 1;
            position = TShadowPosition::spRightBottom;
        }
    }

    const ShadowOffsets offsets = ShadowOffsetsFor(position, size);
    QRect textRect = rect.translated(offsets.text);
    QRect shadowRect = rect.translated(offsets.shadow);

    if (measuring) {
        const QFontMetrics metrics(font());
        // Wrapping needs the available width; otherwise each line is as long as it is.
        const QRect room(0, 0, std::max(0, rect.width()), 1 << 20);
        const QSize extent = metrics.boundingRect(room, flags, text).size();
        textRect = QRect(textRect.topLeft(), extent);
        shadowRect = QRect(shadowRect.topLeft(), extent);
    } else {
        painter->setFont(font());
        painter->setPen(shadow);
        painter->drawText(shadowRect, flags, text);
        painter->setPen(ink);
        painter->drawText(textRect, flags, text);
    }
    return textRect | shadowRect;
}

void TASLink::AdjustBounds()
{
    if (!m_autoSize)
        return;
    const QRect inner(1, 0, std::max(0, width() - 2), height());
    const QRect measured = DoDrawText(nullptr, inner, textFlags(false));
    // Text and shadow, plus the pixel kept free on each side.
    const int newWidth = measured.x() + measured.width() + 1;
    const int newHeight = measured.y() + measured.height();
    int left = x();
    if (m_alignment == TAlignment::taRightJustify)
        left = x() + width() - newWidth;
    setGeometry(left, y(), newWidth, newHeight);
}

void TASLink::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_transparent)
        painter.fillRect(rect(), color());

    const int flags = textFlags(true);
    QRect area(1, 0, std::max(0, width() - 2), height());
    if (m_layout != TTextLayout::tlTop) {
        const QRect measured = DoDrawText(nullptr, area, flags);
        const int spare = height() - (measured.y() + measured.height());
        const int down = m_layout == TTextLayout::tlBottom ? spare : spare / 2;
        area = QRect(0, down, width(), height());
    }
    DoDrawText(&painter, area, flags);
}

void TASLink::updateShortcut()
{
    if (m_shortcutId != 0) {
        releaseShortcut(m_shortcutId);
        m_shortcutId = 0;
    }
    if (!m_focusControl || !m_showAccelChar)
        return;
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (!key.isEmpty())
        m_shortcutId = grabShortcut(key);
}

void TASLink::focusChanged(QWidget *now)
{
    const bool active =
        m_focusControl && now && (now == m_focusControl || m_focusControl->isAncestorOf(now));
    if (active == m_focusControlActive)
        return;
    m_focusControlActive = active;
    if (m_showFocus)
        update();
}

bool TASLink::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut) {
        auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->shortcutId() == m_shortcutId && m_shortcutId != 0) {
            QWidget *target = m_focusControl;
            if (isEnabled() && m_showAccelChar && target && target->isVisible() &&
                target->isEnabled() && target->focusPolicy() != Qt::NoFocus) {
                target->setFocus(Qt::ShortcutFocusReason);
            }
            return true;
        }
    }
    return QWidget::event(event);
}

void TASLink::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::EnabledChange: // a disabled link may grow a shadow it did not have
        AdjustBounds();
        update();
        break;
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TASLink::enterEvent(QEnterEvent *event)
{
    // A second enter without a leave must not save the link colour as the colour to restore.
    if (!m_hovering) {
        m_savedColor = m_fontColor;
        m_hovering = true;
    }
    m_fontColor = m_linkColor;
    update();
    QWidget::enterEvent(event);
}

void TASLink::leaveEvent(QEvent *event)
{
    if (m_hovering) {
        m_fontColor = m_savedColor;
        m_hovering = false;
        update();
    }
    QWidget::leaveEvent(event);
}

void TASLink::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    QWidget::mousePressEvent(event);
}

void TASLink::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = m_leftPressed && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
    if (wasPressed && rect().contains(event->position().toPoint()))
        click();
    else
        QWidget::mouseReleaseEvent(event);
}

} // namespace jov
