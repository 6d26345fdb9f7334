#include "controls/Loupe.h"

#include "controls/QtColor.h"
#include "x11/OwnWindows.h"
#include "x11/X11Requests.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <QtMath>

#include <algorithm>
#include <cstring>

namespace jov {

namespace {

constexpr int Border = 1;
constexpr int TextPadding = 3;
const QColor BorderColor(64, 64, 64);
// The hatch of cells off the screen: neutral greys that no real picture is likely to show in
// this pattern.
const QColor HatchBack(200, 200, 200);
const QColor HatchLine(128, 128, 128);

const QRect AllCells(0, 0, LoupeBlockSide, LoupeBlockSide);

} // namespace

// The display tells a window that moved where it now is (ConfigureNotify), and Qt answers each
// such notice to a top-level window with two round trips (to confirm the place, and to learn
// the frame): at every other tick while the pointer moves. The loupe is only ever moved by the
// program, which knows the place already, so a notice of a pure move of the shown and painted
// loupe is not passed on; the first notice after it is shown, and any change of size, are.
//
// A loupe painted straight into its window (see paintNow) leaves Qt's copy of its picture
// behind, which Qt would show again where the window is uncovered: an exposure repaints the
// whole loupe instead.
class TLoupe::MoveNotices : public QAbstractNativeEventFilter
{
public:
    explicit MoveNotices(TLoupe &loupe) : m_loupe(loupe)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~MoveNotices() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    MoveNotices(const MoveNotices &) = delete;
    MoveNotices &operator=(const MoveNotices &) = delete;

    // Painted since last shown: the first notices (and the exposure they bring) have been
    // handled.
    bool painted = false;

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        // A notice sent by another client (the top bit set) always passes.
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if (event->response_type == XCB_EXPOSE &&
            static_cast<const xcb_expose_event_t *>(message)->window == m_loupe.internalWinId()) {
            m_loupe.update();
            return false;
        }
        if (event->response_type != XCB_CONFIGURE_NOTIFY)
            return false;
        const auto *notice = static_cast<const xcb_configure_notify_event_t *>(message);
        if (notice->window != m_loupe.internalWinId() || notice->event != notice->window)
            return false;
        const QSize size(notice->width, notice->height);
        const bool pureMove = painted && size == m_size;
        m_size = size;
        return pureMove;
    }

private:
    TLoupe &m_loupe;
    QSize m_size;
};

TLoupe::~TLoupe() = default;

TLoupe::TLoupe(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
      m_cells(LoupeBlockSide, LoupeBlockSide, QImage::Format_RGB32)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    m_cells.fill(Qt::black);
    fitToFont();
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        m_moveNotices = std::make_unique<MoveNotices>(*this);
}

void TLoupe::hideEvent(QHideEvent *event)
{
    if (m_moveNotices)
        m_moveNotices->painted = false;
    // Told now where the window was moved without it, Qt places it there again at the next show
    // (nothing moves on the screen: the window is off it already).
    if (m_movedTo)
        move(m_topLeft);
    QWidget::hideEvent(event);
}

x11::DirectWindow *TLoupe::directWindow()
{
    // On X11, once the window is there.
    if (!m_moveNotices || !internalWinId())
        return nullptr;
    const auto window = xcb_window_t(internalWinId());
    if (!m_direct || m_directWindow != window) {
        // A new window (on another X screen): placed and painted whole.
        m_direct = std::make_unique<x11::DirectWindow>(window);
        m_directWindow = window;
        m_movedTo.reset();
        m_frame = QImage();
    }
    return *m_direct ? m_direct.get() : nullptr;
}

void TLoupe::paintNow(QRect area)
{
    if (area.isEmpty())
        return;
    // Qt paints the loupe until it has been shown and painted once.
    const QWindow *handle = windowHandle();
    x11::DirectWindow *direct =
        m_moveNotices && m_moveNotices->painted && isVisible() && handle ? directWindow() : nullptr;
    if (!direct) {
        update(area);
        return;
    }
    const qreal dpr = handle->devicePixelRatio();
    const QSize deviceSize(qCeil(width() * dpr), qCeil(height() * dpr));
    if (m_frame.size() != deviceSize || m_frame.devicePixelRatio() != dpr) {
        m_frame = QImage(deviceSize, QImage::Format_RGB32);
        m_frame.setDevicePixelRatio(dpr);
        area = rect();
    }
    {
        QPainter p(&m_frame);
        p.setClipRect(area);
        paintArea(p, area);
    }
    direct->put(m_frame,
                QRectF(QPointF(area.topLeft()) * dpr, QSizeF(area.size()) * dpr).toAlignedRect());
}

