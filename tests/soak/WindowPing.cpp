// Asks a window's program whether it is answering: sends the window manager's ping
// (_NET_WM_PING) to the window given in hexadecimal or decimal and waits for the program's
// reply on the root window, which only its event loop gives. Exits 0 on a reply within the
// milliseconds given (default 2000), 1 without one, 2 on a bad argument or no display.
#include <xcb/xcb.h>

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// Sends the ping and waits for its reply.
bool Answers(xcb_connection_t *connection, xcb_window_t window, long limit)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t protocols = Atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = Atom(connection, "_NET_WM_PING");
    // The reply goes to the root window, to the window manager and to every client watching
    // the root window's structure.
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);

    // A timestamp of our own tells our ping's reply from the window manager's.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const std::uint32_t stamp =
        std::uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()) | 1;
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = protocols;
    message.data.data32[0] = ping;
    message.data.data32[1] = stamp;
    message.data.data32[2] = window;
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);

    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit);
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            const auto *client = reinterpret_cast<xcb_client_message_event_t *>(event);
            const bool reply = (event->response_type & 0x7F) == XCB_CLIENT_MESSAGE &&
                               client->data.data32[0] == ping && client->data.data32[1] == stamp;
            std::free(event);
            if (reply)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(connection))
            return false;
        pollfd fd = {xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&fd, 1, int(left.count()));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const xcb_window_t window = xcb_window_t(std::strtoul(argv[1], nullptr, 0));
    const long limit = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 2000;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const int status = window == 0 || xcb_connection_has_error(connection) ? 2
                       : Answers(connection, window, limit)                ? 0
                                                                           : 1;
    xcb_disconnect(connection);
    return status;
}
