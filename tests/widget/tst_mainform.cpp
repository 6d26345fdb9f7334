#include "QuietServices.h"
#include "TestSupport.h"

#include "FormParts.h"
#include "controls/ASLink.h"
#include "controls/ColorButton.h"
#include "controls/Cursors.h"
#include "controls/Hints.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "controls/TrackBar95.h"
#include "mainwindow/MainForm.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>

using namespace jov;
using jov::test::Parts;

class TestMainForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layout_data() { addLayoutRows(true); }
    void layout();
    void customSlots();
    void fixedClientArea();
    void startState();
    void tabOrderStopsOnlyAtFieldsAndCheckedRadio();
    void hintLineFollowsMouse();
    void hintLineByRealMouseMoves_data() { addLayoutRows(false); }
    void hintLineByRealMouseMoves();
    void accessibleColorDescriptions();
    void accessibleStatusBar();
    void hintLineSingleTextMode();
    void pipetteCursorRegistered();
    void glyphsLoaded();
    void aboutLinksOpenThroughServices();

private:
    // The controls with their places, hints and roles; `withoutHint` adds those that have none.
    static void addLayoutRows(bool withoutHint);
};

void TestMainForm::addLayoutRows(bool withoutHint)
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("role"); // what assistive technologies are told the control is
    QAccessible::Role role = QAccessible::Button;
    auto row = [&role, withoutHint](const char *name, QRect geometry, const char *hint) {
        if (!withoutHint && *hint == '\0')
            return;
        QTest::newRow(name) << QString::fromLatin1(name) << geometry << QString::fromUtf8(hint)
                            << int(role);
    };
    role = QAccessible::Grouping;
    row("BoxReglage", {10, 5, 530, 225}, "");
    role = QAccessible::Button;
    row("BtnOptions", {10, 20, 25, 25}, "| Options du programme (Ctrl E)");
    row("BtnOpenPal", {10, 50, 25, 25}, "| Charge une palette personnalisée (Ctrl O)");
    row("BtnSavePal", {10, 80, 25, 25}, "| Sauvegarde la palette personnalisée (Ctrl S)");
    role = QAccessible::Pane;
    row("PanelColor", {44, 20, 387, 55}, "| Zone d'exemple");
    row("PanelPerso", {44, 80, 387, 25}, "| Couleurs personnalisées (Alt ← →, Alt Entrée)");
    role = QAccessible::Button;
    row("BtnColors", {440, 20, 25, 25}, "| Affiche la palette de couleurs (Ctrl P)");
    role = QAccessible::Pane;
    row("PanelPipette", {465, 20, 25, 25}, "");
    role = QAccessible::Graphic;
    row("ImgPipette", {6, 6, 14, 14}, "| Active la pipette (Ctrl I, molette : carré)");
    role = QAccessible::Button;
    row("BtnAide", {495, 20, 25, 25}, "| Affiche l'aide du programme (Ctrl A)");
    row("BtnColler", {440, 50, 25, 25}, "| Importe la couleur Presse-papiers (Ctrl V)");
    row("BtnNetscape", {465, 50, 25, 25}, "| Approche avec valeurs Netscape (Ctrl N)");
    row("BtnTop", {495, 50, 25, 25}, "| Fixe au premier plan (Ctrl T)");
    row("BtnPlus", {440, 80, 25, 25}, "| Ajoute aux couleurs personnalisées (Alt +)");
    row("BtnMoins", {465, 80, 25, 25}, "| Retire des couleurs personnalisées (Alt -)");
    row("BtnMin", {495, 80, 25, 25}, "| Réduit la fenêtre du programme (Ctrl R)");
    role = QAccessible::Graphic;
    row("ShapeRouge", {10, 120, 10, 26}, "");
    row("ShapeVert", {10, 155, 10, 26}, "");
    row("ShapeBleu", {10, 190, 10, 26}, "");
    role = QAccessible::Slider;
    row("TrackRouge", {25, 120, 425, 26}, "| Règle le rouge");
    row("TrackVert", {25, 155, 425, 26}, "| Règle le vert");
    row("TrackBleu", {25, 190, 425, 26}, "| Règle le bleu");
    role = QAccessible::SpinBox;
    row("SpinRouge", {455, 120, 64, 26}, "| Règle le rouge");
    row("SpinVert", {455, 155, 64, 26}, "| Règle le vert");
    row("SpinBleu", {455, 190, 64, 26}, "| Règle le bleu");
    role = QAccessible::Grouping;
    row("BoxCopie", {10, 240, 530, 56}, "");
    role = QAccessible::Button;
    row("BtnCopie", {10, 21, 70, 25}, "| Copie la couleur selon le format (Ctrl C)");
    role = QAccessible::CheckBox;
    row("CheckValeur", {87, 24, 130, 17}, "| Extrait la valeur seule (code) (Ctrl L)");
    role = QAccessible::Border;
    row("Bevel1", {226, 7, 2, 45}, "");
    role = QAccessible::RadioButton;
    row("RadioHexa", {348, 25, 55, 17}, "| Sélectionne le format HEXA");
    row("RadioHtml", {413, 25, 55, 17}, "| Sélectionne le format HTML");
    row("RadioRgb", {473, 25, 55, 17}, "| Sélectionne le format RGB");
    role = QAccessible::StatusBar;
    row("StatusBar", {0, 304, 550, 19}, "");
}

