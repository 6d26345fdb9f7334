// The floor of the start-up benchmark: the barest Qt Widgets window.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(550, 323);
    window.show();
    return application.exec();
}
