// The current colour through the real main window: channel fields and sliders in step, the
// format panels, the colour dialog, web-safe rounding, copy and paste through the clipboard
// and the Ctrl shortcuts.
#include "QuietServices.h"
#include "TestSupport.h"

#include "FormParts.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "controls/TrackBar95.h"
#include "mainwindow/MainForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QWindow>

#include <memory>
#include <optional>

using namespace jov;
using jov::test::Parts;

namespace {

struct Fixture : test::QuietServices
{
    std::unique_ptr<TMainForm> form;

    Fixture() { form = std::make_unique<TMainForm>(nullptr, services()); }

    QList<int> channels() const
    {
        return {Parts(*form).SpinRouge->value(), Parts(*form).SpinVert->value(),
                Parts(*form).SpinBleu->value()};
    }
    QStringList panels() const
    {
        return {form->statusBar()->panelText(1), form->statusBar()->panelText(2),
                form->statusBar()->panelText(3)};
    }
    void setChannels(int r, int g, int b)
    {
        Parts(*form).SpinRouge->setValue(r);
        Parts(*form).SpinVert->setValue(g);
        Parts(*form).SpinBleu->setValue(b);
    }
};

} // namespace

class TestColorChannels : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sliderWritesFieldAndPanels();
    void fieldMovesSlider();
    void typedValueAbove255();
    void typedOutOfRangeAgrees_data();
    void typedOutOfRangeAgrees();
    void clearedField();
    void panelTextsForBlackAndWhite();
    void webSafeRounding_data();
    void webSafeRounding();
    void colorDialog();
    void copy_data();
    void copy();
    void copyWithoutFormatCopiesNothing();
    void paste_data();
    void paste();
    void pasteWithoutText_data();
    void pasteWithoutText();
    void copyThenPasteRoundTrips();
    void ctrlShortcutsWhateverHasFocus();
    void ctrlHeldFlag();
};

void TestColorChannels::sliderWritesFieldAndPanels()
{
    Fixture f;
    Parts(*f.form).TrackRouge->setValue(200);
    QCOMPARE(Parts(*f.form).SpinRouge->text(), QStringLiteral("200"));
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(200, 0, 0));
    QCOMPARE(f.panels(), QStringList({"0x000000C8", "#C80000", "RGB(200,0,0)"}));
}

void TestColorChannels::fieldMovesSlider()
{
    Fixture f;
    Parts(*f.form).SpinBleu->setValue(86);
    QCOMPARE(Parts(*f.form).TrackBleu->value(), 86);
    Parts(*f.form).SpinVert->setValue(52);
    QCOMPARE(Parts(*f.form).TrackVert->value(), 52);
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(0, 52, 86));
    QCOMPARE(f.panels(), QStringList({"0x00563400", "#003456", "RGB(0,52,86)"}));
}

void TestColorChannels::typedValueAbove255()
{
    Fixture f;
    QLineEdit *edit = Parts(*f.form).SpinRouge->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("300"));
    QCOMPARE(Parts(*f.form).SpinRouge->text(), QStringLiteral("255"));
    QCOMPARE(Parts(*f.form).TrackRouge->value(), 255);
    QCOMPARE(f.form->statusBar()->panelText(2), QStringLiteral("#FF0000"));
    QCOMPARE(f.beeps, 0);
}

// A typed value the slider cannot follow (below 0, or above 255 with the slider already at
// 255) stays in the field until it is left, but the sample, the three panels and the copied
// text all show it clamped; leaving the field clamps its text.
void TestColorChannels::typedOutOfRangeAgrees_data()
{
    QTest::addColumn<int>("channel"); // 0 red, 1 green, 2 blue
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("selected"); // characters of the field's text typed over
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text"); // the field's text after typing
    QTest::addColumn<int>("value");
    QTest::newRow("negative-slider-at-0") << 2 << 0 << 1 << "-5"
                                          << "-5" << 0;
    QTest::newRow("above-255-slider-at-255") << 2 << 255 << 1 << "3"
                                             << "355" << 255;
    QTest::newRow("lone-minus") << 2 << 0 << 1 << "-"
                                << "-" << 0;
    QTest::newRow("red-above-255") << 0 << 255 << 1 << "3"
                                   << "355" << 255;
    QTest::newRow("red-negative") << 0 << 0 << 1 << "-5"
                                  << "-5" << 0;
    QTest::newRow("green-above-255") << 1 << 255 << 1 << "3"
                                     << "355" << 255;
    QTest::newRow("green-negative") << 1 << 0 << 1 << "-5"
                                    << "-5" << 0;
}

