#include "controls/Hints.h"

#include "controls/Accessible.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace jov {

namespace {

const char *const kHintProperty = "jovHint";

} // namespace

void SetHint(QWidget *widget, const QString &hint)
{
    if (!widget || HintOf(widget) == hint)
        return;
    widget->setProperty(kHintProperty, hint);
    NameAfterHint(widget);
    // A new hint on the control under the mouse shows at the next idle moment.
    if (qApp)
        THintMonitor::instance()->scheduleUpdate();
}

QString HintOf(const QWidget *widget)
{
    return widget ? widget->property(kHintProperty).toString() : QString();
}

QString LongHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QString LongHintAt(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget()) {
        const QString hint = HintOf(widget);
        if (!hint.isEmpty())
            return LongHint(hint);
    }
    return QString();
}

THintMonitor *THintMonitor::instance()
{
    static QPointer<THintMonitor> monitor;
    if (!monitor) {
        monitor = new THintMonitor(qApp);
        qApp->installEventFilter(monitor);
    }
    return monitor;
}

THintMonitor::THintMonitor(QObject *parent) : QObject(parent) {}

void THintMonitor::setWidgetUnderMouse(QWidget *widget)
{
    m_under = widget;
    scheduleUpdate();
}

void THintMonitor::scheduleUpdate()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        updateHint();
    });
}

void THintMonitor::updateHint()
{
    const QString hint = LongHintAt(m_under);
    if (hint == m_hint)
        return;
    m_hint = hint;
    if (m_handler)
        m_handler();
}

bool THintMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::Enter:
        if (m_under != widget)
            setWidgetUnderMouse(widget);
        break;
    case QEvent::MouseMove: {
        // A move that its control ignores is passed on to each enclosing widget (a check box
        // hands it to its group box), and while a button is held the pressed control gets the
        // moves even away from it: the control under the mouse is found from the position.
        QWidget *window = widget->window();
        const QPoint pos =
            window->mapFromGlobal(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        if (!window->rect().contains(pos))
            break;
        QWidget *child = window->childAt(pos);
        QWidget *under = child ? child : window;
        if (m_under != under)
            setWidgetUnderMouse(under);
        break;
    }
    case QEvent::Leave:
        // Leaving a control puts the mouse back over its parent; leaving a window, over nothing.
        if (m_under == widget)
            setWidgetUnderMouse(widget->isWindow() ? nullptr : widget->parentWidget());
        break;
    case QEvent::MouseButtonRelease:
        scheduleUpdate(); // a click may have changed the hint of the control under the mouse
        break;
    default:
        break;
    }
    return false;
}

} // namespace jov
