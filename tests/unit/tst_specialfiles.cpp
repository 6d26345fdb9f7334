// Something other than a regular file where a palette, the store or the legacy settings file is
// expected: reading it must never block (a FIFO without a writer would block open() for ever)
// and must give the reaction of an unreadable file. Each read runs in a child process, so a
// hang fails the test instead of blocking it.
#include "MemoryStore.h"
#include "persistence/LegacyIni.h"
#include "persistence/PaletteFile.h"
#include "persistence/RegistryStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace jov;

namespace {

enum class Kind { Fifo, Folder, Socket, Device };
enum class Reader { Palette, Store, Legacy };

const QString Opts = QStringLiteral("Software\\Corvel Astine\\JOV\\Options");

// A terminal device of the test's own. Its node lives on the pseudo-terminal file system, where
// nothing can be created, renamed or removed: a save that wrongly followed a link to it can
// damage nothing. Tests never link to a device or path of the machine.
class PseudoTerminal
{
public:
    PseudoTerminal() : m_fd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC))
    {
        if (m_fd >= 0 && (::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0)) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~PseudoTerminal()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // The device's path, empty when none could be opened.
    QByteArray path() const
    {
        char name[64] = {};
        return m_fd >= 0 && ::ptsname_r(m_fd, name, sizeof name) == 0 ? QByteArray(name)
                                                                      : QByteArray();
    }

private:
    int m_fd;
};

bool Make(Kind kind, const QString &path, const PseudoTerminal &terminal)
{
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
    case Kind::Fifo:
        return ::mkfifo(native.constData(), 0600) == 0;
    case Kind::Folder:
        return ::mkdir(native.constData(), 0700) == 0;
    case Kind::Device: {
        // A device that never ends: a reader waiting for its end blocks.
        const QByteArray device = terminal.path();
        return device.startsWith("/dev/pts/") &&
               ::symlink(device.constData(), native.constData()) == 0;
    }
    case Kind::Socket: {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        if (std::size_t(native.size()) >= sizeof address.sun_path)
            return false;
        qstrcpy(address.sun_path, native.constData());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        // The socket file stays after the descriptor is closed.
        const bool bound =
            fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        if (fd >= 0)
            ::close(fd);
        return bound;
    }
    }
    return false;
}

// Whether the thing at path (not followed when a link) is still of that kind.
bool IsKind(Kind kind, const QString &path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    switch (kind) {
    case Kind::Fifo:
        return S_ISFIFO(st.st_mode);
    case Kind::Folder:
        return S_ISDIR(st.st_mode);
    case Kind::Socket:
        return S_ISSOCK(st.st_mode);
    case Kind::Device:
        return S_ISLNK(st.st_mode);
    }
    return false;
}

// Runs check in a child process: 1 when it returned true, 0 when false, -1 when it did not end
// within the time limit (the child is then killed).
int RunBounded(const std::function<bool()> &check)
{
    const pid_t child = ::fork();
    if (child < 0)
        return 0;
    if (child == 0)
        ::_exit(check() ? 0 : 1);
    for (int waited = 0; waited < 500; ++waited) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
        QTest::qSleep(10);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return -1;
}

} // namespace

class TestSpecialFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readAsUnreadable_data();
    void readAsUnreadable();
};

void TestSpecialFiles::readAsUnreadable_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Reader>("reader");
    const std::pair<const char *, Kind> kinds[] = {{"fifo", Kind::Fifo},
                                                   {"folder", Kind::Folder},
                                                   {"socket", Kind::Socket},
                                                   {"device", Kind::Device}};
    const std::pair<const char *, Reader> readers[] = {
        {"palette", Reader::Palette}, {"store", Reader::Store}, {"legacy", Reader::Legacy}};
    for (const auto &[readerName, reader] : readers)
        for (const auto &[kindName, kind] : kinds)
            QTest::addRow("%s-%s", readerName, kindName) << kind << reader;
}

void TestSpecialFiles::readAsUnreadable()
{
    QFETCH(Kind, kind);
    QFETCH(Reader, reader);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("JOV.x"));
    const PseudoTerminal terminal;
    QVERIFY(Make(kind, path, terminal));

    int outcome = 0;
    switch (reader) {
    case Reader::Palette:
        // The palette beep: an I/O error, not a message about the content.
        outcome = RunBounded([&] { return ReadPaletteFile(path).error == PaletteError::IoError; });
        break;
    case Reader::Store:
        outcome = RunBounded([&] {
            RegistryStore store(path);
            return store.RegReadInteger(Opts, QStringLiteral("Op01"), -5) == -5 &&
                   store.RegWriteInteger(Opts, QStringLiteral("Op01"), 7);
        });
        break;
    case Reader::Legacy:
        outcome = RunBounded([&] {
            MemoryStore store;
            TOptionsRecord record;
            QStringList lines;
            SlotColors slots{};
            return ImportLegacyIniFile(path, store, record, lines, slots) ==
                       LegacyImportResult::Unreadable &&
                   store.writeLog().isEmpty();
        });
        break;
    }
    QVERIFY2(outcome != -1, "the read blocked");
    QCOMPARE(outcome, 1);

    if (reader == Reader::Store) {
        // Moved aside, whole, and a new store written in its place.
        QVERIFY(IsKind(kind, path + QStringLiteral(".bak")));
        RegistryStore again(path);
        QCOMPARE(again.RegReadInteger(Opts, QStringLiteral("Op01"), -5), 7);
    } else {
        QVERIFY(IsKind(kind, path)); // left alone
    }
}

QTEST_GUILESS_MAIN(TestSpecialFiles)
#include "tst_specialfiles.moc"
