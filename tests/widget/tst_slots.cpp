// The custom slots and palette files through the real main window: select, store, clear,
// clear all, gradient, drag and drop, the palette title and star, the save prompt, and palette
// files written and read through the window's commands.
#include "QuietServices.h"
#include "TestSupport.h"

#include "FormParts.h"
#include "controls/ColorButton.h"
#include "controls/NumberField.h"
#include "controls/Panel.h"
#include "controls/StatusBar.h"
#include "controls/TrackBar95.h"
#include "mainwindow/CustomSlots.h"
#include "mainwindow/MainForm.h"
#include "persistence/PaletteFile.h"

#include <QCloseEvent>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWindow>

#include <memory>

using namespace jov;
using jov::test::Parts;

namespace {

const QString kSelectFirst =
    QStringLiteral("\r\nSélectionnez auparavant un des boutons personnalisés.");

struct Fixture : test::QuietServices
{
    std::unique_ptr<TMainForm> form;

    Fixture()
    {
        answer = true;
        form = std::make_unique<TMainForm>(nullptr, services());
    }

    template <typename T> void setOption(T TOptionsRecord::*field, T value)
    {
        TOptionsRecord options = form->options();
        options.*field = value;
        form->setOptions(options);
    }
    TColorButton *slot(int n) const { return form->slotButtons()[size_t(n - 1)]; }
    void setColor(int r, int g, int b)
    {
        Parts(*form).SpinRouge->setValue(r);
        Parts(*form).SpinVert->setValue(g);
        Parts(*form).SpinBleu->setValue(b);
    }
    void fillNumbered()
    {
        SlotColors colors{};
        for (int i = 0; i < 16; ++i)
            colors[size_t(i)] = MakeColor(i * 10, i, 255 - i);
        form->SetSlotColors(colors);
    }
    void ctrlClick(TColorButton *button)
    {
        form->FormKeyDown(Qt::Key_Control, Qt::ControlModifier);
        button->click();
    }
    QPoint slotCentre(int n) const { return slot(n)->mapToGlobal(slot(n)->rect().center()); }
};

QByteArray Palette(const QList<QByteArray> &colourLines,
                   const QByteArray &head = "JASC-PAL\r\n0100\r\n16\r\n")
{
    QByteArray text = head;
    for (const QByteArray &line : colourLines)
        text += line + "\r\n";
    return text;
}

QList<QByteArray> GreyLines()
{
    QList<QByteArray> lines;
    for (int i = 0; i < 16; ++i)
        lines << QByteArray::number(i) + ' ' + QByteArray::number(i) + ' ' + QByteArray::number(i);
    return lines;
}

bool WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestSlots : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void addOrRemoveWithoutSelectionShowsMessage();
    void selectMovesMarkAndStoreMarksModifiedOnce();
    void removeClearsMarkedSlot();
    void clearAll_data();
    void clearAll();
    void clearAllAnsweredNo();
    void gradient_data();
    void gradient();
    void renameOnCtrlAddAndRemove();
    void singleClickAppliesWithOp16();
    void doubleClickSelectsThenApplies();
    void dragSwapsColours();
    void dragReleasedElsewhereDoesNothing();
    void dragDroppedOnItselfMarksModified();
    void saveThenLoadRoundTrip();
    void saveFailureKeepsEverything();
    void gimpPalettes_data();
    void gimpPalettes();
    void loadHeaderFaultsShowMessages_data();
    void loadHeaderFaultsShowMessages();
    void loadFaultyColourLineChangesNothing_data();
    void loadFaultyColourLineChangesNothing();
    void loadCutsChannelsToEightBits();
    void titleCutsAtFirstDot();
    void savePromptOnClose();
    void noPromptWithoutOp14();
    void openAsksFirstAndRemembersFolder();
    void ctrlOAndCtrlS();
    void altKeysMoveMark_data();
    void altKeysMoveMark();
    void altKeysApplyAddRemove();

private:
    QTemporaryDir m_dir;
};

void TestSlots::addOrRemoveWithoutSelectionShowsMessage()
{
    Fixture f;
    Parts(*f.form).BtnPlus->click();
    Parts(*f.form).BtnMoins->click();
    QCOMPARE(f.messages, QStringList({kSelectFirst, kSelectFirst}));
    for (int n = 1; n <= 16; ++n)
        QCOMPARE(f.slot(n)->colorRef(), clWhite);
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - SansNom"));
}

