#include "Version.h"
#include "mainwindow/MainForm.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The program's icon in the sizes drawn from its logo (resources/icons); every window of the
// program shows it, and the window manager's task bar and switcher take it from the main window.
QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/jov-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
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

    jov::TMainForm mainForm;
    QObject::connect(&mainForm, &jov::TMainForm::closed, &application, &QApplication::quit);
    mainForm.show();
    return application.exec();
}
