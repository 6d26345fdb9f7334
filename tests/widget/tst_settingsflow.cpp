// Settings across runs of the real main window: first-run defaults, everything saved at close
// and back at the next start, the palette reloaded with Op13, the legacy settings import and
// the window placement record.
#include "QuietServices.h"
#include "TestSupport.h"

#include "FormParts.h"
#include "controls/ColorButton.h"
#include "controls/NumberField.h"
#include "mainwindow/MainForm.h"
#include "persistence/LegacyIni.h"
#include "persistence/Options.h"
#include "persistence/PaletteFile.h"
#include "persistence/RegistryStore.h"
#include "persistence/Systeme.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QScreen>
#include <QSessionManager>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using namespace jov;
using jov::test::Parts;

namespace {

// The settings folder of the running test: the store and the legacy file live there.
QString g_config;

QString StorePath()
{
    return g_config + QStringLiteral("/Corvel Astine/JOV.reg");
}

struct Run : test::QuietServices
{
    std::unique_ptr<TMainForm> form;

    Run()
    {
        store = std::make_shared<RegistryStore>(StorePath());
        legacyIniPath = g_config + QStringLiteral("/JOV.ini");
        form = std::make_unique<TMainForm>(nullptr, services());
    }

    void close()
    {
        QCloseEvent event;
        QApplication::sendEvent(form.get(), &event);
        QVERIFY(event.isAccepted());
    }
};

bool WriteFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestSettingsFlow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void firstRunDefaults();
    void everythingComesBack();
    void storeHoldsEveryOptionWithItsType();
    void wrongTypeReadsDefault();
    void lastPaletteReloadedFromOpenFolder();
    void lastPaletteMissingBeepsAndKeepsName();
    void legacyIniImportedOnce();
    void legacyIniKeptWhenSavingFails();
    void legacyIniLeftBehindNotImportedAgain();
    void placementWrittenAndRestored();
    void placementOffEveryScreenBroughtOnScreen();
    void sessionEndSavesWithoutQuestions();
    void failedSaveIsReported_data();
    void failedSaveIsReported();

private:
    QString config() const { return m_dir.path() + "/config-" + QTest::currentTestFunction(); }
    QTemporaryDir m_dir;
};

void TestSettingsFlow::init()
{
    g_config = config();
}

void TestSettingsFlow::firstRunDefaults()
{
    Run run;
    TMainForm &f = *run.form;
    QCOMPARE(f.CurrentColor(), clBlack);
    QVERIFY(Parts(f).RadioHtml->isChecked());
    QVERIFY(!Parts(f).CheckValeur->isChecked());
    QCOMPARE(f.windowTitle(), QStringLiteral("JOV - SansNom"));
    for (TColorButton *slot : f.slotButtons())
        QCOMPARE(slot->colorRef(), clWhite);
    // Folders that exist or that the palette dialogs make: no "Palettes" beside the test.
    QCOMPARE(f.options().openFolder, UserPaletteFolder());
    const QString documents = StripTrailingBackslashes(DocumentsFolder());
    QCOMPARE(f.options().saveFolder,
             QFileInfo(documents).isDir() ? documents : UserPaletteFolder());
    QCOMPARE(f.options().gradientDivisor, 16);
    QVERIFY(!f.options().alwaysOnTop && !f.options().compact);
    QCOMPARE(run.beeps, 0);
}

void TestSettingsFlow::everythingComesBack()
{
    {
        // The colour dialog's lines come from an earlier run.
        RegistryStore store(StorePath());
        store.RegWriteString(ColorsKeyPath, "ColorA", "123456");
        store.RegWriteString(ColorsKeyPath, "ColorB", "FFFFFF");
    }
    {
        Run run;
        TMainForm &f = *run.form;
        Parts(f).SpinRouge->setValue(18);
        Parts(f).SpinVert->setValue(52);
        Parts(f).SpinBleu->setValue(86);
        Parts(f).RadioRgb->setChecked(true);
        Parts(f).CheckValeur->setChecked(true);
        SlotColors slots = f.SlotColorValues();
        slots[2] = MakeColor(1, 2, 3);
        slots[15] = MakeColor(250, 0, 5);
        f.SetSlotColors(slots);
        TOptionsRecord options = f.options();
        options.gradientFromSelected = true;
        options.gradientDivisor = 7;
        f.setOptions(options);
        run.close();
    }
    Run run;
    TMainForm &f = *run.form;
    QCOMPARE(f.CurrentColor(), MakeColor(18, 52, 86));
    QVERIFY(Parts(f).RadioRgb->isChecked());
    QVERIFY(!Parts(f).RadioHtml->isChecked());
    QVERIFY(Parts(f).CheckValeur->isChecked());
    QCOMPARE(f.slotButtons()[2]->colorRef(), MakeColor(1, 2, 3));
    QCOMPARE(f.slotButtons()[15]->colorRef(), MakeColor(250, 0, 5));
    QCOMPARE(f.slotButtons()[0]->colorRef(), clWhite);
    QVERIFY(f.options().gradientFromSelected);
    QCOMPARE(f.options().gradientDivisor, 7);
    QCOMPARE(f.customColorLines(), QStringList({"ColorA=123456", "ColorB=FFFFFF"}));
    QCOMPARE(f.windowTitle(), QStringLiteral("JOV - SansNom"));
}

