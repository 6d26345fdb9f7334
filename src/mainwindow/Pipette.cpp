#include "mainwindow/Pipette.h"

#include "color/SampleSquare.h"
#include "controls/Cursors.h"
#include "controls/Loupe.h"
#include "hook/HookMouse.h"
#include "mainwindow/FormServices.h"
#include "mainwindow/ScreenSampler.h"
#include "portal/PortalColorPicker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <QtMath>

#include <utility>

namespace jov {

namespace {

constexpr int kTickMs = 10;
// How often a pipette at rest looks anyway, for a move that nothing reported.
constexpr int kRestLookMs = 250;

bool IsArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

// One notch of a mouse wheel, in eighths of a degree.
constexpr int WheelNotch = 120;

// How long the pointer and the keyboard may stay taken by another program before picking by a
// click gives up.
constexpr int GrabPatienceMs = 1000;

bool GrabInput(QWindow *window)
{
    if (!window)
        return false;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (window->setMouseGrabEnabled(true)) {
            if (window->setKeyboardGrabEnabled(true))
                return true;
            window->setMouseGrabEnabled(false);
        }
        if (waited.elapsed() >= GrabPatienceMs)
            return false;
        QThread::msleep(20);
    }
}

// A global position of one of the program's own events, in device pixels of its screen.
QPoint DevicePosition(QPointF global)
{
    const QScreen *screen = QGuiApplication::screenAt(global.toPoint());
    if (!screen)
        return global.toPoint();
    const QPointF origin = screen->geometry().topLeft();
    const QPointF device = origin + (global - origin) * screen->devicePixelRatio();
    return QPoint(qFloor(device.x() + 0.5), qFloor(device.y() + 0.5));
}

} // namespace

TPipette::TPipette(FormServices &services, QWidget *panel, QObject *parent)
    : QObject(parent), m_services(services), m_panel(panel), m_timer(new QTimer(this)),
      m_hook(new THookMouse(this))
{
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &TPipette::timerTick);
    m_hook->setEnabled(false); // nothing is loaded until the pipette starts
    m_hook->setStopMessage(false);
    m_hook->Loaded();
    m_hook->OnMouseMessage = [this](THookMouse *, qint32 msg, qint32 x, qint32 y, quint32, quint32,
                                    quint32) {
        m_hookHeard = true;
        if (msg == wm::MouseMove) {
            m_guess.pos = QPoint(x, y);
            wake();
        }
    };
}

TPipette::~TPipette()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool TPipette::startClick(const QColor &current, QWindow *grabber)
{
    if (m_active)
        return false;
    if (!m_services.portalPicking) {
        if (!GrabInput(grabber))
            return false;
        m_grabber = grabber;
    }
    start(current, false);
    return true;
}

void TPipette::setSampleSide(int side)
{
    m_side = IsSampleSide(side) ? side : DefaultSampleSide;
}

void TPipette::start(const QColor &current, bool buttonHeld)
{
    m_before = current;
    m_sample = current;
    m_outcome = Outcome::Cancelled;
    m_buttonHeld = buttonHeld;
    m_ownPress = false;
    m_wheelRest = 0;
    if (m_services.portalPicking) {
        startWithPortal();
        return;
    }
    if (m_panel)
        DeviceRectOf(m_panel, &m_panelScreen);
    Q_EMIT started();
    SetApplicationCursor(PipetteCursorIndex);
    m_timer->start(kTickMs);
    m_active = true;
    m_hookHeard = false;
    QCoreApplication::instance()->installEventFilter(this);
    m_hook->setEnabled(true);
    // Without the hook no release would ever end the mode; nor when the button was already let
    // go before the hook started listening (a quick tap).
    if (!m_hook->started()) {
        cancelWith(Outcome::Unavailable);
        return;
    }
    if (!buttonHeld)
        return;
    const TShiftState held = m_hook->QueryShiftState ? m_hook->QueryShiftState() : TShiftState();
    if (!(held & (TShiftStates::ssLeft | TShiftStates::ssRight | TShiftStates::ssMiddle)))
        cancel();
}