void TestMainForm::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, hint);
    QFETCH(int, role);
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    auto *widget = form.findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(HintOf(widget), hint);

    // Named after the hint without its bar and blank; a group box after its caption, a check
    // box or a radio button after its text, with the hint as description. The names are given
    // when an assistive technology starts listening (the first row) or at once while one
    // listens (the others).
    QAccessible::setActive(true);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QCOMPARE(int(accessible->role()), role);
    QString expectedName = LongHint(hint).trimmed();
    if (auto *box = qobject_cast<TGroupBox *>(widget))
        expectedName = box->caption().trimmed();
    if (auto *button = qobject_cast<QAbstractButton *>(widget);
        button && !button->text().isEmpty()) {
        QCOMPARE(accessible->text(QAccessible::Description), expectedName);
        expectedName = button->text();
    }
    if (name == u"PanelPipette")
        expectedName = QStringLiteral("Pipette");
    // The channels' colour keys and the separator are decoration, left out of their box.
    const bool decoration = name.startsWith(u"Shape") || name == u"Bevel1";
    QCOMPARE(accessible->parent()->indexOfChild(accessible) < 0, decoration);
    if (!decoration && name != u"StatusBar") // the status bar is named by its message
        QCOMPARE(accessible->text(QAccessible::Name), expectedName);
    // A check box or radio button reacts to a click anywhere in its rectangle, even right of
    // its text.
    if (auto *button = qobject_cast<QAbstractButton *>(widget); button && button->isCheckable()) {
        if (qobject_cast<QRadioButton *>(button) && button->isChecked())
            form.findChild<QRadioButton *>(name == u"RadioRgb" ? "RadioHexa" : "RadioRgb")
                ->setChecked(true);
        const bool before = button->isChecked();
        QTest::mouseClick(button, Qt::LeftButton, {},
                          QPoint(button->width() - 2, button->height() - 2));
        QCOMPARE(button->isChecked(), !before);
    }
    if (auto *field = qobject_cast<TNumberField *>(widget)) // its text is what takes the focus
        QCOMPARE(QAccessible::queryAccessibleInterface(field->lineEdit())->text(QAccessible::Name),
                 expectedName);
    if (role == QAccessible::Button) {
        // The click comes after the request returns, so that one opening a modal dialog does
        // not hold the assistive technology.
        QSignalSpy clicked(widget, SIGNAL(clicked()));
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicked.size(), 0);
        QTRY_COMPARE(clicked.size(), 1);
    }
}

