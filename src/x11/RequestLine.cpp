#include "x11/RequestLine.h"

#include "x11/X11Requests.h"

#include <cstdlib>
#include <vector>

#include <xcb/damage.h>

namespace jov::x11 {

namespace {

// The pointer and pixel requests go on a connection of their own to the application's display,
// read by the thread that asks. On the application's connection every reply is read by Qt's event
// thread and handed over, which doubles the wake-ups of a sampling tick. Opened at the first
// request, closed at exit; the application's connection when it cannot be opened.
//
// It also tells of drawing on the roots (the DAMAGE extension, while watched): one report when
// something is drawn after the requests that forgot the drawing so far.
class RequestLine
{
public:
    ~RequestLine()
    {
        if (m_own)
            xcb_disconnect(m_own);
    }
    xcb_connection_t *get()
    {
        xcb_connection_t *application = Connection();
        if (!application)
            return nullptr;
        if (!m_tried) {
            m_tried = true;
            xcb_connection_t *own = xcb_connect(DisplayName().constData(), nullptr);
            if (xcb_connection_has_error(own))
                xcb_disconnect(own);
            else
                m_own = own;
        }
        if (m_own) {
            // Only the reports of drawing, and the errors of requests without a reply (a warp
            // to a root that went away), queue up.
            while (xcb_generic_event_t *event = xcb_poll_for_queued_event(m_own))
                note(event);
            return m_own;
        }
        return application;
    }

    bool watch()
    {
        if (!m_damages.empty())
            return true;
        xcb_connection_t *connection = get();
        if (!connection || connection != m_own)
            return false;
        if (m_notify == 0) {
            const xcb_query_extension_reply_t *damage =
                xcb_get_extension_data(m_own, &xcb_damage_id);
            if (!damage || !damage->present)
                return false;
            // The version is agreed once, before any other request of the extension.
            const Reply<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
                m_own,
                xcb_damage_query_version(m_own, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
                nullptr));
            if (!version)
                return false;
            m_notify = uint8_t(damage->first_event + XCB_DAMAGE_NOTIFY);
        }
        for (auto it = xcb_setup_roots_iterator(xcb_get_setup(m_own)); it.rem;
             xcb_screen_next(&it)) {
            m_damages.push_back(xcb_generate_id(m_own));
            xcb_damage_create(m_own, m_damages.back(), it.data->root,
                              XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        }
        xcb_flush(m_own);
        m_drawn = true; // nothing forgotten yet
        return true;
    }
    void unwatch()
    {
        if (m_damages.empty())
            return;
        for (const xcb_damage_damage_t damage : m_damages)
            xcb_damage_destroy(m_own, damage);
        m_damages.clear();
        xcb_flush(m_own);
    }
    // Sent with the next request.
    void forget()
    {
        for (const xcb_damage_damage_t damage : m_damages)
            m_forgotten = xcb_damage_subtract(m_own, damage, XCB_NONE, XCB_NONE).sequence;
        m_drawn = false;
    }
    bool drawn()
    {
        if (m_damages.empty())
            return true;
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_own))
            note(event);
        return m_drawn;
    }
    int socket() const { return m_damages.empty() ? -1 : xcb_get_file_descriptor(m_own); }

private:
    // A report made before the last forgetting (it carries the number of the last request the
    // server had handled then, of which it keeps 16 bits) is old news: at creation each watch
    // reports its whole root.
    void note(xcb_generic_event_t *event)
    {
        if (!m_damages.empty() && (event->response_type & 0x7F) == m_notify &&
            int16_t(uint16_t(event->sequence - uint16_t(m_forgotten))) >= 0)
            m_drawn = true;
        std::free(event);
    }

    xcb_connection_t *m_own = nullptr;
    bool m_tried = false;
    std::vector<xcb_damage_damage_t> m_damages;
    uint8_t m_notify = 0; // the report's event number once the version is agreed
    unsigned int m_forgotten = 0;
    bool m_drawn = true;
};

RequestLine &Line()
{
    static RequestLine line;
    return line;
}

} // namespace

xcb_connection_t *RequestConnection()
{
    return Line().get();
}

bool WatchDrawing()
{
    return Line().watch();
}

void StopWatchingDrawing()
{
    Line().unwatch();
}

void ForgetDrawing()
{
    Line().forget();
}

bool DrawingReported()
{
    return Line().drawn();
}

int DrawingSocket()
{
    return Line().socket();
}

} // namespace jov::x11
