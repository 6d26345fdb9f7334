#pragma once

#include <QByteArrayView>
#include <QObject>

#include <functional>

class QSocketNotifier;

namespace jov {

/// The hook component's private receiving end. The hook library gets one end of a
/// message-preserving socket pair (its "handle"); every message it sends there is handed to
/// OnCopyData on the GUI thread, and the 32-bit result goes back to the library as a 4-byte
/// little-endian reply before OnReplied runs. One message is handled at a time: the socket is not
/// watched while a handler runs, so a nested event loop cannot start a second one.
class TReceptionMessageCopyData : public QObject
{
    Q_OBJECT

public:
    explicit TReceptionMessageCopyData(QObject *owner = nullptr);
    ~TReceptionMessageCopyData() override;

    // The library's end of the channel, opening the channel first if it is not open;
    // -1 when no channel can be made.
    int handle();
    bool isOpen() const { return m_own >= 0; }

    // Ends the conversation without closing: the library sees end-of-file on its end, which
    // frees it if it is waiting for a reply. Nothing more is read or answered.
    void hangUp();
    // Closes both ends; the next handle() opens a new channel.
    void close();

    // True while OnCopyData runs, until its reply has been written.
    bool isHandling() const { return m_handling; }

    std::function<quint32(QByteArrayView payload)> OnCopyData;
    std::function<void()> OnReplied;

private:
    void readOne();

    int m_own = -1;  // the program's end
    int m_peer = -1; // the library's end
    QSocketNotifier *m_notifier = nullptr;
    bool m_handling = false;
    bool m_hungUp = false;
};

} // namespace jov