void TestColorChannels::typedOutOfRangeAgrees()
{
    QFETCH(int, channel);
    QFETCH(int, before);
    QFETCH(int, selected);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, value);
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    QWindow *window = f.form->windowHandle();
    QList<int> channels = {18, 52, 86};
    channels[channel] = before;
    f.setChannels(channels[0], channels[1], channels[2]);
    const test::FormParts parts = Parts(*f.form);
    TNumberField *const fields[] = {parts.SpinRouge, parts.SpinVert, parts.SpinBleu};
    TTrackBar95 *const tracks[] = {parts.TrackRouge, parts.TrackVert, parts.TrackBleu};
    QLineEdit *edit = fields[channel]->lineEdit();
    edit->setFocus();
    edit->setSelection(0, selected);
    for (const QChar c : typed)
        QTest::keyClick(window, c.toLatin1());
    QCOMPARE(fields[channel]->text(), text);
    QCOMPARE(tracks[channel]->value(), value);

    channels[channel] = value;
    const int r = channels[0], g = channels[1], b = channels[2];
    const QStringList expected = {QString::asprintf("0x00%02X%02X%02X", b, g, r),
                                  QString::asprintf("#%02X%02X%02X", r, g, b),
                                  QStringLiteral("RGB(%1,%2,%3)").arg(r).arg(g).arg(b)};
    QCOMPARE(f.panels(), expected);
    QCOMPARE(parts.PanelColor->color(), QColor(r, g, b));
    parts.RadioHexa->setChecked(true);
    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), expected[0]);
    parts.RadioRgb->setChecked(true);
    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), expected[2]);
    QCOMPARE(fields[channel]->text(), text); // the shortcuts left the field as typed

    fields[(channel + 1) % 3]->lineEdit()->setFocus(); // leaving the field clamps it
    QTRY_VERIFY(!edit->hasFocus());
    QCOMPARE(fields[channel]->text(), text == "-" ? text : QString::number(value));
    QCOMPARE(f.panels(), expected);
}

void TestColorChannels::clearedField()
{
    Fixture f;
    Parts(*f.form).SpinVert->setValue(120);
    Parts(*f.form).SpinVert->lineEdit()->clear(); // slider at 120: it moves to 0 and writes "0"
                                                  // back
    QCOMPARE(Parts(*f.form).TrackVert->value(), 0);
    QCOMPARE(Parts(*f.form).SpinVert->text(), QStringLiteral("0"));
    Parts(*f.form).SpinVert->lineEdit()->clear(); // slider already at 0: the field stays empty
    QCOMPARE(Parts(*f.form).SpinVert->text(), QString());
    QCOMPARE(Parts(*f.form).SpinVert->value(), 0);
    QCOMPARE(f.form->statusBar()->panelText(3), QStringLiteral("RGB(0,0,0)"));
}

void TestColorChannels::panelTextsForBlackAndWhite()
{
    Fixture f;
    QCOMPARE(f.panels(), QStringList({"0x00000000", "#000000", "RGB(0,0,0)"}));
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(0, 0, 0));
    f.setChannels(255, 255, 255);
    QCOMPARE(f.panels(), QStringList({"0x00FFFFFF", "#FFFFFF", "RGB(255,255,255)"}));
}