// The portal shows its own picker (with its own magnifier) and answers once the user clicked.
void TPipette::startWithPortal()
{
    if (!m_portal) {
        m_portal = new TPortalColorPicker(this);
        connect(m_portal, &TPortalColorPicker::picked, this, [this](int r, int g, int b) {
            m_sample = QColor(r, g, b);
            Q_EMIT sampled(m_sample);
            m_outcome = Outcome::Picked;
            finish();
        });
        connect(m_portal, &TPortalColorPicker::failed, this,
                [this](TPortalColorPicker::Failure failure, const QString &status) {
                    m_sample = m_before;
                    m_outcome = failure == TPortalColorPicker::Failure::Cancelled
                                    ? Outcome::Cancelled
                                    : Outcome::Unavailable;
                    finish();
                    Q_EMIT unavailable(status);
                });
    }
    m_viaPortal = true;
    m_active = true;
    Q_EMIT started();
    if (m_side > 1 && !m_squareNoted) {
        m_squareNoted = true;
        Q_EMIT status(tr(" Le portail prélève un seul pixel"));
    }
    QCoreApplication::instance()->installEventFilter(this);
    m_portal->pick(PortalParentWindow(m_panel ? m_panel->window()->windowHandle() : nullptr));
}

// A timer tick takes the answer to what the last one asked and asks again: it waits for no
// reply, and shows what the screen was one tick ago. Where that answer does not do (the pointer
// was not where it was guessed, or nothing was asked yet) it samples at once.
void TPipette::timerTick()
{
    if (m_resting) {
        wake();
        return;
    }
    if (!m_services.askPointerWithBlock) {
        tick();
        return;
    }
    std::optional<ScreenPoint> pointer;
    if (const FormServices::PointerAnswer answer = std::exchange(m_answer, {}))
        pointer = answer(m_block);
    // The block is read only where the pointer was guessed to be (and m_guess is that place,
    // or where the hook has seen it go since).
    if (pointer && !m_block.validCells.isEmpty()) {
        // At rest the answer is what the last one was, and everything shows it already.
        if (!(*pointer == m_shown.pointer && m_block.validCells == m_shown.block.validCells &&
              m_block.image == m_shown.block.image && m_loupeShowsAll)) {
            sampleAt(*pointer, false, true);
            m_shown.pointer = *pointer;
            std::swap(m_shown.block, m_block);
        } else if (m_guess == *pointer && m_services.restUntilDrawn &&
                   m_services.restUntilDrawn([this] { wake(); })) {
            // Nor has anything been drawn since, nor has the pointer moved: nothing is asked
            // until something happens.
            m_resting = true;
            m_timer->start(kRestLookMs);
            return;
        }
    } else {
        tick();
    }
    // After the loupe was moved off the pointer, the next tick reads at once: by then what
    // lay under the loupe has been painted again.
    if (m_active && !std::exchange(m_readNextAtOnce, false)) {
        m_asked = m_guess;
        m_answer = m_services.askPointerWithBlock(m_asked);
    }
}

void TPipette::wake()
{
    if (!std::exchange(m_resting, false))
        return;
    m_timer->start(kTickMs);
    m_asked = m_guess;
    m_answer = m_services.askPointerWithBlock(m_asked);
}

void TPipette::tick()
{
    m_answer = {};
    m_shown = {};
    if (std::exchange(m_resting, false))
        m_timer->start(kTickMs);
    // The block around the pointer's last place (or where the hook saw it since) comes with the
    // pointer query: at rest and while the hook keeps up, a tick is one round trip.
    if (m_services.askPointerWithBlock) {
        if (const std::optional<ScreenPoint> pointer =
                m_services.askPointerWithBlock(m_guess)(m_block)) {
            m_guess = *pointer;
            sampleAt(*pointer, false, !m_block.validCells.isEmpty());
            return;
        }
    }
    sampleAt(m_services.pointer(), false);
}