void TestSlots::selectMovesMarkAndStoreMarksModifiedOnce()
{
    Fixture f;
    f.slot(2)->click();
    f.slot(5)->click();
    QCOMPARE(f.form->MarkedSlot(), 4);
    QCOMPARE(f.slot(2)->caption(), QString());
    QCOMPARE(f.slot(5)->caption(), QStringLiteral("*"));
    f.setColor(18, 52, 86);
    Parts(*f.form).BtnPlus->click();
    QCOMPARE(f.slot(5)->colorRef(), MakeColor(18, 52, 86));
    QCOMPARE(f.slot(2)->colorRef(), clWhite);
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - SansNom *"));
    Parts(*f.form).BtnPlus->click();
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - SansNom *"));
    QVERIFY(f.messages.isEmpty());
}

void TestSlots::removeClearsMarkedSlot()
{
    Fixture f;
    f.fillNumbered();
    f.slot(7)->click();
    Parts(*f.form).BtnMoins->click();
    QCOMPARE(f.slot(7)->colorRef(), clWhite);
    QCOMPARE(f.slot(6)->colorRef(), MakeColor(50, 5, 250));
    QVERIFY(f.form->PaletteModified());
}

void TestSlots::clearAll_data()
{
    QTest::addColumn<bool>("op17");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("firstCleared");
    QTest::newRow("all-slots") << false << 10 << 1;
    QTest::newRow("op17-from-slot-10") << true << 10 << 10;
    QTest::newRow("op17-without-selection") << true << 0 << 1;
}

void TestSlots::clearAll()
{
    QFETCH(bool, op17);
    QFETCH(int, selected);
    QFETCH(int, firstCleared);
    Fixture f;
    f.fillNumbered();
    f.setOption(&TOptionsRecord::clearFromSelected, op17);
    if (selected)
        f.slot(selected)->click();
    f.ctrlClick(Parts(*f.form).BtnMoins);
    QCOMPARE(f.questions, QStringList({"\r\nVoulez-vous supprimer les couleurs mémorisées ?"}));
    for (int n = 1; n <= 16; ++n)
        QCOMPARE(f.slot(n)->colorRef() == clWhite, n >= firstCleared);
    QVERIFY(!f.form->ctrlHeld());
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - SansNom *"));
}

void TestSlots::clearAllAnsweredNo()
{
    Fixture f;
    f.fillNumbered();
    f.answer = false;
    f.ctrlClick(Parts(*f.form).BtnMoins);
    QCOMPARE(f.slot(3)->colorRef(), MakeColor(20, 2, 253));
    QVERIFY(!f.form->ctrlHeld());
    QVERIFY(!f.form->PaletteModified());
}

void TestSlots::gradient_data()
{
    QTest::addColumn<bool>("op18");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("firstChanged");
    QTest::newRow("all-slots") << false << 0 << 1;
    QTest::newRow("op18-slot-16") << true << 16 << 16;
    QTest::newRow("op18-slot-9") << true << 9 << 9;
}

void TestSlots::gradient()
{
    QFETCH(bool, op18);
    QFETCH(int, selected);
    QFETCH(int, firstChanged);
    Fixture f;
    f.fillNumbered();
    const SlotColors before = f.form->SlotColorValues();
    f.setOption(&TOptionsRecord::gradientFromSelected, op18);
    if (selected)
        f.slot(selected)->click();
    f.setColor(0, 0, 128);
    f.ctrlClick(Parts(*f.form).BtnPlus);
    QCOMPARE(f.questions, QStringList({"\r\nVoulez-vous créer un dégradé automatique ?"}));
    QCOMPARE(f.slot(firstChanged)->colorRef(), MakeColor(0, 1, 128));
    if (firstChanged == 1)
        QCOMPARE(f.slot(16)->colorRef(), MakeColor(0, 2, 223));
    for (int n = 1; n < firstChanged; ++n)
        QCOMPARE(f.slot(n)->colorRef(), before[size_t(n - 1)]);
    QVERIFY(!f.form->ctrlHeld());
    QVERIFY(f.form->PaletteModified());
}