void TestSettingsFlow::storeHoldsEveryOptionWithItsType()
{
    {
        Run run;
        run.close();
    }
    RegistryStore store(StorePath());
    QStringList names;
    QVERIFY(store.RegReadValueNames(OptionsKeyPath, names));
    QStringList expected;
    for (int n :
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 30, 31, 32, 33, 34})
        expected << QStringLiteral("Op%1").arg(n, 2, 10, QLatin1Char('0'));
    names.sort();
    QCOMPARE(names, expected);
    // Integers are integers and texts are texts: a read of the other type gives the default.
    QCOMPARE(store.RegReadInteger(OptionsKeyPath, "Op19", -1), 16);
    QCOMPARE(store.RegReadInteger(OptionsKeyPath, "Op06", -1), 1);
    QCOMPARE(store.RegReadString(OptionsKeyPath, "Op06", "none"), QStringLiteral("none"));
    QCOMPARE(store.RegReadString(OptionsKeyPath, "Op32", "none"), QStringLiteral("SansNom.pal"));
    QCOMPARE(store.RegReadInteger(OptionsKeyPath, "Op32", -1), -1);
    QCOMPARE(store.RegReadString(RootKeyPath, "Version", QString()), QStringLiteral("3.0.0.0"));
    QCOMPARE(store.RegReadInteger(PersonalKeyPath, "CouleurP", 0), qint32(clWhite));
}

void TestSettingsFlow::wrongTypeReadsDefault()
{
    {
        RegistryStore store(StorePath());
        QVERIFY(store.RegWriteString(OptionsKeyPath, "Op06", "0"));
        QVERIFY(store.RegWriteInteger(OptionsKeyPath, "Op01", 77));
    }
    Run run;
    QVERIFY(Parts(*run.form).RadioHtml->isChecked());
    QCOMPARE(Parts(*run.form).SpinRouge->value(), 77);
}

void TestSettingsFlow::lastPaletteReloadedFromOpenFolder()
{
    const QString openFolder = m_dir.path() + "/open";
    const QString saveFolder = m_dir.path() + "/save";
    SlotColors inOpen{}, inSave{};
    inOpen.fill(MakeColor(0, 0, 255));
    inSave.fill(MakeColor(255, 0, 0));
    QDir().mkpath(openFolder);
    QDir().mkpath(saveFolder);
    QVERIFY(WritePaletteFile(openFolder + "/foo.pal", inOpen));
    QVERIFY(WritePaletteFile(saveFolder + "/foo.pal", inSave));
    {
        RegistryStore store(StorePath());
        store.RegWriteBool(OptionsKeyPath, "Op13", true);
        store.RegWriteString(OptionsKeyPath, "Op30", openFolder + "/");
        store.RegWriteString(OptionsKeyPath, "Op31", saveFolder);
        store.RegWriteString(OptionsKeyPath, "Op32", "foo.pal");
        store.RegWriteInteger(PersonalKeyPath, "CouleurA", 0x00FF00);
    }
    Run run;
    QCOMPARE(run.form->slotButtons()[0]->colorRef(), MakeColor(0, 0, 255)); // from the file in Op30
    QCOMPARE(run.form->windowTitle(), QStringLiteral("JOV - foo"));
    QVERIFY(!run.form->PaletteModified());
    QCOMPARE(run.beeps, 0);
}

