#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;
class QWindow;

namespace jov {

// True on a Wayland session: WAYLAND_DISPLAY is set (non-empty) or XDG_SESSION_TYPE is
// "wayland" (any letter case). The values are passed in so that the rule can be tried without
// touching the process environment.
bool IsWaylandSession(const QString &waylandDisplay, const QString &sessionType);
// The same, from this process's environment.
bool IsWaylandSession();

// The desktop portal's identifier of a parent window: "x11:" and the window id in lower-case hex
// on the xcb platform; "" elsewhere (a native Wayland window needs an exported xdg-foreign
// handle, which Qt 6.4 does not offer) and for no window. The portal then shows its dialog
// without a parent, which it accepts.
QString PortalParentWindow(const QString &platformName, quintptr windowId);
// The same for a window of this application, on the running platform.
QString PortalParentWindow(const QWindow *window);

/// Picks one colour from the screen through the desktop portal
/// (org.freedesktop.portal.Screenshot.PickColor on the session bus), the only way a program can
/// read another program's pixels on a Wayland session. Nothing here blocks: pick() sends the
/// request and returns; the outcome arrives later as exactly one of picked() or failed(), from
/// the event loop, unless cancel() (or the destructor) forgets the request first.
///
/// The portal answers in two steps: the method reply gives the path of a Request object, then
/// that object's Response signal carries the result whenever the user has clicked. The Response
/// is subscribed to on the path the portal will use (built from this connection's unique name and
/// the handle_token sent) before the call goes out, so a fast answer is not lost; a different
/// path in the reply (older portals) is followed too.
class TPortalColorPicker : public QObject
{
    Q_OBJECT

public:
    // Why a pick gave no colour. The status text of each is StatusText().
    enum class Failure {
        Cancelled,   // the user dismissed the portal's picker (response 1)
        Refused,     // the portal ended the request otherwise (response 2 or unknown code)
        NoBus,       // no session bus to talk to
        NoPortal,    // nobody owns the portal's name on the bus
        Unsupported, // the portal's Screenshot interface has no PickColor (too old)
        NoPicker,    // the portal runs without a Screenshot interface (no back end for it)
        NoReply,     // the method call got no reply in time
        Error,       // the portal answered the call with another error
        Malformed,   // a reply or result this code cannot read (also a NaN colour)
        PortalGone,  // the portal left the bus before answering
    };
    Q_ENUM(Failure)

    // The session bus, looked up when pick() runs.
    explicit TPortalColorPicker(QObject *parent = nullptr);
    // A given connection (a private bus, say); a disconnected one gives Failure::NoBus.
    explicit TPortalColorPicker(const QDBusConnection &bus, QObject *parent = nullptr);
    // Closes a pending request, emitting nothing.
    ~TPortalColorPicker() override;

    // The status line text for a failure, in French, beginning with a blank; short enough to
    // be read whole in the main window's first status panel.
    static QString StatusText(Failure failure);

    // Starts one pick, with `parentWindow` as the portal's parent identifier (see
    // PortalParentWindow). False, and nothing else, while a pick is already pending; true
    // otherwise, the outcome following as a signal (also for no bus at all).
    bool pick(const QString &parentWindow);
    // Forgets the pending pick, if any, asking the portal to close its request; no signal
    // follows for it. A new pick may start at once.
    void cancel();
    bool busy() const { return m_pending; }

    // How long the method call may go unanswered (ms) before Failure::NoReply. The Response that
    // follows has no limit: the user takes the time they need, and cancel() ends the wait.
    int callTimeout() const { return m_callTimeout; }
    void setCallTimeout(int milliseconds) { m_callTimeout = milliseconds; }

    // The object path of the pending request ("" when idle): the one the portal announced, or
    // until then the one expected from the token.
    QString requestPath() const { return m_requestPath; }

Q_SIGNALS:
    // The colour under the user's click, each channel 0..255.
    void picked(int red, int green, int blue);
    // No colour; `status` is StatusText(failure).
    void failed(jov::TPortalColorPicker::Failure failure, const QString &status);

private Q_SLOTS:
    void onResponse(const QDBusMessage &message);

private:
    void onCallFinished(QDBusPendingCallWatcher *watcher);
    void tellMissingPickColor();
    void subscribe(const QString &path);
    void unsubscribe();
    void finish();
    void fail(Failure failure);
    void failLater(Failure failure);

    QDBusConnection m_bus;
    bool m_useSessionBus = false;
    int m_callTimeout = 30000;

    bool m_pending = false;
    quint64 m_serial = 0; // tells a pick's deferred signals from a later pick's
    QString m_requestPath;
    QString m_subscribedPath;
    QDBusPendingCallWatcher *m_call = nullptr;
    QDBusServiceWatcher *m_portalWatcher = nullptr;
};

} // namespace jov