void TestMainForm::customSlots()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    for (int n = 1; n <= 16; ++n) {
        TColorButton *slot = form.slotButtons()[size_t(n - 1)];
        QCOMPARE(slot->parentWidget(), Parts(form).PanelPerso);
        QCOMPARE(slot->geometry(), QRect(2 + 24 * (n - 1), 2, 23, 22));
        QCOMPARE(slot->property("Tag").toInt(), n);
        QCOMPARE(slot->colorRef(), clWhite);
        QCOMPARE(slot->bevelSize(), 1);
        QVERIFY(slot->font().bold());
    }
    // Positions 14 and 16 carry each other's names.
    QCOMPARE(form.slotButtons()[13]->objectName(), QStringLiteral("BtnCol16"));
    QCOMPARE(form.slotButtons()[14]->objectName(), QStringLiteral("BtnCol15"));
    QCOMPARE(form.slotButtons()[15]->objectName(), QStringLiteral("BtnCol14"));
}

void TestMainForm::fixedClientArea()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    QCOMPARE(form.size(), QSize(550, 323));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
}

void TestMainForm::startState()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    QCOMPARE(form.windowTitle(), QStringLiteral("JOV - SansNom"));
    QCOMPARE(Parts(form).SpinRouge->value(), 0);
    QCOMPARE(Parts(form).SpinVert->value(), 0);
    QCOMPARE(Parts(form).SpinBleu->value(), 0);
    QVERIFY(Parts(form).RadioHtml->isChecked());
    QVERIFY(!Parts(form).RadioHexa->isChecked());
    QVERIFY(!Parts(form).RadioRgb->isChecked());
    QVERIFY(!Parts(form).CheckValeur->isChecked());
    QCOMPARE(form.statusBar()->panelCount(), 4);
    QCOMPARE(form.statusBar()->panelWidth(0), 235);
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(form.statusBar()->panelWidth(i), 100);
    for (TTrackBar95 *track :
         {Parts(form).TrackRouge, Parts(form).TrackVert, Parts(form).TrackBleu}) {
        QCOMPARE(track->maximum(), 255);
        QCOMPARE(track->pageStep(), 51);
        QCOMPARE(track->tickInterval(), 51);
        QCOMPARE(track->thumbSize(), 20);
    }
}

void TestMainForm::tabOrderStopsOnlyAtFieldsAndCheckedRadio()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(Parts(form).RadioHtml));
    // Its focus mark shows before any key: the style draws it only with this state.
    QStyleOptionButton radio;
    radio.initFrom(Parts(form).RadioHtml);
    QVERIFY(radio.state.testFlags(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange));
    // Starting at the checked radio button, Tab visits the sliders, the fields and comes back.
    QList<QWidget *> visited;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        while (focus && focus->parentWidget() && !focus->parentWidget()->isWindow() &&
               qobject_cast<TNumberField *>(focus->parentWidget()))
            focus = focus->parentWidget(); // the field's inner editor counts as the field
        visited.append(focus);
    }
    const QList<QWidget *> expected = {
        Parts(form).TrackRouge, Parts(form).TrackVert, Parts(form).TrackBleu, Parts(form).SpinRouge,
        Parts(form).SpinVert,   Parts(form).SpinBleu,  Parts(form).RadioHtml};
    QCOMPARE(visited, expected);
    // Checking another radio button moves the stop to it.
    Parts(form).RadioRgb->setChecked(true);
    QVERIFY(Parts(form).RadioRgb->focusPolicy() & Qt::TabFocus);
    QVERIFY(!(Parts(form).RadioHtml->focusPolicy() & Qt::TabFocus));
    QCOMPARE(Parts(form).CheckValeur->focusPolicy() & Qt::TabFocus, 0);
    QCOMPARE(Parts(form).BtnCopie->focusPolicy(), Qt::NoFocus);
}