QRect TLoupe::pictureRect()
{
    return QRect(Border, Border, LoupePictureSide, LoupePictureSide);
}

QColor TLoupe::frameColorFor(const QColor &centre)
{
    // Perceived brightness (ITU-R BT.601 weights): dark centres get a white frame.
    const int luma = (299 * centre.red() + 587 * centre.green() + 114 * centre.blue()) / 1000;
    return luma >= 128 ? QColor(Qt::black) : QColor(Qt::white);
}

QRect TLoupe::textLineRect(int line) const
{
    const int height = fontMetrics().height();
    return QRect(Border, LoupePictureSide + 2 * Border + TextPadding + line * height,
                 LoupePictureSide, height);
}

void TLoupe::fitToFont()
{
    const int textHeight = 2 * fontMetrics().height() + 2 * TextPadding;
    setFixedSize(LoupePictureSide + 2 * Border, LoupePictureSide + textHeight + 3 * Border);
}

void TLoupe::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        fitToFont();
        // Qt sizes the window where it last placed it itself.
        m_movedTo.reset();
    }
    QWidget::changeEvent(event);
}

void TLoupe::showBlock(const QImage &block, const QRect &validCells, QPoint hotSpotDevice,
                       const QRect &monitorDevice, qreal devicePixelRatio)
{
    const QRect valid = validCells & AllCells & block.rect();
    QImage converted;
    const QImage *source = &block;
    if (block.format() != QImage::Format_RGB32) {
        converted = block.convertToFormat(QImage::Format_RGB32);
        source = &converted;
    }
    // Only what changed is repainted: at rest nothing, while moving mostly the picture and the
    // position line.
    bool pictureChanged = valid != m_valid;
    if (!valid.isEmpty()) {
        const std::size_t bytes = std::size_t(valid.width()) * 4;
        for (int y = valid.top(); y <= valid.bottom(); ++y) {
            const uchar *from = source->constScanLine(y) + valid.left() * 4;
            // constScanLine first: comparing must not detach the buffer.
            if (std::memcmp(m_cells.constScanLine(y) + valid.left() * 4, from, bytes) != 0) {
                std::memcpy(m_cells.scanLine(y) + valid.left() * 4, from, bytes);
                pictureChanged = true;
            }
        }
    }
    QRect changed;
    if (pictureChanged) {
        m_valid = valid;
        changed |= updateColorText();
        changed |= pictureRect();
    }
    if (hotSpotDevice != m_hotSpot) {
        m_hotSpot = hotSpotDevice;
        m_positionText = QStringLiteral("(%1, %2)").arg(hotSpotDevice.x()).arg(hotSpotDevice.y());
        changed |= textLineRect(1);
    }
    placeNear(hotSpotDevice, monitorDevice, devicePixelRatio);
    paintNow(changed);
    if (!isVisible())
        show();
}

void TLoupe::setSampleSide(int side)
{
    side = std::clamp(side | 1, 1, LoupeBlockSide);
    if (side == m_side)
        return;
    m_side = side;
    paintNow(updateColorText() | pictureRect());
}

QRect TLoupe::updateColorText()
{
    QString colorText;
    if (const std::optional<QColor> mean = SquareMean(m_cells, m_valid, m_side)) {
        colorText = m_side == 1 ? HtmlText(*mean)
                                : QStringLiteral("%1  %2 × %2").arg(HtmlText(*mean)).arg(m_side);
    }
    if (colorText == m_colorText)
        return {};
    m_colorText = colorText;
    return textLineRect(0);
}

void TLoupe::placeNear(QPoint hotSpotDevice, const QRect &monitorDevice, qreal devicePixelRatio)
{
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1;
    const QPoint origin = monitorDevice.topLeft();
    const QPoint topLeft = LoupeTopLeft(DeviceToLogical(hotSpotDevice, origin, dpr), size(),
                                        MonitorToLogical(monitorDevice, dpr), Gap);
    m_topLeft = topLeft;
    m_deviceRect = QRect(LogicalToDevice(topLeft, origin, dpr),
                         QSize(qCeil(width() * dpr), qCeil(height() * dpr)));
    // While shown, moved without Qt, which would set its size hints again and hear of it at
    // every move; Qt is told at the next hide. Hidden, Qt places it when it shows it.
    if (x11::DirectWindow *direct = isVisible() ? directWindow() : nullptr) {
        if (m_movedTo != m_deviceRect.topLeft()) {
            direct->move(m_deviceRect.topLeft());
            m_movedTo = m_deviceRect.topLeft();
        }
    } else {
        m_movedTo.reset();
        if (pos() != topLeft)
            move(topLeft);
    }
}