void TestColorChannels::webSafeRounding_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    const int cases[][2] = {{25, 0},    {26, 51},   {127, 102}, {128, 153},
                            {229, 204}, {230, 255}, {255, 255}, {0, 0}};
    for (const auto &c : cases)
        QTest::addRow("%d-to-%d", c[0], c[1]) << c[0] << c[1];
}

void TestColorChannels::webSafeRounding()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    Fixture f;
    f.setChannels(value, value, value);
    f.form->SpeedNetscapeClick();
    QCOMPARE(f.channels(), QList<int>({expected, expected, expected}));
    QCOMPARE(Parts(*f.form).TrackBleu->value(), expected);
}

void TestColorChannels::colorDialog()
{
    Fixture f;
    f.setChannels(1, 2, 3);
    f.chosenColor.reset(); // cancelled
    f.form->SpeedColorsClick();
    QCOMPARE(f.colorDialogRuns, 1);
    QCOMPARE(f.colorDialogInitial, QColor(1, 2, 3));
    QCOMPARE(f.channels(), QList<int>({1, 2, 3}));

    f.chosenColor = QColor(18, 52, 86);
    f.form->SpeedColorsClick();
    QCOMPARE(f.channels(), QList<int>({18, 52, 86}));
    QCOMPARE(Parts(*f.form).TrackBleu->value(), 86);
    QCOMPARE(f.form->statusBar()->panelText(2), QStringLiteral("#123456"));

    // A colour given in another model arrives as plain RGB.
    f.chosenColor = QColor::fromHsv(0, 255, 255);
    f.form->SpeedColorsClick();
    QCOMPARE(f.channels(), QList<int>({255, 0, 0}));

    // What the dialog leaves in its custom colours, also when cancelled, is kept as the sixteen
    // lines of the settings store and handed to the dialog the next time.
    CustomColors left;
    left.fill(clWhite);
    left.front() = MakeColor(1, 2, 3);
    left.back() = MakeColor(250, 0, 5);
    f.customColorsLeft = left;
    f.chosenColor.reset();
    f.form->SpeedColorsClick();
    QCOMPARE(f.form->customColorLines().size(), 16);
    QCOMPARE(f.form->customColorLines().first(), QStringLiteral("ColorA=030201"));
    QCOMPARE(f.form->customColorLines().last(), QStringLiteral("ColorP=0500FA"));
    f.customColorsLeft.reset();
    f.form->SpeedColorsClick();
    QCOMPARE(f.colorDialogCustom.back(), std::optional<ColorRef>(MakeColor(250, 0, 5)));
}

void TestColorChannels::copy_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("valueOnly");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hexa") << "hexa" << false << "0x00563412";
    QTest::newRow("hexa-value") << "hexa" << true << "00563412";
    QTest::newRow("html") << "html" << false << "#123456";
    QTest::newRow("html-value") << "html" << true << "123456";
    QTest::newRow("rgb") << "rgb" << false << "RGB(18,52,86)";
    QTest::newRow("rgb-value") << "rgb" << true << "18,52,86";
}

void TestColorChannels::copy()
{
    QFETCH(QString, format);
    QFETCH(bool, valueOnly);
    QFETCH(QString, expected);
    Fixture f;
    f.setChannels(18, 52, 86);
    (format == "hexa"   ? Parts(*f.form).RadioHexa
     : format == "html" ? Parts(*f.form).RadioHtml
                        : Parts(*f.form).RadioRgb)
        ->setChecked(true);
    Parts(*f.form).CheckValeur->setChecked(valueOnly);
    QApplication::clipboard()->setText(QStringLiteral("before"));
    f.form->SpeedCopieClick();
    QCOMPARE(QApplication::clipboard()->text(), expected);
    QCOMPARE(f.form->statusBar()->panelText(0), QStringLiteral(" Copie effectuée"));
}

