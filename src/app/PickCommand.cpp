#include "PickCommand.h"

#include "controls/Cursors.h"
#include "hook/HookMouse.h"
#include "mainwindow/FormServices.h"
#include "mainwindow/Pipette.h"
#include "persistence/CommandLine.h"
#include "persistence/Options.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace jov {

namespace {

// How long the keeper may take to own the clipboard.
constexpr int KeeperPatienceMs = 5000;
// Tells the keeper on which descriptor to say that it owns the clipboard.
constexpr char KeeperReadyVariable[] = "JOV_KEEPER_READY_FD";

void PrintError(const QString &text)
{
    std::fputs(qPrintable(QCoreApplication::translate("main", "jov : %1\n").arg(text.trimmed())),
               stderr);
}

// Whether a clipboard manager runs on the X display: it takes the clipboard's contents over
// when the application ends (Qt hands them over on its way out).
bool ClipboardManagerRuns()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    static const char name[] = "CLIPBOARD_MANAGER";
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t *owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    const bool runs = atom->atom != XCB_ATOM_NONE && owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    std::free(atom);
    return runs;
}

// Starts the keeper (this program again, detached from the terminal and the caller's output)
// and waits until it owns the clipboard.
bool StartClipboardKeeper(const QString &text, const QStringList &qtArguments)
{
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return false;
    // Everything the child needs is made before fork: after it, only calls that are safe in a
    // copy of a threaded process.
    const QByteArray program = QCoreApplication::applicationFilePath().toLocal8Bit();
    QByteArrayList arguments{program};
    for (const QString &argument : qtArguments)
        arguments.append(argument.toLocal8Bit());
    arguments.append(QByteArrayLiteral("--keep-clipboard=") + text.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const QByteArray readyFd = QByteArray::number(ready[1]);

    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        fcntl(ready[1], F_SETFD, 0); // kept across exec
        if (chdir("/") != 0)
            _exit(127);
        setenv(KeeperReadyVariable, readyFd.constData(), 1);
        execv(program.constData(), argv.data());
        _exit(127);
    }
    close(ready[1]);
    char answer = 0;
    if (pid > 0) {
        pollfd wait{ready[0], POLLIN, 0};
        if (poll(&wait, 1, KeeperPatienceMs) == 1 && read(ready[0], &answer, 1) != 1)
            answer = 0;
    }
    close(ready[0]);
    return answer == '1';
}

// Tells the program that started this keeper whether the clipboard is ours.
void ReportKeeperReady(bool owned)
{
    bool valid = false;
    const int fd = qEnvironmentVariableIntValue(KeeperReadyVariable, &valid);
    qunsetenv(KeeperReadyVariable);
    if (!valid || fd <= STDERR_FILENO)
        return;
    const char answer = owned ? '1' : '0';
    const ssize_t written = write(fd, &answer, 1);
    Q_UNUSED(written); // nobody to tell when the starter has gone
    close(fd);
}

} // namespace

int RunPick(const CommandLine &commandLine)
{
    FormServices services = FormServices::platform();
    TOptionsRecord options = StartupOptions();
    LoadOptionsFromStore(*services.store, options);
    CopyFormat format = commandLine.format.value_or(CopyFormatOf(options));
    // The window copies nothing while no format is chosen; a pick always gives a text.
    if (format == CopyFormat::None)
        format = CopyFormat::Html;
    const bool valueOnly = commandLine.valueOnly || options.valueOnly;

    RegisterPipetteCursor();
    TPipette pipette(services, nullptr);
    pipette.setLoupeEnabled(options.showLoupe);
    pipette.setSampleSide(commandLine.sampleSide.value_or(options.sampleSide));

    THookMouse *hook = pipette.hook();
    hook->ShowMessage = PrintError;
    // A left press and its release pick; the right button cancels.
    hook->OnMouseDown = [&](THookMouse *, TMouseButton button, TShiftState, qint32 x, qint32 y,
                            quint32, quint32, quint32) {
        if (button == TMouseButton::mbLeft)
            pipette.leftPress(QPoint(x, y));
        else
            pipette.cancel();
    };
    hook->OnMouseUp = [&](THookMouse *, TMouseButton button, TShiftState, qint32 x, qint32 y,
                          quint32, quint32, quint32) {
        if (button == TMouseButton::mbLeft)
            pipette.end(QPoint(x, y));
    };
    QObject::connect(&pipette, &TPipette::ended, [] { QCoreApplication::exit(); });
    QObject::connect(&pipette, &TPipette::unavailable, [&pipette](const QString &status) {
        if (pipette.outcome() == TPipette::Outcome::Unavailable)
            PrintError(status);
    });
    // What the window would show in its status line, said once.
    QString said;
    QObject::connect(&pipette, &TPipette::status, [&said](const QString &text) {
        if (text == said)
            return;
        said = text;
        const QString line = text.trimmed();
        PrintError(line.first(1).toLower() + line.sliced(1));
    });

    // On X11 a window of our own, off every screen, holds the pointer and keyboard grabs.
    QWidget grabber(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
    if (!services.portalPicking) {
        grabber.setAttribute(Qt::WA_ShowWithoutActivating);
        grabber.setGeometry(-10, -10, 1, 1);
        grabber.show();
    }
    if (!pipette.startClick(QColor(), grabber.windowHandle())) {
        PrintError(QCoreApplication::translate(
            "PickCommand", "le pointeur ou le clavier est pris par un autre programme"));
        return 3;
    }
    if (pipette.active()) {
        pipette.tick(); // the loupe at once, not a tick later
        QCoreApplication::exec();
    }
    grabber.hide();

    switch (pipette.outcome()) {
    case TPipette::Outcome::Picked:
        break;
    case TPipette::Outcome::Cancelled:
        return 1;
    case TPipette::Outcome::Unavailable:
        return 3;
    }
    const QColor picked = pipette.sample();
    const QString text =
        ColorCopyText(format, valueOnly, picked.red(), picked.green(), picked.blue());
    std::fputs(qPrintable(text + u'\n'), stdout);
    std::fflush(stdout);
    if (commandLine.noCopy)
        return 0;
    if (ClipboardManagerRuns())
        QGuiApplication::clipboard()->setText(text);
    else if (!StartClipboardKeeper(text, commandLine.qtArguments))
        PrintError(QCoreApplication::translate(
            "PickCommand", "la couleur n'a pas pu rester dans le presse-papiers"));
    return 0;
}

int RunClipboardKeeper(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(text);
    const bool owned = clipboard->ownsClipboard();
    ReportKeeperReady(owned);
    if (!owned)
        return 1;
    QObject::connect(clipboard, &QClipboard::changed, [clipboard](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}

} // namespace jov