QRect TLoupe::deviceRect() const
{
    return isVisible() ? m_deviceRect : QRect();
}

bool TLoupe::wouldSeeItself(QPoint hotSpotDevice) const
{
    // A pixel of slack on each side for the rounding between logical and device pixels.
    return deviceRect().adjusted(-1, -1, 1, 1).intersects(LoupeBlockAround(hotSpotDevice));
}

void TLoupe::paintEvent(QPaintEvent *event)
{
    if (m_moveNotices)
        m_moveNotices->painted = true;
    QPainter p(this);
    paintArea(p, event->rect());
}

// Qt clips to the region being updated; parts outside it are not even drawn.
void TLoupe::paintArea(QPainter &p, const QRect &dirty)
{
    const QRect picture = pictureRect();
    if (dirty.intersects(picture)) {
        p.fillRect(rect(), BorderColor);
        if (m_valid != AllCells) {
            p.fillRect(picture, HatchBack);
            p.fillRect(picture, QBrush(HatchLine, Qt::BDiagPattern));
        }
        if (!m_valid.isEmpty()) {
            // No smooth transform: the scaling repeats each pixel into its square.
            p.drawImage(QRect(picture.topLeft() + m_valid.topLeft() * LoupeCellSize,
                              m_valid.size() * LoupeCellSize),
                        m_cells, m_valid);
        }

        // A one-pixel frame just outside the centre cell (or the sampling square), so every
        // cell sampled keeps its colour.
        const QColor frame =
            frameColorFor(SquareMean(m_cells, m_valid, m_side).value_or(HatchBack));
        const QRect square = SampleSquareCells(m_side);
        const QRect cells(picture.topLeft() + square.topLeft() * LoupeCellSize,
                          square.size() * LoupeCellSize);
        const QRect outer = cells.adjusted(-1, -1, 1, 1);
        p.fillRect(QRect(outer.left(), outer.top(), outer.width(), 1), frame);
        p.fillRect(QRect(outer.left(), outer.bottom(), outer.width(), 1), frame);
        p.fillRect(QRect(outer.left(), outer.top(), 1, outer.height()), frame);
        p.fillRect(QRect(outer.right(), outer.top(), 1, outer.height()), frame);
    }

    const QRect text(Border, picture.bottom() + 1 + Border, picture.width(),
                     height() - picture.bottom() - 1 - 2 * Border);
    if (dirty.intersects(text)) {
        p.fillRect(text, palette().color(QPalette::ToolTipBase));
        p.setPen(palette().color(QPalette::ToolTipText));
        // Digits, letters and signs, new at every move: laid out without a shaping pass.
        QFont plain = font();
        plain.setStyleStrategy(QFont::PreferNoShaping);
        p.setFont(plain);
        for (int line = 0; line < 2; ++line) {
            const QRect where = textLineRect(line);
            if (dirty.intersects(where))
                p.drawText(where, Qt::AlignCenter, line == 0 ? m_colorText : m_positionText);
        }
    }
}

LoupeMonitor LoupeMonitorAt(const ScreenPoint &point)
{
    const QList<QScreen *> screens = x11::QtScreensOf(point.screen);
    const auto holding = std::find_if(screens.cbegin(), screens.cend(), [&](const QScreen *s) {
        return DeviceGeometry(s).contains(point.pos);
    });
    QScreen *screen = holding != screens.cend() ? *holding
                      : screens.isEmpty()       ? nullptr
                                                : screens.first();
    if (!screen)
        return {};
    return {DeviceGeometry(screen), screen->devicePixelRatio(), screen};
}

void TLoupe::hideNow()
{
    hide();
    x11::Sync();
}

LoupeMonitor LoupeMonitorCache::at(const ScreenPoint &point)
{
    if (!m_screen || point.screen != m_xScreen || !m_last.device.contains(point.pos) ||
        m_screen->geometry() != m_geometry ||
        m_screen->devicePixelRatio() != m_last.devicePixelRatio) {
        m_last = LoupeMonitorAt(point);
        m_xScreen = point.screen;
        m_screen = m_last.screen;
        m_geometry = m_screen ? m_screen->geometry() : QRect();
    }
    return m_last;
}

} // namespace jov
