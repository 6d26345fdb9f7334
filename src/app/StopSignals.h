#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace jov {

/// Installs the stop handlers: SIGTERM always; SIGHUP and SIGINT only when the program was not
/// started with them ignored (`nohup`, or a script's `jov &`), which keeps it running when the
/// terminal goes or Ctrl+C is pressed there. From then on a stop is kept in a pipe until a
/// TStopSignals reads it, however early it came: call this first thing in main(). Later calls
/// do nothing.
void CatchStopSignals();

/// Turns the stop signals caught by CatchStopSignals (which it calls) into one call of `onStop`
/// on the GUI thread. The signal handler itself only writes the signal's number into a pipe
/// that the event loop watches; everything else happens in the loop, so a stop that came before
/// this object existed is acted on once the loop runs. Later signals, while or after `onStop`
/// runs, are read and dropped, and so are those after this object is gone: the handlers stay
/// until the process ends. One instance per process.
class TStopSignals : public QObject
{
    Q_OBJECT

public:
    explicit TStopSignals(std::function<void()> onStop, QObject *parent = nullptr);
    ~TStopSignals() override;

private:
    void readSignal();

    std::function<void()> m_onStop;
    QSocketNotifier *m_notifier = nullptr;
    bool m_stopped = false;
};

} // namespace jov
