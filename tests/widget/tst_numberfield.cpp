#include "controls/NumberField.h"

#include "TestSupport.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using namespace jov;
using jov::test::BeepCounter;

namespace {

// A channel field: 0 to 255, at most three characters.
void SetUpChannel(TNumberField &field)
{
    field.setRange(0, 255);
    field.setMaxLength(3);
}

QToolButton *ArrowButton(TNumberField &field, Qt::ArrowType arrow)
{
    for (QToolButton *button : field.findChildren<QToolButton *>()) {
        if (button->arrowType() == arrow)
            return button;
    }
    return nullptr;
}

// Records the key presses that reach it.
class KeyRecorder : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys << event->key(); }
};

} // namespace

class TestNumberField : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typing_data();
    void typing();
    void controlKeys_data();
    void controlKeys();
    void returnGoesOnToTheWindow();
    void upDown_data();
    void upDown();
    void value_data();
    void value();
    void setValue_data();
    void setValue();
    void sameValueLeavesTheEditAlone();
    void leavingClamps_data();
    void leavingClamps();
    void typing300();
};

void TestNumberField::typing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("beeps");
    QTest::newRow("digits") << "123"
                            << "C"
                            << "123" << 0;
    QTest::newRow("letter-refused") << "1a2"
                                    << "C"
                                    << "12" << 1;
    QTest::newRow("signs-accepted") << "-+"
                                    << "C"
                                    << "-+" << 0;
    QTest::newRow("space-refused") << "1 2"
                                   << "C"
                                   << "12" << 1;
    QTest::newRow("letters-each-beep") << "xyz"
                                       << "C"
                                       << "" << 3;
    QTest::newRow("point-is-c-separator") << "1.5"
                                          << "C"
                                          << "1.5" << 0;
    QTest::newRow("comma-refused-in-c") << "1,5"
                                        << "C"
                                        << "15" << 1;
    QTest::newRow("comma-is-french-separator") << "1,5"
                                               << "fr_FR"
                                               << "1,5" << 0;
    QTest::newRow("point-refused-in-french") << "1.5"
                                             << "fr_FR"
                                             << "15" << 1;
}

void TestNumberField::typing()
{
    QFETCH(QString, typed);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QFETCH(int, beeps);

    TNumberField field;
    SetUpChannel(field);
    field.setLocale(QLocale(locale));
    BeepCounter beep;
    field.setBeepHook(beep.hook());
    field.lineEdit()->clear();
    QTest::keyClicks(field.lineEdit(), typed);
    QCOMPARE(field.text(), expected);
    QCOMPARE(beep.count, beeps);
}

void TestNumberField::controlKeys_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("text"); // what the platform attaches to the key
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("beeps");
    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    // The cursor stands between "1" and "2".
    QTest::newRow("return-refused-with-beep") << Qt::Key_Return << "\r" << none << "12" << 1;
    QTest::newRow("keypad-enter-refused-with-beep") << Qt::Key_Enter << "\r" << none << "12" << 1;
    QTest::newRow("backspace") << Qt::Key_Backspace << "\b" << none << "2" << 0;
    QTest::newRow("delete") << Qt::Key_Delete << "\x7f" << none << "1" << 0;
    QTest::newRow("escape") << Qt::Key_Escape << "\x1b" << none << "12" << 0;
    QTest::newRow("ctrl-a-as-control-char") << Qt::Key_A << "\x01" << ctrl << "12" << 0;
    QTest::newRow("ctrl-a-with-letter-text") << Qt::Key_A << "a" << ctrl << "12" << 0;
    QTest::newRow("altgr-letter-refused")
        << Qt::Key_E << "e" << (ctrl | Qt::AltModifier) << "12" << 1;
}

void TestNumberField::controlKeys()
{
    QFETCH(Qt::Key, key);
    QFETCH(QString, text);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, expected);
    QFETCH(int, beeps);

    TNumberField field;
    SetUpChannel(field);
    BeepCounter beep;
    field.setBeepHook(beep.hook());
    field.setValue(12);
    field.lineEdit()->setCursorPosition(1);
    QTest::sendKeyEvent(QTest::Press, field.lineEdit(), key, text, modifiers);
    QTest::sendKeyEvent(QTest::Release, field.lineEdit(), key, text, modifiers);
    QCOMPARE(field.text(), expected);
    QCOMPARE(beep.count, beeps);
}

