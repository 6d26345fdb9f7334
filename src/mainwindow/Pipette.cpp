#include "mainwindow/Pipette.h"

#include "controls/Cursors.h"
#include "hook/HookMouse.h"
#include "mainwindow/FormServices.h"
#include "mainwindow/ScreenSampler.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

namespace jov {

namespace {

constexpr int kTickMs = 10;

} // namespace

TPipette::TPipette(FormServices &services, QWidget *panel, QObject *parent)
    : QObject(parent), m_services(services), m_panel(panel), m_timer(new QTimer(this)),
      m_hook(new THookMouse(this))
{
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &TPipette::tick);
    m_hook->setEnabled(false); // nothing is loaded until the pipette starts
    m_hook->setStopMessage(false);
    m_hook->Loaded();
    m_hook->OnMouseMessage = [this](THookMouse *, qint32, qint32, qint32, quint32, quint32,
                                    quint32) { m_hookHeard = true; };
}

TPipette::~TPipette()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

void TPipette::start(const QColor &current)
{
    m_before = current;
    m_sample = current;
    DeviceRectOf(m_panel, &m_panelScreen);
    Q_EMIT started();
    SetApplicationCursor(1);
    m_timer->start();
    m_active = true;
    m_hookHeard = false;
    QCoreApplication::instance()->installEventFilter(this);
    m_hook->setEnabled(true);
    // Without the hook no release would ever end the mode; nor when the button was already let
    // go before the hook started listening (a quick tap).
    const TShiftState held =
        m_hook->started() && m_hook->QueryShiftState ? m_hook->QueryShiftState() : TShiftState();
    if (!m_hook->started() ||
        !(held & (TShiftStates::ssLeft | TShiftStates::ssRight | TShiftStates::ssMiddle)))
        cancel();
}

void TPipette::tick()
{
    const ScreenPoint pointer = m_services.pointer();
    m_point.screen = pointer.screen;
    const QRect panel = DeviceRectOf(m_panel).adjusted(0, 0, 1, 1);
    if (pointer.screen == m_panelScreen && panel.contains(pointer.pos))
        return;
    // A pixel that cannot be read leaves the sample as it was.
    if (const std::optional<QColor> pixel = m_services.samplePixel(pointer)) {
        m_sample = *pixel;
        Q_EMIT sampled(m_sample);
    }
}

void TPipette::leftPress(QPoint device)
{
    if (m_active && device != m_point.pos)
        m_point.pos = device;
}

void TPipette::end(QPoint device)
{
    if (m_active)
        finish(device);
}

void TPipette::cancel()
{
    if (!m_active)
        return;
    m_sample = m_before;
    Q_EMIT sampled(m_sample);
    const ScreenPoint pointer = m_services.pointer();
    m_point.screen = pointer.screen;
    finish(pointer.pos);
}

void TPipette::finish(QPoint device)
{
    // Inside the hook's own event the release waits until the reply has been written.
    m_hook->setEnabled(false);
    m_active = false;
    m_timer->stop();
    QCoreApplication::instance()->removeEventFilter(this);
    m_point.pos = device;
    SetApplicationCursor(0);
    m_services.warpPointer(m_point);
    Q_EMIT ended(m_sample);
}

bool TPipette::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_active)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        cancel();
        return true;
    }
    // A hook that accepted its start but never reports anything must not leave the mode on:
    // the release the program sees itself ends it where the pointer is.
    if (event->type() == QEvent::MouseButtonRelease && !m_hookHeard) {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(event)->button();
        if (button == Qt::LeftButton || button == Qt::RightButton) {
            const ScreenPoint pointer = m_services.pointer();
            m_point.screen = pointer.screen;
            finish(pointer.pos);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace jov
