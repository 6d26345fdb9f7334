#pragma once

#include "controls/DevicePixels.h"
#include "controls/Loupe.h"
#include "controls/ScreenBlock.h"
#include "mainwindow/FormServices.h"

#include <QColor>
#include <QObject>
#include <QPoint>

class QTimer;
class QWidget;
class QWindow;

namespace jov {

class THookMouse;
class TPortalColorPicker;

/// The eyedropper. On X11 a 10 ms timer shows the pixel under the pointer as the sample (and,
/// when wanted, the pixels around it in a loupe), the arrow keys move the pointer by one device
/// pixel (ten with Shift), and a left or right release anywhere, reported by the mouse hook,
/// ends it with the colour of the pixel where the button came up. Everything is in device
/// pixels: the pointer, the pixels read and the release point. The pointer is never moved at
/// the end: a pointer that has moved on since the release stays where the user put it. Where the
/// desktop does not let programs read the screen (a Wayland session), the desktop's portal picks
/// instead.
///
/// The sample can also be the mean of a square of device pixels around the hot spot (side 1
/// to 15, changed with the wheel and the + and - keys while picking); side 1 is the pixel alone.
///
/// It always ends: a hook that cannot start ends it at once, Escape ends it, and a release
/// that the program itself sees while the hook has reported nothing at all ends it too. Ending
/// without a pick gives back the colour the user had when it started.
class TPipette : public QObject
{
    Q_OBJECT

public:
    // How the last picking ended.
    enum class Outcome { Picked, Cancelled, Unavailable };

    // `panel` is the pipette's own panel: no sampling happens while the pointer is over it (or
    // on the column just right of it and the row just below it). Without a panel (picking with
    // no window) the whole screen is sampled.
    TPipette(FormServices &services, QWidget *panel, QObject *parent = nullptr);
    ~TPipette() override;

    // Whether the next start shows the loupe.
    void setLoupeEnabled(bool enabled) { m_loupeEnabled = enabled; }
    // The side of the sampling square (odd, 1 to 15; anything else is taken as 1).
    void setSampleSide(int side);
    int sampleSide() const { return m_side; }

    // Starts picking; `current` is the colour the user has now. With `buttonHeld` (a press on
    // the pipette picture) a button must still be down once the hook listens, else picking
    // ends at once; without it (picking from the command line) the caller ends it on a click.
    void start(const QColor &current, bool buttonHeld = true);
    // Starts picking by a click, with no button held (from the keyboard, or with no window):
    // `grabber`, a shown window of the program, takes the pointer and the keyboard for the
    // time of picking, so that the pipette's cursor shows everywhere, the click goes to no
    // other program and the keys come here. A left press and its release pick, Escape or the
    // right button cancels. False, and nothing started, while another program holds the
    // pointer or the keyboard (tried again for a moment: a desktop's shortcut may still hold
    // the key that started us).
    bool startClick(const QColor &current, QWindow *grabber);
    // One sampling step, done at once (the timer's steps take one tick to come in).
    void tick();
    // A left press reported while the left button is held, at a device point.
    void leftPress(QPoint device);
    // A left or right release at a device point on the pointer's screen.
    void end(QPoint device);
    // Ends without a pick: the colour from before the start comes back.
    void cancel();

    bool active() const { return m_active; }
    Outcome outcome() const { return m_outcome; }
    // The colour the sample shows: once picking is over, the colour it ended with.
    QColor sample() const { return m_sample; }
    // The device point of the last left press (while active) or of the release.
    QPoint point() const { return m_point.pos; }
    QTimer *timer() const { return m_timer; }
    THookMouse *hook() const { return m_hook; }
    // The loupe, once it has been shown.
    TLoupe *loupe() const { return m_loupe; }

Q_SIGNALS:
    // Picking has begun: the window shows the mode.
    void started();
    // The sample shows another colour.
    void sampled(const QColor &color);
    // Picking is over; `color` becomes the current colour.
    void ended(const QColor &color);
    // The status line's text while picking (a short message with a leading blank): a screen
    // that cannot be read, or a square larger than one pixel chosen while the desktop's portal
    // picks (it takes one pixel of its own choosing; said once per pipette).
    void status(const QString &text);
    // Picking could not happen: a short status message (leading blank) says why.
    void unavailable(const QString &status);
    // The user chose another side for the sampling square.
    void sampleSideChanged(int side);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void timerTick();
    // Reads again after a rest: the pointer moved, something was drawn, or it is time to look.
    void wake();
    void startWithPortal();
    // One sample at a device point; `final` for the last one, where picking ends.
    // With `blockRead`, m_block already holds the pixels around the pointer.
    void sampleAt(const ScreenPoint &pointer, bool final, bool blockRead = false);
    bool sampleBlock(const ScreenPoint &pointer, bool final, bool blockRead);
    void changeSide(int step);
    void nudge(int key, Qt::KeyboardModifiers modifiers);
    void cancelWith(Outcome outcome);
    void finish();

    FormServices &m_services;
    QWidget *m_panel;
    QTimer *m_timer;
    THookMouse *m_hook;
    TLoupe *m_loupe = nullptr;
    LoupeMonitorCache m_monitors;
    TPortalColorPicker *m_portal = nullptr;
    ScreenBlock m_block;
    bool m_loupeEnabled = false;
    bool m_loupeTick = false;
    bool m_readNextAtOnce = false;
    bool m_active = false;
    bool m_viaPortal = false;
    bool m_hookHeard = false;
    bool m_buttonHeld = true;
    bool m_ownPress = false;
    QWindow *m_grabber = nullptr;
    bool m_squareNoted = false;
    int m_side = 1;
    int m_wheelRest = 0;
    Outcome m_outcome = Outcome::Cancelled;
    ScreenPoint m_point;
    // Where the pointer is expected at the next tick.
    ScreenPoint m_guess;
    // The question the last timer tick asked, with the guess it was asked with.
    FormServices::PointerAnswer m_answer;
    ScreenPoint m_asked;
    // What the last timer tick's answer showed (nothing after a tick read at once), and whether
    // the loupe shows it too (it follows at every other change).
    struct
    {
        ScreenPoint pointer;
        ScreenBlock block;
    } m_shown;
    bool m_loupeShowsAll = true;
    // Nothing changed at the last tick: the timer only looks now and then, and news (a move,
    // drawing on a screen) reads at once.
    bool m_resting = false;
    int m_panelScreen = 0;
    QColor m_sample;
    QColor m_before;
};

} // namespace jov