void TestNumberField::returnGoesOnToTheWindow()
{
    KeyRecorder window;
    auto *field = new TNumberField(&window);
    BeepCounter beep;
    field->setBeepHook(beep.hook());
    QTest::keyClick(field->lineEdit(), Qt::Key_Return);
    QCOMPARE(beep.count, 1);
    QCOMPARE(window.keys, QList<int>{Qt::Key_Return});

    // A refused letter stops in the field.
    QTest::keyClick(field->lineEdit(), Qt::Key_Q);
    QCOMPARE(beep.count, 2);
    QCOMPARE(window.keys.size(), 1);
}

void TestNumberField::upDown_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("changes");
    QTest::newRow("up-key") << "5"
                            << "key-up"
                            << "6" << 1;
    QTest::newRow("down-key") << "5"
                              << "key-down"
                              << "4" << 1;
    QTest::newRow("up-button") << "5"
                               << "button-up"
                               << "6" << 1;
    QTest::newRow("down-button") << "5"
                                 << "button-down"
                                 << "4" << 1;
    QTest::newRow("up-at-maximum-notifies-nothing") << "255"
                                                    << "key-up"
                                                    << "255" << 0;
    QTest::newRow("down-at-minimum-notifies-nothing") << "0"
                                                      << "button-down"
                                                      << "0" << 0;
    QTest::newRow("up-from-empty-starts-at-minimum") << ""
                                                     << "key-up"
                                                     << "1" << 1;
    QTest::newRow("down-from-lone-sign-writes-minimum") << "-"
                                                        << "key-down"
                                                        << "0" << 1;
    QTest::newRow("up-from-300-clamps") << "300"
                                        << "button-up"
                                        << "255" << 1;
}

void TestNumberField::upDown()
{
    QFETCH(QString, start);
    QFETCH(QString, action);
    QFETCH(QString, expected);
    QFETCH(int, changes);

    TNumberField field;
    SetUpChannel(field);
    BeepCounter beep;
    field.setBeepHook(beep.hook());
    field.lineEdit()->setText(start);
    QSignalSpy changed(&field, &TNumberField::changed);

    if (action == QLatin1String("key-up"))
        QTest::keyClick(field.lineEdit(), Qt::Key_Up);
    else if (action == QLatin1String("key-down"))
        QTest::keyClick(field.lineEdit(), Qt::Key_Down);
    else {
        QToolButton *button =
            ArrowButton(field, action == QLatin1String("button-up") ? Qt::UpArrow : Qt::DownArrow);
        QVERIFY(button);
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QCOMPARE(field.text(), expected);
    QCOMPARE(changed.size(), changes);
    QCOMPARE(beep.count, 0);
}

void TestNumberField::value_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << 0 << "42" << 42;
    QTest::newRow("cleared-reads-0") << 0 << "" << 0;
    QTest::newRow("cleared-reads-minimum-1") << 1 << "" << 1;
    QTest::newRow("lone-minus") << 0 << "-" << 0;
    QTest::newRow("plus-sign") << 0 << "+7" << 7;
    QTest::newRow("negative-unclamped") << 0 << "-5" << -5;
    QTest::newRow("above-maximum-unclamped") << 0 << "300" << 300;
    QTest::newRow("trailing-junk") << 0 << "12a" << 0;
    QTest::newRow("decimal") << 0 << "1,5" << 0;
    QTest::newRow("overflow") << 0 << "99999999999" << 0;
}

void TestNumberField::value()
{
    QFETCH(int, minimum);
    QFETCH(QString, text);
    QFETCH(int, expected);
    TNumberField field;
    field.setRange(minimum, 255);
    field.lineEdit()->setText(text);
    QCOMPARE(field.value(), expected);
}

