// The floor of the start-up benchmark: a Qt Widgets window of the program's size that draws
// text the way the program's window does, a label, a line edit and a button.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(550, 323);
    auto *label = new QLabel(QStringLiteral("Format de copie :"), &window);
    label->move(10, 10);
    auto *edit = new QLineEdit(QStringLiteral("#3366CC"), &window);
    edit->setGeometry(10, 40, 120, 24);
    auto *button = new QPushButton(QStringLiteral("Copier"), &window);
    button->setGeometry(10, 75, 80, 25);
    window.show();
    return application.exec();
}
