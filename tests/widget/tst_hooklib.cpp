// The X11 hook library itself (bin/libHook.so): its refusals, and under a private X server its
// records, its waiting for each reply and its finalisation.

#include "hook/HookMouse.h"
#include "hook/HookRecord.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <dlfcn.h>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace jov;

namespace {

QString LibraryDirectory()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
}

// Both ends of a message socket pair, closed on exit.
struct Channel
{
    int own = -1;
    int library = -1;
    Channel()
    {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) == 0) {
            own = ends[0];
            library = ends[1];
        }
    }
    ~Channel()
    {
        if (own >= 0)
            ::close(own);
        if (library >= 0)
            ::close(library);
    }
    Channel(const Channel &) = delete;
    Channel &operator=(const Channel &) = delete;

    // The next record, or nothing when none comes within `ms`.
    std::optional<TMouseHookRecord> next(int ms = 5000) const
    {
        pollfd fd{own, POLLIN, 0};
        if (::poll(&fd, 1, ms) <= 0 || !(fd.revents & POLLIN))
            return std::nullopt;
        char buffer[64];
        const ssize_t n = ::recv(own, buffer, sizeof buffer, 0);
        if (n <= 0)
            return std::nullopt;
        return DecodeHookRecord(QByteArrayView(buffer, n));
    }
    bool reply(quint32 value = 0) const
    {
        return ::send(own, &value, sizeof value, MSG_NOSIGNAL) == sizeof value;
    }
    // Reads and answers records until one with `msg` comes; nothing when it does not.
    std::optional<TMouseHookRecord> until(qint32 msg) const
    {
        while (const std::optional<TMouseHookRecord> record = next()) {
            reply();
            if (record->Msg == msg)
                return record;
        }
        return std::nullopt;
    }
};

} // namespace

class TestHookLib : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void refusesWithoutDisplay();
    void refusesBadReceiver_data();
    void refusesBadReceiver();
    void recordsUnderXServer();
    void waitsForEachReply();
    void buttonsWhereTheyHappened();
    void finalisationWhileAwaitingReply();
    void pipetteLikeUseThroughTheComponent();

private:
    bool startServer();
    bool xdotool(const QStringList &arguments, QByteArray *output = nullptr);
    // Where the server has the pointer; (-1, -1) when xdotool cannot say.
    QPoint pointerLocation();

    void *m_library = nullptr;
    unsigned char (*m_init)(int) = nullptr;
    void (*m_final)() = nullptr;
    QByteArray m_savedDisplay;
    QProcess m_server;
    QByteArray m_display;
};

void TestHookLib::initTestCase()
{
    const QString path = LibraryDirectory() + QStringLiteral("/libHook.so");
    QVERIFY2(QFile::exists(path), qPrintable(path + QStringLiteral(" not built")));
    m_library = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(m_library, ::dlerror());
    m_init = reinterpret_cast<unsigned char (*)(int)>(::dlsym(m_library, "InitialisationHook"));
    m_final = reinterpret_cast<void (*)()>(::dlsym(m_library, "FinalisationHook"));
    QVERIFY(m_init && m_final);
    m_savedDisplay = qgetenv("DISPLAY");
}

void TestHookLib::cleanupTestCase()
{
    if (m_final)
        m_final();
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(5000);
    }
    if (m_library)
        ::dlclose(m_library);
    if (m_savedDisplay.isNull())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", m_savedDisplay);
}

void TestHookLib::cleanup()
{
    // A failed check must not leave the library running into the next test.
    m_final();
}

bool TestHookLib::startServer()
{
    if (m_server.state() == QProcess::Running)
        return true;
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        return false;
    // Should this test crash, the server goes with it.
    m_server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_server.start(xvfb,
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("800x600x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp")});
    if (!m_server.waitForStarted(5000))
        return false;
    while (!m_server.canReadLine()) {
        if (!m_server.waitForReadyRead(10000))
            return false;
    }
    m_display = ":" + m_server.readLine().trimmed();
    return m_display.size() > 1;
}

bool TestHookLib::xdotool(const QStringList &arguments, QByteArray *output)
{
    // The driver, not what is under test: a rare failed run is tried once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral("xdotool"), arguments);
        if (process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
            process.exitCode() == 0) {
            if (output)
                *output = process.readAllStandardOutput();
            return true;
        }
        qWarning() << "xdotool" << arguments << process.exitCode()
                   << process.readAllStandardError();
    }
    return false;
}