void TestNumberField::setValue_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("changes");
    QTest::newRow("same-text-notifies-nothing") << 0 << 255 << "5" << 5 << "5" << 0;
    QTest::newRow("new-value") << 0 << 255 << "5" << 6 << "6" << 1;
    QTest::newRow("clamped-high") << 0 << 255 << "5" << 300 << "255" << 1;
    QTest::newRow("clamped-low") << 0 << 255 << "5" << -3 << "0" << 1;
    QTest::newRow("clamped-to-current-notifies-nothing") << 0 << 255 << "255" << 999 << "255" << 0;
    QTest::newRow("same-value-other-text-rewritten") << 0 << 255 << "05" << 5 << "5" << 1;
    QTest::newRow("empty-to-zero") << 0 << 255 << "" << 0 << "0" << 1;
    QTest::newRow("gradient-step-range") << 1 << 64 << "16" << 100 << "64" << 1;
}

void TestNumberField::setValue()
{
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(QString, start);
    QFETCH(int, value);
    QFETCH(QString, expected);
    QFETCH(int, changes);

    TNumberField field;
    field.setRange(minimum, maximum);
    field.lineEdit()->setText(start);
    QSignalSpy changed(&field, &TNumberField::changed);
    field.setValue(value);
    QCOMPARE(field.text(), expected);
    QCOMPARE(changed.size(), changes);
}

// Writing back the value being typed must not move the cursor nor drop the selection.
void TestNumberField::sameValueLeavesTheEditAlone()
{
    TNumberField field;
    SetUpChannel(field);
    field.setValue(123);
    field.lineEdit()->setSelection(1, 1);
    field.setValue(123);
    QCOMPARE(field.lineEdit()->selectionStart(), 1);
    QCOMPARE(field.lineEdit()->selectedText(), QStringLiteral("2"));
}

void TestNumberField::leavingClamps_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("above-maximum") << 0 << 255 << "300"
                                   << "255";
    QTest::newRow("negative") << 0 << 255 << "-5"
                              << "0";
    QTest::newRow("in-range-kept") << 0 << 255 << "12"
                                   << "12";
    QTest::newRow("empty-stays-empty") << 0 << 255 << ""
                                       << "";
    QTest::newRow("lone-sign-stays") << 0 << 255 << "-"
                                     << "-";
    QTest::newRow("gradient-step-above-64") << 1 << 64 << "999"
                                            << "64";
    QTest::newRow("gradient-step-zero") << 1 << 64 << "0"
                                        << "1";
}

void TestNumberField::leavingClamps()
{
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *field = new TNumberField;
    auto *other = new QLineEdit;
    layout->addWidget(field);
    layout->addWidget(other);
    field->setRange(minimum, maximum);
    field->setMaxLength(3);
    QVERIFY(jov::test::ShowActive(window));

    field->setFocus();
    QVERIFY(field->lineEdit()->hasFocus());
    field->lineEdit()->clear();
    QTest::keyClicks(field->lineEdit(), typed);
    QCOMPARE(field->text(), typed);
    other->setFocus();
    QVERIFY(other->hasFocus());
    QCOMPARE(field->text(), expected);
}

void TestNumberField::typing300()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *field = new TNumberField;
    auto *other = new QLineEdit;
    layout->addWidget(field);
    layout->addWidget(other);
    SetUpChannel(*field);
    QVERIFY(jov::test::ShowActive(window));
    field->setFocus();
    field->lineEdit()->clear();

    QSignalSpy changed(field, &TNumberField::changed);
    QList<int> values;
    connect(field, &TNumberField::changed, field, [&] { values << field->value(); });
    QTest::keyClicks(field->lineEdit(), QStringLiteral("3004"));
    QCOMPARE(field->text(), QStringLiteral("300")); // three characters at most
    QCOMPARE(values, (QList<int>{3, 30, 300}));

    other->setFocus();
    QCOMPARE(field->text(), QStringLiteral("255"));
    QCOMPARE(changed.size(), 4);
    QCOMPARE(field->value(), 255);
}

QTEST_MAIN(TestNumberField)
#include "tst_numberfield.moc"