void TestMainForm::hintLineFollowsMouse()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    THintMonitor *monitor = THintMonitor::instance();
    monitor->setWidgetUnderMouse(Parts(form).TrackRouge);
    QTRY_COMPARE(form.statusBar()->panelText(0), QStringLiteral(" Règle le rouge"));
    // A control without a hint inside one with a hint shows its parent's hint.
    monitor->setWidgetUnderMouse(form.slotButtons()[3]);
    QTRY_COMPARE(form.statusBar()->panelText(0),
                 QStringLiteral(" Couleurs personnalisées (Alt ← →, Alt Entrée)"));
    // The window background has no hint: the line empties.
    monitor->setWidgetUnderMouse(&form);
    QTRY_COMPARE(form.statusBar()->panelText(0), QString());
    // A status message stays until the hint changes again.
    form.statusBar()->setPanelText(0, QStringLiteral(" Copie effectuée"));
    monitor->setWidgetUnderMouse(Parts(form).BoxCopie); // no hint either: no change, message stays
    QVERIFY(test::RunZeroTimers());
    QCOMPARE(form.statusBar()->panelText(0), QStringLiteral(" Copie effectuée"));
    monitor->setWidgetUnderMouse(Parts(form).BtnCopie);
    QTRY_COMPARE(form.statusBar()->panelText(0),
                 QStringLiteral(" Copie la couleur selon le format (Ctrl C)"));
    // Real enter and leave events drive it too.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Parts(form).BtnCopie, &leave);
    QTRY_COMPARE(form.statusBar()->panelText(0), QString());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(Parts(form).TrackBleu, &enter);
    QTRY_COMPARE(form.statusBar()->panelText(0), QStringLiteral(" Règle le bleu"));
}

// The mouse moved by the window system over each control: the moves that a check box or a
// radio button ignores travel on to their group box, which has no hint of its own.
void TestMainForm::hintLineByRealMouseMoves()
{
    QFETCH(QString, name);
    QFETCH(QString, hint);
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *widget = form.findChild<QWidget *>(name);
    QWindow *window = form.windowHandle();
    QTest::mouseMove(window, QPoint(3, 3)); // the window background
    QTRY_COMPARE(form.statusBar()->panelText(0), QString());
    const QPoint centre = widget->mapTo(&form, widget->rect().center());
    QTest::mouseMove(window, centre - QPoint(2, 0));
    QTest::mouseMove(window, centre);
    QTRY_COMPARE(form.statusBar()->panelText(0), LongHint(hint));
    QVERIFY(test::RunZeroTimers()); // later idle moments keep it
    QCOMPARE(form.statusBar()->panelText(0), LongHint(hint));
}

// The sample and the slots read as their colour's HTML text and follow every change; a slot is
// named by its number and the marked one is selected.
void TestMainForm::accessibleColorDescriptions()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    QAccessible::setActive(true);
    auto accessible = [](QWidget *widget) { return QAccessible::queryAccessibleInterface(widget); };
    auto description = [&](QWidget *widget) {
        return accessible(widget)->text(QAccessible::Description);
    };
    QCOMPARE(description(Parts(form).PanelColor), QStringLiteral("#000000"));
    QCOMPARE(description(form.slotButtons()[0]), QStringLiteral("#FFFFFF"));
    QCOMPARE(accessible(form.slotButtons()[2])->text(QAccessible::Name),
             QStringLiteral("Couleur personnalisée 3"));
    Parts(form).TrackRouge->setValue(200);
    Parts(form).SpinBleu->setValue(15);
    QCOMPARE(description(Parts(form).PanelColor), QStringLiteral("#C8000F"));
    QVERIFY(!accessible(form.slotButtons()[1])->state().selected);
    form.BtnCol1Click(1);
    QVERIFY(accessible(form.slotButtons()[1])->state().selected);
    form.BtnPlusClick(); // into the marked slot
    QCOMPARE(description(form.slotButtons()[1]), QStringLiteral("#C8000F"));
    QCOMPARE(description(form.slotButtons()[0]), QStringLiteral("#FFFFFF"));
    form.BtnCol1Click(0);
    QVERIFY(accessible(form.slotButtons()[0])->state().selected);
    QVERIFY(!accessible(form.slotButtons()[1])->state().selected);
    form.BtnMoinsClick(); // clears it
    QCOMPARE(description(form.slotButtons()[0]), QStringLiteral("#FFFFFF"));
}

