#include "mainwindow/MainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("JOV"));
    QApplication::setOrganizationName(QStringLiteral("Corvel Astine"));
    // Closing the main window ends the program, whatever other top-level windows exist.
    QApplication::setQuitOnLastWindowClosed(false);

    jov::TMainForm mainForm;
    QObject::connect(&mainForm, &jov::TMainForm::closed, &application, &QApplication::quit);
    mainForm.show();
    return application.exec();
}