void TestSlots::renameOnCtrlAddAndRemove()
{
    Fixture f;
    f.setOption(&TOptionsRecord::untitledOnCtrl, true);
    f.form->SetPaletteName(QStringLiteral("mine.pal"));
    f.ctrlClick(Parts(*f.form).BtnPlus); // gradient: untitled and modified
    QCOMPARE(f.form->customSlots().paletteName(), QStringLiteral("SansNom.pal"));
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - SansNom *"));
    QVERIFY(f.form->isWindowModified());
    f.ctrlClick(Parts(*f.form).BtnMoins); // clear all: untitled, not modified
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - SansNom"));
    QVERIFY(!f.form->PaletteModified());
    QVERIFY(!f.form->isWindowModified());
}

void TestSlots::singleClickAppliesWithOp16()
{
    Fixture f;
    f.fillNumbered();
    f.slot(4)->click();
    QCOMPARE(Parts(*f.form).SpinRouge->value(), 0); // Op16 off: selecting does not apply
    f.setOption(&TOptionsRecord::clickApplies, true);
    f.slot(4)->click();
    QCOMPARE(f.form->CurrentColor(), MakeColor(30, 3, 252));
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(30, 3, 252));
}

void TestSlots::doubleClickSelectsThenApplies()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    f.fillNumbered();
    f.slot(1)->click();
    // What a double click delivers: press, release, the second press as a double click, release.
    TColorButton *target = f.slot(12);
    const QPoint centre = target->rect().center();
    QTest::mouseClick(target, Qt::LeftButton, {}, centre);
    QMouseEvent second(QEvent::MouseButtonDblClick, centre, target->mapToGlobal(centre),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &second);
    QTest::mouseRelease(target, Qt::LeftButton, {}, centre);
    QCOMPARE(f.form->MarkedSlot(), 11);
    QCOMPARE(f.form->CurrentColor(), MakeColor(110, 11, 244));
    QCOMPARE(Parts(*f.form).SpinVert->value(), 11);
    QCOMPARE(Parts(*f.form).PanelColor->color(), QColor(110, 11, 244));
}

void TestSlots::dragSwapsColours()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    f.fillNumbered();
    f.slot(5)->click(); // the mark stays where it is through the drag
    f.ctrlClick(f.slot(3));
    QCOMPARE(f.form->DraggedSlot(), 2);
    QVERIFY(!f.form->ctrlHeld());
    QCOMPARE(f.form->MarkedSlot(), 4);
    // The next click lands on slot 7: its press and release belong to the drag.
    const QPoint target = f.form->mapFromGlobal(f.slotCentre(7));
    QTest::mousePress(f.form.get(), Qt::LeftButton, {}, target);
    QTest::mouseRelease(f.form.get(), Qt::LeftButton, {}, target);
    QCOMPARE(f.form->DraggedSlot(), -1);
    QCOMPARE(f.slot(3)->colorRef(), MakeColor(60, 6, 249));
    QCOMPARE(f.slot(7)->colorRef(), MakeColor(20, 2, 253));
    QCOMPARE(f.form->MarkedSlot(), 4);
    QCOMPARE(f.slot(7)->caption(), QString());
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - SansNom *"));
}

void TestSlots::dragReleasedElsewhereDoesNothing()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    f.fillNumbered();
    const SlotColors before = f.form->SlotColorValues();
    f.ctrlClick(f.slot(3));
    QTest::mouseRelease(f.form.get(), Qt::LeftButton, {}, QPoint(300, 250));
    QCOMPARE(f.form->DraggedSlot(), -1);
    QCOMPARE(f.form->SlotColorValues(), before);
    QVERIFY(!f.form->PaletteModified());
}

void TestSlots::dragDroppedOnItselfMarksModified()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    f.fillNumbered();
    const SlotColors before = f.form->SlotColorValues();
    f.ctrlClick(f.slot(9));
    QTest::mouseRelease(f.form.get(), Qt::LeftButton, {}, f.form->mapFromGlobal(f.slotCentre(9)));
    QCOMPARE(f.form->SlotColorValues(), before);
    QVERIFY(f.form->PaletteModified());
}

