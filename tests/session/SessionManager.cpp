// A session manager for the tests: X session management (XSMP, libSM over ICE) and nothing else.
// It listens on ICE's local transport, prints "SESSION_MANAGER=<address>" once clients can
// connect, then a line for what its clients do: "registered", "save-done <1|0>" (whether the
// save succeeded), "closed". On SIGUSR1 it ends the session as a logout does: every client is
// told to save itself for a shutdown without interacting, and to die once it has done so. It
// exits 0 when the last client has gone after that, 1 when it cannot listen.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t g_endAsked = 0;
std::vector<SmsConn> g_clients;

void Say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// Only connections from this machine's local transport; a TCP one is refused.
Bool LocalOnly(char *host)
{
    return host && std::strncmp(host, "local/", 6) == 0;
}

Status RegisterClient(SmsConn sms, SmPointer, char *previousId)
{
    char *id = previousId ? previousId : SmsGenerateClientID(sms);
    const Status ok = id ? SmsRegisterClientReply(sms, id) : 0;
    std::free(id);
    Say("registered");
    return ok;
}

void InteractRequest(SmsConn, SmPointer, int) {}
void InteractDone(SmsConn, SmPointer, Bool) {}
void SaveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}

void SaveYourselfPhase2Request(SmsConn sms, SmPointer)
{
    SmsSaveYourselfPhase2(sms);
}

void SaveYourselfDone(SmsConn sms, SmPointer, Bool success)
{
    Say(success ? "save-done 1" : "save-done 0");
    SmsDie(sms);
}

void CloseConnection(SmsConn sms, SmPointer, int count, char **reasons)
{
    SmFreeReasons(count, reasons);
    IceConn ice = SmsGetIceConnection(sms);
    g_clients.erase(std::remove(g_clients.begin(), g_clients.end(), sms), g_clients.end());
    SmsCleanUp(sms);
    IceSetShutdownNegotiation(ice, False);
    IceCloseConnection(ice);
    Say("closed");
}

void SetProperties(SmsConn, SmPointer, int count, SmProp **properties)
{
    for (int i = 0; i < count; ++i)
        SmFreeProperty(properties[i]);
    std::free(properties);
}

void DeleteProperties(SmsConn, SmPointer, int count, char **names)
{
    for (int i = 0; i < count; ++i)
        std::free(names[i]);
    std::free(names);
}

void GetProperties(SmsConn sms, SmPointer)
{
    SmsReturnProperties(sms, 0, nullptr);
}

Status NewClient(SmsConn sms, SmPointer, unsigned long *mask, SmsCallbacks *callbacks, char **)
{
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask |
            SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask |
            SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
    *callbacks = {};
    callbacks->register_client.callback = RegisterClient;
    callbacks->interact_request.callback = InteractRequest;
    callbacks->interact_done.callback = InteractDone;
    callbacks->save_yourself_request.callback = SaveYourselfRequest;
    callbacks->save_yourself_phase2_request.callback = SaveYourselfPhase2Request;
    callbacks->save_yourself_done.callback = SaveYourselfDone;
    callbacks->close_connection.callback = CloseConnection;
    callbacks->set_properties.callback = SetProperties;
    callbacks->delete_properties.callback = DeleteProperties;
    callbacks->get_properties.callback = GetProperties;
    g_clients.push_back(sms);
    return 1;
}

// A new connection is taken through ICE's own setup before its messages are read with the
// others.
void Accept(IceListenObj listener, std::vector<IceConn> &connections)
{
    IceAcceptStatus accepted;
    IceConn ice = IceAcceptConnection(listener, &accepted);
    if (!ice)
        return;
    while (IceConnectionStatus(ice) == IceConnectPending) {
        if (IceProcessMessages(ice, nullptr, nullptr) == IceProcessMessagesIOError)
            break;
    }
    if (IceConnectionStatus(ice) == IceConnectAccepted)
        connections.push_back(ice);
    else
        IceCloseConnection(ice);
}

// A client's messages. A connection closed by its client (CloseConnection) or broken is no
// longer watched.
void Read(IceConn ice, std::vector<IceConn> &connections)
{
    const IceProcessMessagesStatus status = IceProcessMessages(ice, nullptr, nullptr);
    if (status == IceProcessMessagesSuccess)
        return;
    connections.erase(std::remove(connections.begin(), connections.end(), ice), connections.end());
    if (status != IceProcessMessagesIOError)
        return;
    const auto client = std::find_if(g_clients.begin(), g_clients.end(), [ice](SmsConn sms) {
        return SmsGetIceConnection(sms) == ice;
    });
    if (client != g_clients.end()) {
        SmsCleanUp(*client);
        g_clients.erase(client);
        Say("closed");
    }
    IceSetShutdownNegotiation(ice, False);
    IceCloseConnection(ice);
}

} // namespace

int main()
{
    struct sigaction action = {};
    action.sa_handler = [](int) { g_endAsked = 1; };
    sigaction(SIGUSR1, &action, nullptr);

    // A client gone without a word is told by IceProcessMessages, not by ending the process.
    IceSetIOErrorHandler([](IceConn) {});
    char error[256] = "";
    if (!SmsInitialize("JOV tests", "1", NewClient, nullptr, LocalOnly, sizeof error, error)) {
        std::fprintf(stderr, "SmsInitialize: %s\n", error);
        return 1;
    }
    int count = 0;
    IceListenObj *listeners = nullptr;
    if (!IceListenForConnections(&count, &listeners, sizeof error, error)) {
        std::fprintf(stderr, "IceListenForConnections: %s\n", error);
        return 1;
    }
    std::string address;
    for (int i = 0; i < count; ++i) {
        IceSetHostBasedAuthProc(listeners[i], LocalOnly);
        char *id = IceGetListenConnectionString(listeners[i]);
        if (std::strncmp(id, "local/", 6) == 0) {
            if (!address.empty())
                address += ',';
            address += id;
        }
        std::free(id);
    }
    if (address.empty()) {
        std::fprintf(stderr, "no local transport\n");
        return 1;
    }
    std::printf("SESSION_MANAGER=%s\n", address.c_str());
    std::fflush(stdout);

    std::vector<IceConn> connections;
    bool ending = false;
    while (!ending || !g_clients.empty()) {
        if (g_endAsked && !ending) {
            ending = true;
            for (SmsConn sms : g_clients)
                SmsSaveYourself(sms, SmSaveBoth, True, SmInteractStyleNone, False);
        }
        std::vector<pollfd> fds;
        for (int i = 0; i < count; ++i)
            fds.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn ice : connections)
            fds.push_back({IceConnectionNumber(ice), POLLIN, 0});
        // The signal is looked at every 50 ms.
        if (poll(fds.data(), fds.size(), 50) <= 0)
            continue;
        const std::vector<IceConn> watched = connections;
        for (int i = 0; i < count; ++i) {
            if (fds[std::size_t(i)].revents & POLLIN)
                Accept(listeners[i], connections);
        }
        for (std::size_t i = 0; i < watched.size(); ++i) {
            if (fds[std::size_t(count) + i].revents)
                Read(watched[i], connections);
        }
    }
    Say("session-ended");
    IceFreeListenObjs(count, listeners);
    return 0;
}