void TestColorChannels::copyWithoutFormatCopiesNothing()
{
    Fixture f;
    for (QRadioButton *radio :
         {Parts(*f.form).RadioHexa, Parts(*f.form).RadioHtml, Parts(*f.form).RadioRgb}) {
        radio->setAutoExclusive(false);
        radio->setChecked(false);
    }
    QApplication::clipboard()->setText(QStringLiteral("before"));
    f.form->SpeedCopieClick();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
    QCOMPARE(f.form->statusBar()->panelText(0), QString());
}

void TestColorChannels::paste_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<bool>("message");
    const QList<int> same = {7, 8, 9}; // the colour before the paste
    auto ok = [](const char *name, const QString &text, QList<int> channels) {
        QTest::newRow(name) << text << channels << 0 << true;
    };
    auto none = [&](const char *name, const QString &text) {
        QTest::newRow(name) << text << same << 0 << false;
    };
    ok("html", "#FF8000", {255, 128, 0});
    ok("html-lower", "#ff8000", {255, 128, 0});
    ok("0x-8-digits", "0x000080FF", {255, 128, 0});
    ok("0x-6-digits", "0x0080FF", {255, 128, 0});
    ok("0X-upper", "0X123456", {86, 52, 18});
    ok("6-chars-rgb-order", "FF8000", {255, 128, 0});
    ok("8-chars-bgr-order", "000080FF", {255, 128, 0});
    ok("10-chars-bgr-order", "&H000080FF", {255, 128, 0});
    ok("rgb-with-blanks", "RGB(255, 128, 0)", {255, 128, 0});
    ok("rgb-lower", "rgb(1,2,3)", {1, 2, 3});
    ok("jov", "JOV(10,20,30)", {10, 20, 30});
    ok("rgba-prefix", "RGBA(1,2,3)", {1, 2, 3});
    ok("comma-list", "255,128,0", {255, 128, 0});
    ok("comma-list-clamped", "300,-4,12", {255, 0, 12});
    ok("hex-integers", "RGB($FF,0,x10)", {255, 0, 16});
    ok("blanks-everywhere", " # FF 80 00 ", {255, 128, 0});
    ok("invalid-hex-is-zero", "#GG0000", {0, 0, 0});
    none("html-too-short", "#FF80");
    none("html-with-line-break", "#FF8000\n");
    none("0x-comma-list", "0x10,0x20,0x30");
    none("rgb-without-brackets", "RGB 1,2,3");
    none("five-digits", "12345");
    none("empty", "");
    QTest::newRow("rgb-two-values") << "RGB(1,2)" << QList<int>{1, 8, 9} << 1 << false;
    QTest::newRow("four-values") << "1,2,3,4" << QList<int>{1, 2, 9} << 1 << false;
    QTest::newRow("bracket-first") << "(1,2,3)" << same << 1 << false;
}

void TestColorChannels::paste()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, expected);
    QFETCH(int, beeps);
    QFETCH(bool, message);
    Fixture f;
    f.setChannels(7, 8, 9);
    f.form->statusBar()->setPanelText(0, QStringLiteral("before"));
    QApplication::clipboard()->setText(text);
    f.form->SpeedCollerClick();
    QCOMPARE(f.channels(), expected);
    QCOMPARE(f.beeps, beeps);
    QCOMPARE(f.form->statusBar()->panelText(0),
             message ? QStringLiteral(" Importation effectuée") : QStringLiteral("before"));
    // Everything else follows the fields.
    QCOMPARE(Parts(*f.form).TrackRouge->value(), expected[0]);
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(expected[0], expected[1], expected[2]));
}

// No text to paste: the clipboard holds none (nothing happens), or its owner did not answer in
// time (a beep and a message); the colour stays either way.
void TestColorChannels::pasteWithoutText_data()
{
    QTest::addColumn<bool>("ownerAnswers");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("status");
    QTest::newRow("no-text") << true << 0 << "before";
    QTest::newRow("no-answer") << false << 1 << " Presse-papiers : pas de réponse";
}