void TestSlots::saveThenLoadRoundTrip()
{
    Fixture f;
    f.fillNumbered();
    const SlotColors saved = f.form->SlotColorValues();
    f.form->MarkPaletteModified();
    f.savePath = m_dir.filePath(QStringLiteral("round.pal"));
    f.form->BtnSavePalClick();
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - round"));
    QVERIFY(!f.form->PaletteModified());
    QCOMPARE(f.form->customSlots().paletteName(), QStringLiteral("round.pal"));
    QCOMPARE(f.form->options().saveFolder, m_dir.path() + QLatin1Char('/'));
    QFile file(f.savePath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY(content.startsWith("JASC-PAL\r\n0100\r\n16\r\n0 0 255\r\n10 1 254\r\n"));
    QCOMPARE(content.count("\r\n"), 19);

    f.form->SetSlotColors(SlotColors{});
    f.form->LoadPaletteFile(f.savePath);
    QCOMPARE(f.form->SlotColorValues(), saved);
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - round"));
    QCOMPARE(f.beeps, 0);
}

void TestSlots::gimpPalettes_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QString>("status");
    QByteArray twenty = "GIMP Palette\nName: big\n#\n";
    for (int i = 0; i < 20; ++i)
        twenty += QByteArray::number(i) + " 2 3\tc\n";
    QTest::newRow("twenty-colours")
        << twenty << true
        << QString::fromUtf8(" 4 couleurs ignorées (seules les 16 premières sont "
                             "chargées)");
    QTest::newRow("two-colours") << QByteArray("GIMP Palette\n1 2 3\n4 5 6 x\n") << true
                                 << QString();
    QTest::newRow("out-of-range") << QByteArray("GIMP Palette\n1 2 300\n") << false << QString();
    QTest::newRow("wrong-header") << QByteArray("JASC-PAL\n1 2 3\n") << false << QString();
}

// A GIMP palette goes through the same commands as a JASC-PAL one: saved in the format of its
// extension, opened whole or not at all, with a status message for colours left out.
void TestSlots::gimpPalettes()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, loads);
    QFETCH(QString, status);
    Fixture f;
    f.fillNumbered();
    const SlotColors before = f.form->SlotColorValues();
    f.savePath = m_dir.filePath(QStringLiteral("saved.gpl"));
    f.form->BtnSavePalClick();
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - saved"));
    QFile saved(f.savePath);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().startsWith(
        "GIMP Palette\nName: saved\nColumns: 16\n#\n  0   0 255\t#0000FF\n"));

    const QString path = m_dir.filePath(QStringLiteral("%1.gpl").arg(QTest::currentDataTag()));
    QVERIFY(WriteFile(path, content));
    f.form->LoadPaletteFile(path);
    QCOMPARE(f.beeps, loads ? 0 : 1);
    QCOMPARE(f.form->SlotColorValues() == before, !loads);
    QCOMPARE(f.form->windowTitle(), loads ? QStringLiteral("JOV - %1").arg(QTest::currentDataTag())
                                          : QStringLiteral("JOV - saved"));
    if (loads) {
        QCOMPARE(f.slot(1)->colorRef(), MakeColor(content.contains("big") ? 0 : 1, 2, 3));
        QCOMPARE(f.slot(16)->colorRef(), content.contains("big") ? MakeColor(15, 2, 3) : clWhite);
    }
    QCOMPARE(f.form->statusBar()->panelText(0), status);
    QVERIFY(f.messages.isEmpty());
}

void TestSlots::saveFailureKeepsEverything()
{
    Fixture f;
    f.form->SetPaletteName(QStringLiteral("kept.pal"));
    f.form->MarkPaletteModified();
    // The folder does not exist: opening the file fails.
    f.savePath = m_dir.filePath(QStringLiteral("missing/new.pal"));
    f.form->BtnSavePalClick();
    QCOMPARE(f.beeps, 1);
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - kept *"));
    QVERIFY(f.form->PaletteModified());
    QCOMPARE(f.form->customSlots().paletteName(), QStringLiteral("kept.pal"));
    QVERIFY(!QFile::exists(f.savePath));
}

void TestSlots::loadHeaderFaultsShowMessages_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("lower-case-signature") << Palette(GreyLines(), "jasc-pal\r\n0100\r\n16\r\n")
                                          << "\r\nLe fichier PAL n'est pas un fichier valide";
    QTest::newRow("version") << Palette(GreyLines(), "JASC-PAL\r\n0200\r\n16\r\n")
                             << "\r\nCette version de fichier PAL n'est pas supportée";
    QTest::newRow("256-colours")
        << Palette(GreyLines(), "JASC-PAL\r\n0100\r\n256\r\n")
        << "\r\nLe nombre de couleurs de ce fichier PAL n'est pas supporté";
}

