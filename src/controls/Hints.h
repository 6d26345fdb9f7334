#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace jov {

// Hints have the form "short|long"; the long part is what the status line shows.
void SetHint(QWidget *widget, const QString &hint);
QString HintOf(const QWidget *widget);
// The text after the first "|", or the whole hint when it has none.
QString LongHint(const QString &hint);
// The long hint of the widget, or of its nearest ancestor that has a hint; empty if none has.
QString LongHintAt(const QWidget *widget);

// The application hint: the long hint of the control under the mouse, refreshed each time the
// event loop becomes idle after mouse activity. The handler runs only when the hint really
// changes; it can be detached and put back (the pipette does so while it runs).
class THintMonitor : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    static THintMonitor *instance();

    QString hint() const { return m_hint; }
    void setHandler(Handler handler) { m_handler = std::move(handler); }
    bool hasHandler() const { return bool(m_handler); }

    // Tells which widget the mouse is over (the enter, leave and move events do so too).
    void setWidgetUnderMouse(QWidget *widget);

    // Recompute on the next idle moment (several requests are merged into one).
    void scheduleUpdate();
    // Recompute now: what the idle step does.
    void updateHint();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit THintMonitor(QObject *parent);

    QPointer<QWidget> m_under;
    QString m_hint;
    Handler m_handler;
    bool m_scheduled = false;
};

} // namespace jov