void TPipette::sampleAt(const ScreenPoint &pointer, bool final, bool blockRead)
{
    m_point.screen = pointer.screen;
    if (m_panel) {
        const QRect panel = DeviceRectOf(m_panel).adjusted(0, 0, 1, 1);
        if (pointer.screen == m_panelScreen && panel.contains(pointer.pos))
            return;
    }
    if ((m_loupeEnabled || m_side > 1 || blockRead) && m_active &&
        sampleBlock(pointer, final, blockRead))
        return;
    // A pixel that cannot be read leaves the sample as it was (where no block can be read, the
    // pixel alone stands for the square); a screen whose pixels cannot be read at all says so.
    if (const std::optional<QColor> pixel = m_services.samplePixel(pointer)) {
        m_sample = *pixel;
        Q_EMIT sampled(m_sample);
    } else if (m_services.unreadableScreen) {
        if (const QString why = m_services.unreadableScreen(pointer); !why.isEmpty())
            Q_EMIT status(why);
    }
}

// The block around the pointer, read with one request (or already, with `blockRead`), gives
// both the loupe's picture and the sample (the mean of its centre square). False when it could
// not be read: the caller samples the pixel alone.
bool TPipette::sampleBlock(const ScreenPoint &pointer, bool final, bool blockRead)
{
    if (m_loupeEnabled && !m_loupe)
        m_loupe = new TLoupe(m_panel ? m_panel->window() : nullptr);
    const LoupeMonitor monitor = m_loupeEnabled ? m_monitors.at(pointer) : LoupeMonitor();
    // The loupe shows on the pointer's X screen, next to the pointer.
    if (monitor.screen && m_loupe->screen() != monitor.screen)
        m_loupe->setScreen(monitor.screen);
    // The pointer jumped onto the loupe: move it away and read once what lies under it has
    // been painted again.
    // The last read, where the button came up, goes on without the loupe (hidden before it).
    if (m_loupeEnabled && m_loupe->isVisible() && m_loupe->wouldSeeItself(pointer.pos)) {
        if (!final) {
            m_loupe->placeNear(pointer.pos, monitor.device, monitor.devicePixelRatio);
            m_readNextAtOnce = true;
            return true;
        }
        m_loupe->hideNow();
    }
    if (!blockRead && (!m_services.readBlock || !m_services.readBlock(pointer, m_block)))
        return false;
    const std::optional<QColor> mean = SquareMean(m_block.image, m_block.validCells, m_side);
    if (!mean)
        return false;
    m_sample = *mean;
    Q_EMIT sampled(m_sample);
    if (!m_loupeEnabled || final)
        return true;
    m_loupe->setSampleSide(m_side);
    // The loupe follows at half the sampling rate, about as often as a screen refreshes: its
    // repaint and move are most of a tick's cost while the pointer moves.
    m_loupeTick = !m_loupeTick;
    m_loupeShowsAll = m_loupeTick || !m_loupe->isVisible();
    if (m_loupeShowsAll)
        m_loupe->showBlock(m_block.image, m_block.validCells, pointer.pos, monitor.device,
                           monitor.devicePixelRatio);
    return true;
}

void TPipette::leftPress(QPoint device)
{
    if (!m_active)
        return;
    m_ownPress = true;
    if (device != m_point.pos)
        m_point.pos = device;
}

void TPipette::end(QPoint device)
{
    // Picking by a click ends only with the release of its own press.
    if (m_active && !m_viaPortal && (m_buttonHeld || m_ownPress)) {
        // The colour where the button came up, even when the last tick was before the pointer
        // got there.
        m_point.pos = device;
        sampleAt(m_point, true);
        m_outcome = Outcome::Picked;
        finish();
    }
}

void TPipette::cancel()
{
    cancelWith(Outcome::Cancelled);
}

void TPipette::cancelWith(Outcome outcome)
{
    if (!m_active)
        return;
    m_outcome = outcome;
    m_sample = m_before;
    Q_EMIT sampled(m_sample);
    if (m_viaPortal)
        m_portal->cancel();
    finish();
}