void TestSlots::loadHeaderFaultsShowMessages()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    Fixture f;
    f.fillNumbered();
    const SlotColors before = f.form->SlotColorValues();
    const QString path = m_dir.filePath(QStringLiteral("header.pal"));
    QVERIFY(WriteFile(path, content));
    f.form->LoadPaletteFile(path);
    QCOMPARE(f.messages, QStringList({message}));
    QCOMPARE(f.form->SlotColorValues(), before);
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - SansNom"));
    QCOMPARE(f.beeps, 0);
}

void TestSlots::loadFaultyColourLineChangesNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QList<QByteArray> twoNumbers = GreyLines();
    twoNumbers[4] = "4 4";
    QTest::newRow("fifth-line-two-numbers") << Palette(twoNumbers);
    QTest::newRow("short-file") << Palette(GreyLines().mid(0, 10));
    QList<QByteArray> trailing = GreyLines();
    trailing[15] = "15 15 15 ";
    QTest::newRow("trailing-blank-last-line") << Palette(trailing);
    QList<QByteArray> letters = GreyLines();
    letters[0] = "a b c";
    QTest::newRow("letters") << Palette(letters);
}

void TestSlots::loadFaultyColourLineChangesNothing()
{
    QFETCH(QByteArray, content);
    Fixture f;
    f.fillNumbered();
    f.form->SetPaletteName(QStringLiteral("before.pal"));
    f.form->MarkPaletteModified();
    const SlotColors before = f.form->SlotColorValues();
    const QString path = m_dir.filePath(QStringLiteral("faulty.pal"));
    QVERIFY(WriteFile(path, content));
    f.form->LoadPaletteFile(path);
    QCOMPARE(f.beeps, 1);
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(f.form->SlotColorValues(), before); // no half-loaded palette
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - before *"));
}

void TestSlots::loadCutsChannelsToEightBits()
{
    Fixture f;
    QList<QByteArray> lines = GreyLines();
    lines[0] = "300 -1 12";
    const QString path = m_dir.filePath(QStringLiteral("wide.pal"));
    QVERIFY(WriteFile(path, Palette(lines) + "anything after is ignored\r\n"));
    f.form->LoadPaletteFile(path);
    QCOMPARE(f.slot(1)->colorRef(), MakeColor(44, 255, 12));
    QCOMPARE(f.slot(16)->colorRef(), MakeColor(15, 15, 15));
}

void TestSlots::titleCutsAtFirstDot()
{
    Fixture f;
    const QString path = m_dir.filePath(QStringLiteral("my.old.pal"));
    QVERIFY(WriteFile(path, Palette(GreyLines())));
    f.form->LoadPaletteFile(path);
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - my"));
    QCOMPARE(f.form->customSlots().paletteName(), QStringLiteral("my.old.pal"));
}

void TestSlots::savePromptOnClose()
{
    Fixture f;
    f.slot(1)->click();
    Parts(*f.form).BtnPlus->click();
    f.savePath = m_dir.filePath(QStringLiteral("closing.pal"));
    QCloseEvent first;
    QApplication::sendEvent(f.form.get(), &first);
    QVERIFY(!first.isAccepted()); // Yes saves and keeps the window open
    QCOMPARE(f.questions, QStringList({"\r\nLa palette SansNom.pal a été modifiée.\r\n"
                                       "Voulez-vous la sauvegarder ?"}));
    QVERIFY(QFile::exists(f.savePath));
    QCloseEvent second;
    QApplication::sendEvent(f.form.get(), &second);
    QVERIFY(second.isAccepted());
    QCOMPARE(f.questions.size(), 1);

    Fixture g; // No lets the close go on without saving
    g.answer = false;
    g.slot(1)->click();
    Parts(*g.form).BtnMoins->click();
    QCloseEvent third;
    QApplication::sendEvent(g.form.get(), &third);
    QVERIFY(third.isAccepted());
    QCOMPARE(g.questions.size(), 1);
}

void TestSlots::noPromptWithoutOp14()
{
    Fixture f;
    f.setOption(&TOptionsRecord::askToSavePalette, false);
    f.form->MarkPaletteModified();
    QVERIFY(f.form->QuerySavePalette());
    QVERIFY(f.questions.isEmpty());
}

