#pragma once

#include "controls/LoupeGeometry.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <climits>
#include <memory>
#include <optional>

class QPainter;

namespace jov {

namespace x11 {
class DirectWindow;
}

// The pipette's loupe: a small window beside the pointer showing the LoupeBlockSide² device
// pixels around the hot spot, each as a LoupeCellSize² square, the centre one framed in black or
// white (whichever stands out from it), and under the picture the centre's "#RRGGBB" and its
// device coordinates. Cells off the screen are drawn as a grey hatch.
//
// It is a tooltip-type window: on X11 override-redirect, so the window manager never gives it
// the focus, a frame or a task bar entry; it ignores the mouse and never activates itself.
//
// Cheap to feed at every tick: showBlock copies the 225 pixels into a buffer of its own (the
// caller's image is not kept, so the caller can refill it without a copy), repaints only when a
// pixel, the centre or the place changed, and moves the window only when its place changed.
// Once shown, on X11, it paints into its window and moves it itself, without a round trip.
class TLoupe : public QWidget
{
    Q_OBJECT
public:
    // A top-level window even with a parent; the parent only owns it.
    explicit TLoupe(QWidget *parent = nullptr);
    ~TLoupe() override;

    // Logical pixels kept between the hot spot and the loupe's nearest edge: clear of the pointer
    // image and far more than the block's half side, so the loupe never covers the block.
    static constexpr int Gap = 24;

    // Shows `block` (LoupeBlockSide² device pixels centred on hotSpotDevice, any format; cells
    // outside validCells or outside the image are drawn as hatch whatever they hold) and puts
    // the loupe beside the hot spot, whole on the monitor (monitorDevice, in device pixels, with
    // its device-pixel ratio). Shows the window when it is hidden.
    void showBlock(const QImage &block, const QRect &validCells, QPoint hotSpotDevice,
                   const QRect &monitorDevice, qreal devicePixelRatio);

    // The side of the sampling square (odd, 1 to LoupeBlockSide): the frame goes round the
    // square instead of the centre cell, and the colour line gives the square's mean and side.
    void setSampleSide(int side);
    int sampleSide() const { return m_side; }

    // Moves the loupe beside a hot spot without changing its picture.
    void placeNear(QPoint hotSpotDevice, const QRect &monitorDevice, qreal devicePixelRatio);

    // Where the window stands on the screen in device pixels; empty while hidden.
    QRect deviceRect() const;

    // True when a block read around hotSpotDevice would take in the loupe itself (the pointer
    // jumped onto it since the last tick): the caller then moves it away with placeNear and reads
    // on the next tick, once the windows under it have been repainted.
    bool wouldSeeItself(QPoint hotSpotDevice) const;
    // Hides the loupe and waits until the display has taken it off the screen, so that a read of
    // the screen made next, on any connection, no longer sees it.
    void hideNow();

    // What the text lines show: "#RRGGBB" of the centre (empty when the centre is off the
    // screen), or with a square "#RRGGBB  5 × 5" of its mean (empty when no cell of it is on
    // the screen), and "(x, y)" of the hot spot in device pixels.
    QString colorText() const { return m_colorText; }
    QString positionText() const { return m_positionText; }

    // Where the picture lies in the widget, and the frame colour for a centre colour.
    static QRect pictureRect();
    static QColor frameColorFor(const QColor &centre);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    class MoveNotices;

    void fitToFont();
    // Makes the colour line say what the cells and the side give; where it changed, or nothing.
    QRect updateColorText();
    // Paints an area that changed. Once the loupe has been shown and painted, on X11, straight
    // into its window (a repaint through Qt costs a round trip and a wait at every tick); else
    // through Qt.
    void paintNow(QRect area);
    // The window, to paint into and move without Qt; null elsewhere than X11, before the window
    // is made, or where its pixels are not the usual ones.
    x11::DirectWindow *directWindow();
    void paintArea(QPainter &p, const QRect &dirty);
    // Where text line 0 (colour) or 1 (position) is drawn.
    QRect textLineRect(int line) const;

    QImage m_cells; // LoupeBlockSide² RGB32, owned: never shares the caller's buffer
    QRect m_valid;
    int m_side = 1;
    QPoint m_hotSpot{INT_MIN, INT_MIN};
    QString m_colorText;
    QString m_positionText;
    QRect m_deviceRect;
    std::unique_ptr<MoveNotices> m_moveNotices;
    std::unique_ptr<x11::DirectWindow> m_direct;
    unsigned int m_directWindow = 0;
    // Where the window was last put without Qt, in device pixels of its root, and that place in
    // logical pixels.
    std::optional<QPoint> m_movedTo;
    QPoint m_topLeft;
    // The loupe as painted straight into its window, in device pixels.
    QImage m_frame;
};

// A monitor in device pixels with its device-pixel ratio, and Qt's screen for it.
struct LoupeMonitor
{
    QRect device;
    qreal devicePixelRatio = 1;
    QScreen *screen = nullptr;
};

// The monitor showing a device point: among the monitors of the point's X screen (all of them
// elsewhere than X11), the one whose device rectangle holds it, else the first of them (a point
// between monitors); no screen at all gives an empty rectangle.
LoupeMonitor LoupeMonitorAt(const ScreenPoint &point);

// LoupeMonitorAt for a pointer that stays on one monitor most of the time: the last answer
// stands while the point is in its rectangle and that monitor is unchanged.
class LoupeMonitorCache
{
public:
    LoupeMonitor at(const ScreenPoint &point);

private:
    LoupeMonitor m_last;
    int m_xScreen = -1;
    QPointer<QScreen> m_screen;
    QRect m_geometry;
};

} // namespace jov