QPoint TestHookLib::pointerLocation()
{
    QByteArray location;
    if (!xdotool({QStringLiteral("getmouselocation"), QStringLiteral("--shell")}, &location))
        return QPoint(-1, -1);
    const QList<QByteArray> lines = location.split('\n');
    return QPoint(lines.value(0).mid(2).toInt(), lines.value(1).mid(2).toInt());
}

void TestHookLib::refusesWithoutDisplay()
{
    qunsetenv("DISPLAY");
    Channel channel;
    QVERIFY(channel.own >= 0);
    QCOMPARE(m_init(channel.library), 0);
    qputenv("DISPLAY", "");
    QCOMPARE(m_init(channel.library), 0);
    // Finalising what never started, twice, is harmless.
    m_final();
    m_final();
}

void TestHookLib::refusesBadReceiver_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("negative") << "negative";
    QTest::newRow("closed-descriptor") << "closed";
    QTest::newRow("pipe") << "pipe";
    QTest::newRow("stream-socket") << "stream";
}

void TestHookLib::refusesBadReceiver()
{
    QFETCH(QString, kind);
    if (!startServer())
        QSKIP("Xvfb or xdotool not available");
    qputenv("DISPLAY", m_display);
    int fds[2] = {-1, -1};
    int receiver = -1;
    if (kind == QLatin1String("closed")) {
        QCOMPARE(::pipe(fds), 0);
        receiver = fds[0];
        ::close(fds[0]);
        ::close(fds[1]);
        fds[0] = fds[1] = -1;
    } else if (kind == QLatin1String("pipe")) {
        QCOMPARE(::pipe(fds), 0);
        receiver = fds[1];
    } else if (kind == QLatin1String("stream")) {
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        receiver = fds[1];
    }
    const unsigned char started = m_init(receiver);
    m_final();
    for (int fd : fds) {
        if (fd >= 0)
            ::close(fd);
    }
    QCOMPARE(started, 0);
}

void TestHookLib::recordsUnderXServer()
{
    if (!startServer())
        QSKIP("Xvfb or xdotool not available");
    qputenv("DISPLAY", m_display);
    Channel channel;
    QCOMPARE(m_init(channel.library), 1);
    // A second start while running is refused; the first goes on.
    QCOMPARE(m_init(channel.library), 0);

    // A warp makes no raw motion; a relative move goes through the input devices like a real
    // mouse does. The record carries where the server then has the pointer.
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("100"), QStringLiteral("40")}));
    QVERIFY(
        xdotool({QStringLiteral("mousemove_relative"), QStringLiteral("23"), QStringLiteral("5")}));
    const QPoint pointer = pointerLocation();
    QVERIFY(pointer != QPoint(100, 40));
    std::optional<TMouseHookRecord> move;
    while (const std::optional<TMouseHookRecord> record = channel.until(wm::MouseMove)) {
        move = record;
        if (QPoint(record->X, record->Y) == pointer)
            break;
    }
    QVERIFY(move);
    QCOMPARE(QPoint(move->X, move->Y), pointer);
    QCOMPARE(move->HitTestCode, 1u);
    QCOMPARE(move->HandleWindow, 0u); // the bare desktop

    struct Click
    {
        const char *button;
        qint32 down;
        qint32 up;
    };
    for (const Click &click :
         {Click{"1", wm::LButtonDown, wm::LButtonUp}, Click{"3", wm::RButtonDown, wm::RButtonUp},
          Click{"2", wm::MButtonDown, wm::MButtonUp}}) {
        QVERIFY(xdotool({QStringLiteral("click"), QLatin1String(click.button)}));
        const std::optional<TMouseHookRecord> down = channel.until(click.down);
        QVERIFY2(down, click.button);
        QCOMPARE(QPoint(down->X, down->Y), pointer);
        const std::optional<TMouseHookRecord> up = channel.next();
        QVERIFY(up);
        channel.reply();
        QCOMPARE(up->Msg, click.up);
    }

    // One wheel record per notch, on the press only, read as +120 up and -120 down.
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("4")}));
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("5")}));
    const std::optional<TMouseHookRecord> wheelUp = channel.until(wm::MouseWheel);
    QVERIFY(wheelUp);
    QCOMPARE(WheelDeltaOf(wheelUp->ExtraInfo), WheelDelta);
    const std::optional<TMouseHookRecord> wheelDown = channel.next();
    QVERIFY(wheelDown);
    channel.reply();
    QCOMPARE(wheelDown->Msg, wm::MouseWheel);
    QCOMPARE(WheelDeltaOf(wheelDown->ExtraInfo), -WheelDelta);
    QVERIFY(!channel.next(300));

    m_final();
    // Nothing after finalisation.
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("1")}));
    QVERIFY(!channel.next(300));
}