void TestSettingsFlow::lastPaletteMissingBeepsAndKeepsName()
{
    {
        RegistryStore store(StorePath());
        store.RegWriteBool(OptionsKeyPath, "Op13", true);
        store.RegWriteString(OptionsKeyPath, "Op30", m_dir.path() + "/nowhere");
        store.RegWriteString(OptionsKeyPath, "Op32", "gone.pal");
        store.RegWriteInteger(PersonalKeyPath, "CouleurA", 0x00FF00);
    }
    Run run;
    QCOMPARE(run.beeps, 1);
    QVERIFY(run.messages.isEmpty());
    QCOMPARE(run.form->slotButtons()[0]->colorRef(), clWhite); // the stored slots are not read
    QCOMPARE(run.form->windowTitle(), QStringLiteral("JOV - gone"));
}

void TestSettingsFlow::legacyIniImportedOnce()
{
    const QString ini = config() + "/JOV.ini";
    QVERIFY(WriteFile(ini, "[Options]\r\nOp01=0x10\r\nOp02=20\r\nOp07=1\r\n"
                           "[Couleurs]\r\nColorA=FF0000\r\n[Perso]\r\nCouleurC=255\r\n"));
    {
        Run run;
        TMainForm &f = *run.form;
        QCOMPARE(f.CurrentColor(), MakeColor(16, 20, 0));
        QVERIFY(Parts(f).RadioRgb->isChecked());
        QCOMPARE(f.slotButtons()[2]->colorRef(), MakeColor(255, 0, 0));
        QCOMPARE(f.slotButtons()[0]->colorRef(), clWhite);
        QCOMPARE(f.customColorLines(), QStringList({"ColorA=FF0000"}));
    }
    QVERIFY(!QFile::exists(ini));
    RegistryStore store(StorePath());
    QCOMPARE(store.RegReadInteger(OptionsKeyPath, "Op01", -1), 16);
    QCOMPARE(store.RegReadInteger(PersonalKeyPath, "CouleurC", -1), 255);
    QCOMPARE(store.RegReadString(OptionsKeyPath, "Op32", QString()), QStringLiteral("SansNom.pal"));
    QCOMPARE(store.RegReadInteger(OptionsKeyPath, "Op19", -1), 16);
}

void TestSettingsFlow::legacyIniKeptWhenSavingFails()
{
    const QString ini = config() + "/JOV.ini";
    QVERIFY(WriteFile(ini, "[Options]\r\nOp01=99\r\n"));
    // The store's folder cannot be made: a plain file stands where it should be.
    QVERIFY(WriteFile(config() + "/Corvel Astine", "not a folder"));
    {
        Run run;
        QCOMPARE(Parts(*run.form).SpinRouge->value(), 99);
    }
    QVERIFY(QFile::exists(ini)); // nothing is lost: the import runs again next time
}

void TestSettingsFlow::legacyIniLeftBehindNotImportedAgain()
{
    // A file that could not be deleted after its import is remembered by its signature: the
    // next start reads the store, not the old file over it.
    const QString ini = config() + "/JOV.ini";
    QVERIFY(WriteFile(ini, "[Options]\r\nOp01=99\r\n"));
    {
        RegistryStore store(StorePath());
        store.RegWriteInteger(OptionsKeyPath, "Op01", 5);
        store.RegWriteString(RootKeyPath, LegacyImportedValue, LegacyIniSignature(ini));
    }
    {
        Run run;
        QCOMPARE(Parts(*run.form).SpinRouge->value(), 5);
    }
    QVERIFY(QFile::exists(ini));
    // Changed since: imported anew.
    QVERIFY(WriteFile(ini, "[Options]\r\nOp01=77\r\nOp02=1\r\n"));
    Run run;
    QCOMPARE(Parts(*run.form).SpinRouge->value(), 77);
}

void TestSettingsFlow::placementWrittenAndRestored()
{
    {
        Run run;
        run.form->move(123, 77);
        run.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(run.form.get()));
        run.form->move(123, 77);
        run.close();
    }
    RegistryStore store(StorePath());
    const QString norm = store.RegReadString(PlacementKeyPath, "NormPos", QString());
    QVERIFY2(norm.startsWith(QLatin1String("123,77,")), qPrintable(norm));
    QCOMPARE(store.RegReadString(PlacementKeyPath, "FormVersion", QString()), QStringLiteral("0"));
    QCOMPARE(store.RegReadString(PlacementKeyPath, "ShowCmd", QString()), QStringLiteral("1"));
    QStringList names;
    QVERIFY(store.RegReadValueNames(PlacementKeyPath, names));
    QVERIFY(names.contains(QLatin1String("Visible")));
    QVERIFY(std::any_of(names.begin(), names.end(),
                        [](const QString &n) { return n.startsWith(QLatin1String("NormPos(")); }));

    Run again;
    QCOMPARE(again.form->pos(), QPoint(123, 77));
}