// The pointer is left alone: it came up where the pick was made, and one that has moved on since
// is where the user wants it.
void TPipette::finish()
{
    // Inside the hook's own event the release waits until the reply has been written.
    m_hook->setEnabled(false);
    if (m_grabber) {
        m_grabber->setKeyboardGrabEnabled(false);
        m_grabber->setMouseGrabEnabled(false);
        m_grabber = nullptr;
    }
    m_active = false;
    m_viaPortal = false;
    m_timer->stop();
    m_resting = false;
    if (m_services.stopWatchingDrawing)
        m_services.stopWatchingDrawing();
    m_answer = {};
    m_shown = {};
    m_loupeShowsAll = true;
    QCoreApplication::instance()->removeEventFilter(this);
    if (m_loupe)
        m_loupe->hide();
    SetApplicationCursor(DefaultCursorIndex);
    Q_EMIT ended(m_sample);
}

// The arrow keys move the pointer by one device pixel, ten with Shift; the sample follows at
// once.
void TPipette::nudge(int key, Qt::KeyboardModifiers modifiers)
{
    const int step = modifiers.testFlag(Qt::ShiftModifier) ? 10 : 1;
    ScreenPoint pointer = m_services.pointer();
    pointer.pos += QPoint(key == Qt::Key_Left    ? -step
                          : key == Qt::Key_Right ? step
                                                 : 0,
                          key == Qt::Key_Up     ? -step
                          : key == Qt::Key_Down ? step
                                                : 0);
    m_services.warpPointer(pointer);
    tick();
}

// The wheel and the + and - keys make the sampling square larger or smaller; the sample
// follows at once.
void TPipette::changeSide(int step)
{
    const int side = NextSampleSide(m_side, step);
    if (side == m_side)
        return;
    m_side = side;
    Q_EMIT sampleSideChanged(side);
    if (m_loupe && m_loupe->isVisible())
        m_loupe->setSampleSide(side);
    tick();
}

bool TPipette::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_active)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            if (event->type() == QEvent::KeyPress)
                cancel();
            return true;
        }
        if (m_viaPortal)
            break;
        // While picking the arrows move the pointer and + and - size the square, and nothing
        // else.
        if (IsArrow(key->key())) {
            if (event->type() == QEvent::KeyPress)
                nudge(key->key(), key->modifiers());
            return true;
        }
        if (key->key() == Qt::Key_Plus || key->key() == Qt::Key_Minus) {
            if (event->type() == QEvent::KeyPress)
                changeSide(key->key() == Qt::Key_Plus ? 1 : -1);
            return true;
        }
        break;
    }
    case QEvent::Wheel: {
        if (m_viaPortal)
            break;
        // Notches add up, so a fine-grained wheel steps once per notch too.
        m_wheelRest += static_cast<QWheelEvent *>(event)->angleDelta().y();
        for (; m_wheelRest >= WheelNotch; m_wheelRest -= WheelNotch)
            changeSide(1);
        for (; m_wheelRest <= -WheelNotch; m_wheelRest += WheelNotch)
            changeSide(-1);
        return true;
    }
    case QEvent::MouseMove:
        // The ticks follow the pointer: no widget reacts to its moves while picking (a control
        // lit up under it would change the very pixels being picked).
        if (!m_viaPortal) {
            wake();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_ownPress = true;
        break;
    case QEvent::MouseButtonRelease: {
        // A hook that accepted its start but never reports anything must not leave the mode
        // on: the release the program sees itself ends it where that release happened (the
        // pointer may have moved on since). Picking by a click ends so only after the click's
        // press; its right button cancels.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_viaPortal || m_hookHeard)
            break;
        if (!m_buttonHeld && mouse->button() == Qt::RightButton) {
            cancel();
        } else if ((mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton) &&
                   (m_buttonHeld || m_ownPress)) {
            end(DevicePosition(mouse->globalPosition()));
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace jov