// The status bar lists its four panels by their texts and is named by its message.
void TestMainForm::accessibleStatusBar()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    QAccessible::setActive(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(form.statusBar());
    form.SpeedCopieClick();
    QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Copie effectuée"));
    QCOMPARE(bar->childCount(), 4);
    QStringList panels;
    for (int i = 0; i < bar->childCount(); ++i) {
        QCOMPARE(bar->child(i)->role(), QAccessible::StaticText);
        QCOMPARE(bar->indexOfChild(bar->child(i)), i);
        panels << bar->child(i)->text(QAccessible::Name);
    }
    QCOMPARE(panels, QStringList({QStringLiteral("Copie effectuée"), QStringLiteral("0x00000000"),
                                  QStringLiteral("#000000"), QStringLiteral("RGB(0,0,0)")}));
    // Alone on the bar, the single text is its first panel and the others are not shown.
    QVERIFY(!bar->child(1)->state().invisible);
    form.statusBar()->setSimplePanel(true);
    form.statusBar()->setSimpleText(QStringLiteral(" Options"));
    QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Options"));
    QCOMPARE(bar->child(0)->text(QAccessible::Name), QStringLiteral("Options"));
    QVERIFY(bar->child(1)->state().invisible);
}

void TestMainForm::hintLineSingleTextMode()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.statusBar()->setSimplePanel(true);
    THintMonitor::instance()->setWidgetUnderMouse(Parts(form).SpinVert);
    QTRY_COMPARE(form.statusBar()->simpleText(), QStringLiteral(" Règle le vert"));
    QCOMPARE(form.statusBar()->panelText(0), QString());
    form.statusBar()->setSimplePanel(false);
    THintMonitor::instance()->setWidgetUnderMouse(Parts(form).SpinBleu);
    QTRY_COMPARE(form.statusBar()->panelText(0), QStringLiteral(" Règle le bleu"));
}

void TestMainForm::pipetteCursorRegistered()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    QVERIFY(HasScreenCursor(1));
    const QCursor cursor = ScreenCursor(1);
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    QCOMPARE(cursor.hotSpot(), QPoint(0, 13));
    // The tip of the drawing is at the hot spot.
    QVERIFY(cursor.pixmap().toImage().pixelColor(0, 13).alpha() > 0);
}

void TestMainForm::glyphsLoaded()
{
    test::QuietServices quiet;
    TMainForm form(nullptr, quiet.services());
    for (TColorButton *button :
         {Parts(form).BtnOptions, Parts(form).BtnOpenPal, Parts(form).BtnSavePal,
          Parts(form).BtnColors, Parts(form).BtnAide, Parts(form).BtnColler,
          Parts(form).BtnNetscape, Parts(form).BtnTop, Parts(form).BtnPlus, Parts(form).BtnMoins,
          Parts(form).BtnMin, Parts(form).BtnCopie}) {
        QCOMPARE(button->picture().size(), QSize(16, 16));
        QVERIFY(button->caption().isEmpty());
        QCOMPARE(button->bevelStyle(), TButtonBevel::bbRaised);
    }
    QCOMPARE(form.glyphs().size(), 4);
    for (const QImage &image : form.glyphs())
        QCOMPARE(image.size(), QSize(16, 16));
    QCOMPARE(Parts(form).ImgPipette->size(), QSize(14, 14));
}

// The About box's links reach the desktop only through the window's services.
void TestMainForm::aboutLinksOpenThroughServices()
{
    test::QuietServices quiet;
    quiet.onDialog = [](QDialog &dialog) {
        if (auto *link = dialog.findChild<TASLink *>(QStringLiteral("ASLink2")))
            QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
        return int(QDialog::Rejected);
    };
    TMainForm form(nullptr, quiet.services());
    form.ShowAbout();
    QCOMPARE(quiet.urls, QList<QUrl>({QUrl(QStringLiteral("http://www.jov-couleurs.fr"))}));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
