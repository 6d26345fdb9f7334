#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace jov {

/// Turns SIGTERM, SIGHUP and SIGINT into one call of `onStop` on the GUI thread. The signal
/// handler itself only writes the signal's number into a pipe that the event loop watches;
/// everything else happens in the loop. Later signals, while or after `onStop` runs, are read
/// and dropped. One instance per process.
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