void TestColorChannels::pasteWithoutText()
{
    QFETCH(bool, ownerAnswers);
    QFETCH(int, beeps);
    QFETCH(QString, status);
    Fixture f;
    f.setChannels(7, 8, 9);
    f.form->statusBar()->setPanelText(0, QStringLiteral("before"));
    auto *data = new QMimeData;
    data->setData(QStringLiteral("application/x-jov-test"), QByteArray("x"));
    QApplication::clipboard()->setMimeData(data);
    if (!ownerAnswers)
        f.clipboard = ClipboardText{ClipboardText::State::NoAnswer, {}};
    f.form->SpeedCollerClick();
    QCOMPARE(f.channels(), QList<int>({7, 8, 9}));
    QCOMPARE(f.beeps, beeps);
    QCOMPARE(f.form->statusBar()->panelText(0), status);
}

void TestColorChannels::copyThenPasteRoundTrips()
{
    Fixture f;
    const QList<QList<int>> colors = {{18, 52, 86}, {0, 0, 0}, {255, 255, 255}, {1, 254, 16}};
    for (const QList<int> &color : colors) {
        for (QRadioButton *radio :
             {Parts(*f.form).RadioHexa, Parts(*f.form).RadioHtml, Parts(*f.form).RadioRgb}) {
            for (bool valueOnly : {false, true}) {
                f.setChannels(color[0], color[1], color[2]);
                radio->setChecked(true);
                Parts(*f.form).CheckValeur->setChecked(valueOnly);
                f.form->SpeedCopieClick();
                f.setChannels(100, 100, 100);
                f.form->SpeedCollerClick();
                QCOMPARE(f.channels(), color);
            }
        }
    }
    QCOMPARE(f.beeps, 0);
}

void TestColorChannels::ctrlShortcutsWhateverHasFocus()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    QWindow *window = f.form->windowHandle();
    Parts(*f.form).SpinRouge->lineEdit()->setFocus();
    f.setChannels(18, 52, 86);

    QApplication::clipboard()->setText(QStringLiteral("#FF8000"));
    QTest::keyClick(window, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.channels(), QList<int>({255, 128, 0}));
    // The shortcut is the window's: the focused field did not paste the text into itself.
    QCOMPARE(Parts(*f.form).SpinRouge->text(), QStringLiteral("255"));

    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("#FF8000"));

    f.setChannels(26, 127, 230);
    QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(f.channels(), QList<int>({51, 102, 255}));

    QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(f.colorDialogRuns, 1);

    // Without Ctrl the letters are the focused control's.
    QApplication::clipboard()->setText(QStringLiteral("#000000"));
    QTest::keyClick(window, Qt::Key_V, Qt::AltModifier);
    QCOMPARE(f.channels(), QList<int>({51, 102, 255}));
}

void TestColorChannels::ctrlHeldFlag()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    QWindow *window = f.form->windowHandle();
    QTest::keyPress(window, Qt::Key_Control, Qt::ControlModifier);
    QVERIFY(f.form->ctrlHeld());
    QTest::keyPress(window, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(f.form->ctrlHeld());
    QTest::keyRelease(window, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(!f.form->ctrlHeld()); // cleared by any release although Ctrl is still down
    QTest::keyPress(window, Qt::Key_Shift, Qt::ShiftModifier | Qt::ControlModifier);
    QVERIFY(f.form->ctrlHeld());
    QTest::keyPress(window, Qt::Key_A, Qt::NoModifier);
    QVERIFY(!f.form->ctrlHeld());
    QTest::keyRelease(window, Qt::Key_Control, Qt::NoModifier);
    QVERIFY(!f.form->ctrlHeld());
    // A shortcut that opens a dialog: Ctrl is let go there, and the window forgets it.
    QTest::keyPress(window, Qt::Key_Control, Qt::ControlModifier);
    QVERIFY(f.form->ctrlHeld());
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(f.form.get(), &deactivate);
    QVERIFY(!f.form->ctrlHeld());
}

QTEST_MAIN(TestColorChannels)
#include "tst_colorchannels.moc"
