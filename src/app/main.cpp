#include "StopSignals.h"
#include "Version.h"
#include "mainwindow/MainForm.h"
#include "persistence/AtomicFile.h"
#include "persistence/Options.h"
#include "portal/PortalColorPicker.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>

namespace {

// The program's icon in the sizes drawn from its logo (resources/icons); every window of the
// program shows it, and the window manager's task bar and switcher take it from the main window.
QIcon ProgramIcon()
{
    // The sizes title bars, task bars and switchers draw; larger ones come from the installed
    // icon theme through the desktop entry. Each size is decoded at start-up, and the largest
    // cost more than the rest of the window together.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/jov-%1.png").arg(size), QSize(size, size));
    return icon;
}

// On a Wayland session the program runs through XWayland unless the user chose a platform:
// there the window can be placed and kept on top where the compositor allows it. The choice
// is not passed on to the programs it starts (the help browser, say).
bool PreferXWayland()
{
    if (!jov::IsWaylandSession() || qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before anything else: a stop asked for during start-up is acted on once the window is up.
    jov::CatchStopSignals();
    const bool xwayland = PreferXWayland();
    QApplication application(argc, argv);
    if (xwayland)
        qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("JOV"));
    QApplication::setOrganizationName(QStringLiteral("Corvel Astine"));
    // The desktop entry's id: the desktop links the windows to the menu entry and its icon (the
    // entry's StartupWMClass names the window class, "JOV", from the application name above).
    QGuiApplication::setDesktopFileName(QLatin1String(jov::ApplicationId));
    QApplication::setWindowIcon(ProgramIcon());
    // The program speaks French whatever the user's language: Qt's own dialogs and buttons
    // (the colour and file dialogs, the message box buttons) too. Without the translation
    // installed they stay in English.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_fr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);
    // Closing the main window ends the program, whatever other top-level windows exist.
    QApplication::setQuitOnLastWindowClosed(false);

    // What a crash in the middle of a save left beside the store.
    jov::RemoveStaleTemporaries(jov::SettingsStorePath());

    jov::TMainForm mainForm;
    QObject::connect(&mainForm, &jov::TMainForm::closed, &application, &QApplication::quit);
    // Told to stop (kill, Ctrl+C, the terminal gone) or the desktop session ending: the
    // settings are saved as at a normal close, and nobody is asked anything.
    const jov::TStopSignals stopSignals([&mainForm] { mainForm.EndSession(); });
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &mainForm,
                     [&mainForm](QSessionManager &) { mainForm.EndSession(); });
    mainForm.show();
    return application.exec();
}