void TestHookLib::waitsForEachReply()
{
    if (!startServer())
        QSKIP("Xvfb or xdotool not available");
    qputenv("DISPLAY", m_display);
    Channel channel;
    QCOMPARE(m_init(channel.library), 1);
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("1")}));
    const std::optional<TMouseHookRecord> down = channel.next();
    QVERIFY(down);
    QCOMPARE(down->Msg, wm::LButtonDown);
    // The release is held back until the press is answered.
    QVERIFY(!channel.next(300));
    QVERIFY(channel.reply(1));
    const std::optional<TMouseHookRecord> up = channel.next();
    QVERIFY(up);
    QCOMPARE(up->Msg, wm::LButtonUp);
    channel.reply();
    m_final();
}

// A press and a release followed at once by a move, all made while the program still has the
// press to answer: both records carry the place of their own event, the move the new place.
void TestHookLib::buttonsWhereTheyHappened()
{
    if (!startServer())
        QSKIP("Xvfb or xdotool not available");
    qputenv("DISPLAY", m_display);
    Channel channel;
    QCOMPARE(m_init(channel.library), 1);
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("200"), QStringLiteral("150"),
                     QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("mouseup"),
                     QStringLiteral("1"), QStringLiteral("mousemove_relative"),
                     QStringLiteral("40"), QStringLiteral("30")}));
    const QPoint moved = pointerLocation();
    QVERIFY(moved != QPoint(200, 150));
    const std::optional<TMouseHookRecord> down = channel.until(wm::LButtonDown);
    QVERIFY(down);
    QCOMPARE(QPoint(down->X, down->Y), QPoint(200, 150));
    const std::optional<TMouseHookRecord> up = channel.until(wm::LButtonUp);
    QVERIFY(up);
    QCOMPARE(QPoint(up->X, up->Y), QPoint(200, 150));
    const std::optional<TMouseHookRecord> move = channel.until(wm::MouseMove);
    QVERIFY(move);
    QCOMPARE(QPoint(move->X, move->Y), moved);
    m_final();
}

void TestHookLib::finalisationWhileAwaitingReply()
{
    if (!startServer())
        QSKIP("Xvfb or xdotool not available");
    qputenv("DISPLAY", m_display);
    Channel channel;
    QCOMPARE(m_init(channel.library), 1);
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("3")}));
    QVERIFY(channel.next());
    // No reply: finalisation must still end the thread (a hang here fails by timeout).
    m_final();
    QVERIFY(!channel.next(300));
    // And the library starts again afterwards.
    QCOMPARE(m_init(channel.library), 1);
    m_final();
}

void TestHookLib::pipetteLikeUseThroughTheComponent()
{
    if (!startServer())
        QSKIP("Xvfb or xdotool not available");
    qputenv("DISPLAY", m_display);
    THookMouse hook;
    QStringList messages;
    hook.ShowMessage = [&messages](const QString &text) { messages << text; };
    hook.setDirectoryDll(LibraryDirectory());
    QPoint downAt;
    QPoint upAt;
    hook.OnMouseDown = [&](THookMouse *, TMouseButton, TShiftState, qint32 x, qint32 y, quint32,
                           quint32, quint32) { downAt = QPoint(x, y); };
    // Ends the hook from inside its own release event, as the pipette does.
    hook.OnMouseUp = [&](THookMouse *sender, TMouseButton button, TShiftState, qint32 x, qint32 y,
                         quint32, quint32, quint32) {
        if (button == TMouseButton::mbLeft) {
            upAt = QPoint(x, y);
            sender->setEnabled(false);
        }
    };
    hook.setEnabled(false);
    hook.setEnabled(true);
    QVERIFY2(hook.started(), qPrintable(messages.join(u'\n')));
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("300"), QStringLiteral("200"),
                     QStringLiteral("click"), QStringLiteral("1")}));
    QTRY_COMPARE(upAt, QPoint(300, 200));
    QCOMPARE(downAt, QPoint(300, 200));
    QTRY_VERIFY(!hook.libraryLoaded());
    QVERIFY(!hook.started());
    QVERIFY(messages.isEmpty());
}

QTEST_MAIN(TestHookLib)
#include "tst_hooklib.moc"