void TestSettingsFlow::placementOffEveryScreenBroughtOnScreen()
{
    {
        RegistryStore store(StorePath());
        store.RegWriteString(PlacementKeyPath, "NormPos", "30000,30000,30550,30350");
    }
    // The place of a monitor that is gone: the window comes back whole on the nearest screen.
    Run run;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(area.contains(run.form->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2").arg(run.form->x()).arg(run.form->y())));
    QCOMPARE(run.form->frameGeometry().bottomRight(), area.bottomRight());
}

// The desktop session ending: Qt asks the application to commit its data through the session
// manager (a child of the application object). The window, connected as the program connects
// it, saves everything as a close does and asks nothing, though the palette is modified and the
// option to offer saving it is on; the window's own close that follows asks nothing either.
void TestSettingsFlow::sessionEndSavesWithoutQuestions()
{
    {
        Run run;
        TMainForm &f = *run.form;
        QVERIFY(f.options().askToSavePalette);
        Parts(f).SpinRouge->setValue(18);
        Parts(f).SpinVert->setValue(52);
        Parts(f).SpinBleu->setValue(86);
        f.slotButtons()[1]->click();
        Parts(f).BtnPlus->click();
        QVERIFY(f.PaletteModified());
        Parts(f).CheckValeur->setChecked(true);
        run.answer = false; // a question answered "No" would cancel a close

        connect(qApp, &QGuiApplication::commitDataRequest, &f,
                [&f](QSessionManager &) { f.EndSession(); });
        QSignalSpy closed(&f, &TMainForm::closed);
        auto *manager = qApp->findChild<QSessionManager *>();
        QVERIFY(manager);
        Q_EMIT qApp->commitDataRequest(*manager);
        QCOMPARE(closed.count(), 1);
        QVERIFY2(run.questions.isEmpty(), qPrintable(run.questions.join(u'|')));

        RegistryStore store(StorePath());
        QCOMPARE(store.RegReadInteger(OptionsKeyPath, "Op01", -1), 18);
        QCOMPARE(store.RegReadInteger(OptionsKeyPath, "Op03", -1), 86);
        QCOMPARE(store.RegReadBool(OptionsKeyPath, "Op04", false), true);
        QCOMPARE(store.RegReadInteger(PersonalKeyPath, "CouleurB", -1), 0x563412);
        QVERIFY(!store.RegReadString(PlacementKeyPath, "NormPos", QString()).isEmpty());

        QCloseEvent event;
        QApplication::sendEvent(&f, &event);
        QVERIFY(event.isAccepted());
        QVERIFY(run.questions.isEmpty());
        QCOMPARE(closed.count(), 1);
    }
    Run run;
    QCOMPARE(run.form->CurrentColor(), MakeColor(18, 52, 86));
    QCOMPARE(run.form->slotButtons()[1]->colorRef(), MakeColor(18, 52, 86));
}

// A save at close that cannot reach the store is told: in a notice when the user closed the
// window, on the error output when the program was told to stop or the session ends.
void TestSettingsFlow::failedSaveIsReported_data()
{
    QTest::addColumn<bool>("userClose");
    QTest::newRow("granted-close") << true;
    QTest::newRow("told-to-stop") << false;
}

void TestSettingsFlow::failedSaveIsReported()
{
    QFETCH(bool, userClose);
    // The store's folder cannot be made: a plain file stands where it should be.
    QVERIFY(WriteFile(config() + "/Corvel Astine", "not a folder"));
    Run run;
    Parts(*run.form).SpinRouge->setValue(7);
    const QString text =
        "Les réglages n'ont pas pu être enregistrés dans " + QDir::toNativeSeparators(StorePath());
    QSignalSpy closed(run.form.get(), &TMainForm::closed);
    if (userClose) {
        run.close();
        QCOMPARE(run.messages, QStringList("\r\n" + text));
    } else {
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(QCoreApplication::applicationName() + " : " + text));
        run.form->EndSession();
        QVERIFY(run.messages.isEmpty());
    }
    QCOMPARE(closed.count(), 1);
}

QTEST_MAIN(TestSettingsFlow)
#include "tst_settingsflow.moc"