void TestSlots::openAsksFirstAndRemembersFolder()
{
    Fixture f;
    const QString path = m_dir.filePath(QStringLiteral("opened.pal"));
    QVERIFY(WriteFile(path, Palette(GreyLines())));
    f.form->MarkPaletteModified();
    f.answer = false;
    f.openPath = path;
    const QString openFolder = f.form->options().openFolder;
    f.form->BtnOpenPalClick();
    QCOMPARE(f.questions.size(), 1);
    QCOMPARE(f.dialogFolders, QStringList({openFolder}));
    QCOMPARE(f.form->windowTitle(), QStringLiteral("JOV - opened"));
    QCOMPARE(f.form->options().openFolder, m_dir.path() + QLatin1Char('/'));
    // Without Op12 the folder is not remembered.
    f.setOption(&TOptionsRecord::rememberFolders, false);
    f.setOption(&TOptionsRecord::openFolder, QStringLiteral("/elsewhere"));
    f.form->BtnOpenPalClick();
    QCOMPARE(f.form->options().openFolder, QStringLiteral("/elsewhere"));
}

void TestSlots::ctrlOAndCtrlS()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    QTest::keyClick(f.form->windowHandle(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(f.form->windowHandle(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(f.dialogFolders.size(), 2);
    QVERIFY(f.dialogFolders[0].endsWith(QLatin1String("|SansNom.pal")));
}

// The keys reach the window's native window first, as a user's keys do.
void TestSlots::altKeysMoveMark_data()
{
    QTest::addColumn<int>("start");     // the slot clicked first, 0 for none
    QTest::addColumn<QString>("moves"); // "<" Alt+Left, ">" Alt+Right
    QTest::addColumn<int>("marked");
    QTest::newRow("right-from-none") << 0 << ">" << 1;
    QTest::newRow("left-from-none") << 0 << "<" << 16;
    QTest::newRow("right-left-right") << 5 << "><>" << 6;
    QTest::newRow("stops-at-last") << 15 << ">>>" << 16;
    QTest::newRow("stops-at-first") << 2 << "<<<" << 1;
}

void TestSlots::altKeysMoveMark()
{
    QFETCH(int, start);
    QFETCH(QString, moves);
    QFETCH(int, marked);
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    if (start)
        f.slot(start)->click();
    TTrackBar95 *red = Parts(*f.form).TrackRouge;
    red->setFocus(); // the arrows with Alt leave the focused slider alone
    for (const QChar move : moves)
        QTest::keyClick(f.form->windowHandle(), move == u'<' ? Qt::Key_Left : Qt::Key_Right,
                        Qt::AltModifier);
    QCOMPARE(f.form->MarkedSlot(), marked - 1);
    for (int n = 1; n <= 16; ++n)
        QCOMPARE(f.slot(n)->caption(), n == marked ? QStringLiteral("*") : QString());
    QCOMPARE(red->value(), 0);
    QVERIFY(f.messages.isEmpty());
}

void TestSlots::altKeysApplyAddRemove()
{
    Fixture f;
    QVERIFY(test::ShowActive(*f.form));
    QWindow *window = f.form->windowHandle();
    f.fillNumbered();
    QTest::keyClick(window, Qt::Key_Return, Qt::AltModifier);
    QCOMPARE(f.messages, QStringList({kSelectFirst}));
    QTest::keyClick(window, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
    QCOMPARE(f.form->CurrentColor(), MakeColor(10, 1, 254));
    f.setColor(18, 52, 86);
    QTest::keyClick(window, Qt::Key_Plus, Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(f.slot(2)->colorRef(), MakeColor(18, 52, 86));
    QTest::keyClick(window, Qt::Key_Left, Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_Minus, Qt::AltModifier);
    QCOMPARE(f.slot(1)->colorRef(), clWhite);
    QCOMPARE(f.slot(2)->colorRef(), MakeColor(18, 52, 86));
    QVERIFY(f.form->PaletteModified());
    QVERIFY(f.questions.isEmpty());
    // With Ctrl as well, the buttons' Ctrl+click: clear all.
    QTest::keyClick(window, Qt::Key_Minus, Qt::AltModifier | Qt::ControlModifier);
    QCOMPARE(f.questions, QStringList({"\r\nVoulez-vous supprimer les couleurs mémorisées ?"}));
    QCOMPARE(f.slot(2)->colorRef(), clWhite);
    QCOMPARE(f.messages.size(), 1);
}

QTEST_MAIN(TestSlots)
#include "tst_slots.moc"
