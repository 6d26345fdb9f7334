#include "hook/ReceptionMessageCopyData.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace jov {

namespace {

// Larger than a record, so that an oversized message still shows as at least a whole record.
constexpr size_t ReceiveBufferSize = 64;

} // namespace

TReceptionMessageCopyData::TReceptionMessageCopyData(QObject *owner) : QObject(owner) {}

TReceptionMessageCopyData::~TReceptionMessageCopyData()
{
    close();
}

int TReceptionMessageCopyData::handle()
{
    if (m_own >= 0)
        return m_peer;
    int ends[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
        return -1;
    m_own = ends[0];
    m_peer = ends[1];
    m_hungUp = false;
    // Never block the GUI thread on a read or on a reply the library does not take.
    ::fcntl(m_own, F_SETFL, ::fcntl(m_own, F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(m_own, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TReceptionMessageCopyData::readOne);
    return m_peer;
}

void TReceptionMessageCopyData::hangUp()
{
    if (m_notifier)
        m_notifier->setEnabled(false);
    if (m_own >= 0)
        ::shutdown(m_own, SHUT_RDWR);
    m_hungUp = true;
}

void TReceptionMessageCopyData::close()
{
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->disconnect(this);
        // It may be the very notifier whose signal is being delivered.
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_own >= 0)
        ::close(m_own);
    if (m_peer >= 0)
        ::close(m_peer);
    m_own = m_peer = -1;
    m_hungUp = false;
}

void TReceptionMessageCopyData::readOne()
{
    if (m_own < 0 || m_handling)
        return;
    char buffer[ReceiveBufferSize];
    const ssize_t n = ::recv(m_own, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            m_notifier->setEnabled(false);
        return;
    }
    if (n == 0) {
        // Either an empty message or the library's end is gone; in the latter case the socket
        // stays readable for ever, so stop watching it.
        pollfd probe{m_own, POLLIN | POLLRDHUP, 0};
        if (::poll(&probe, 1, 0) > 0 && (probe.revents & (POLLHUP | POLLRDHUP | POLLERR))) {
            m_notifier->setEnabled(false);
            return;
        }
    }

    QPointer<TReceptionMessageCopyData> alive(this);
    QPointer<QSocketNotifier> notifier(m_notifier);
    m_handling = true;
    m_notifier->setEnabled(false);
    const quint32 reply =
        OnCopyData ? OnCopyData(QByteArrayView(buffer, static_cast<qsizetype>(n))) : 0;
    if (!alive)
        return;
    m_handling = false;
    if (m_own >= 0 && !m_hungUp) {
        const quint32 bytes = qToLittleEndian(reply);
        // A library that went away gets no reply; nothing here may block or raise SIGPIPE.
        (void)::send(m_own, &bytes, sizeof bytes, MSG_DONTWAIT | MSG_NOSIGNAL);
    }
    if (notifier && notifier == m_notifier && !m_hungUp)
        m_notifier->setEnabled(true);
    if (OnReplied)
        OnReplied();
}

} // namespace jov
