#include "mainwindow/ClipboardReader.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace jov {

namespace {

// No colour text comes near this: a longer text is taken as none.
constexpr std::uint32_t MaxTextBytes = 64 * 1024;

xcb_atom_t Atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, std::uint16_t(qstrlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The text at hand in this process: the platform's clipboard, which does not wait for another
// program here.
ClipboardText LocalText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return {};
    return {ClipboardText::State::Text, data->text()};
}

// One read of the CLIPBOARD selection over Qt's own X connection. The selection is converted
// into a property of a window made for this read; the owner's answer (a SelectionNotify to that
// window) reaches the event loop, where a native event filter takes it before Qt does.
class X11ClipboardRead : public QObject, public QAbstractNativeEventFilter
{
public:
    X11ClipboardRead(QObject *context, xcb_connection_t *connection,
                     std::function<void(const ClipboardText &)> done)
        : QObject(context), m_connection(connection), m_done(std::move(done))
    {
        m_clipboard = Atom(connection, "CLIPBOARD");
        m_utf8 = Atom(connection, "UTF8_STRING");
        m_incr = Atom(connection, "INCR");
        m_property = Atom(connection, "JOV_CLIPBOARD_TEXT");
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        m_window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        qApp->installNativeEventFilter(this);
    }
    ~X11ClipboardRead() override
    {
        qApp->removeNativeEventFilter(this);
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
    X11ClipboardRead(const X11ClipboardRead &) = delete;
    X11ClipboardRead &operator=(const X11ClipboardRead &) = delete;

    void start(std::chrono::milliseconds limit)
    {
        QTimer::singleShot(limit, this, [this] { finish({ClipboardText::State::NoAnswer, {}}); });
        ask(m_utf8);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7F) != XCB_SELECTION_NOTIFY)
            return false;
        const auto *notify = static_cast<const xcb_selection_notify_event_t *>(message);
        if (notify->requestor != m_window || m_finished)
            return false;
        if (notify->property == XCB_ATOM_NONE) {
            // Refused in that form: UTF-8 first, then Latin-1, then there is no text.
            if (m_target == m_utf8)
                ask(XCB_ATOM_STRING);
            else
                finish({});
            return true;
        }
        finish(TakeText());
        return true;
    }

private:
    void ask(xcb_atom_t target)
    {
        m_target = target;
        xcb_convert_selection(m_connection, m_window, m_clipboard, target, m_property,
                              XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }

    // The owner has put the text into the window's property; it is read and deleted.
    ClipboardText TakeText()
    {
        const xcb_get_property_cookie_t cookie = xcb_get_property(
            m_connection, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, MaxTextBytes / 4);
        const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
        // An owner sending in pieces (INCR) has more than a colour text ever is.
        if (!reply || reply->type == m_incr || reply->bytes_after > 0 || reply->format != 8)
            return {};
        const auto *bytes = static_cast<const char *>(xcb_get_property_value(reply.get()));
        const int size = xcb_get_property_value_length(reply.get());
        return {ClipboardText::State::Text, reply->type == XCB_ATOM_STRING
                                                ? QString::fromLatin1(bytes, size)
                                                : QString::fromUtf8(bytes, size)};
    }

    void finish(const ClipboardText &text)
    {
        if (m_finished)
            return;
        m_finished = true;
        deleteLater();
        // Taken out first: `done` may destroy the context, and this object with it.
        const std::function<void(const ClipboardText &)> done = std::move(m_done);
        done(text);
    }

    xcb_connection_t *m_connection;
    std::function<void(const ClipboardText &)> m_done;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
    xcb_atom_t m_utf8 = XCB_ATOM_NONE;
    xcb_atom_t m_incr = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    xcb_atom_t m_target = XCB_ATOM_NONE;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    bool m_finished = false;
};

} // namespace

void ReadClipboardText(QObject *context, std::chrono::milliseconds limit,
                       std::function<void(const ClipboardText &)> done)
{
    // The offscreen platform may offer the interface without a connection.
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection || QGuiApplication::clipboard()->ownsClipboard()) {
        done(LocalText());
        return;
    }
    auto *read = new X11ClipboardRead(context, connection, std::move(done));
    read->start(limit);
}

} // namespace jov
