#include "persistence/Language.h"
#include "persistence/Systeme.h"

#include "InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace jov;

class TestSysteme : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void scaleToScreen_data();
    void scaleToScreen();
    void stripTrailingBackslashes_data();
    void stripTrailingBackslashes();
    void windowsFolderFollowsXdgConfigHome();
    void defaultPaletteFolder_data();
    void defaultPaletteFolder();
    void userPaletteFolderFollowsXdgDataHome();
    void useWinHelp_data();
    void useWinHelp();
    void helpFilePath_data();
    void helpFilePath();
    void programLanguage_data();
    void programLanguage();
};

void TestSysteme::scaleToScreen_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("ppi");
    QTest::addColumn<int>("expected");
    QTest::newRow("96-ppi-unchanged") << 235 << 96 << 235;
    QTest::newRow("120-ppi-uses-ppi-minus-2") << 235 << 120 << 289; // 288.85, not 294
    QTest::newRow("compact-height-120") << 175 << 120 << 215;
    QTest::newRow("expanded-height-120") << 350 << 120 << 430;
    QTest::newRow("box-height-120") << 225 << 120 << 277;
    QTest::newRow("144-ppi") << 235 << 144 << 348;             // 347.6
    QTest::newRow("half-rounds-to-even-down") << 5 << 50 << 2; // 2.5
    QTest::newRow("half-rounds-to-even-up") << 3 << 50 << 2;   // 1.5
    QTest::newRow("half-zero") << 1 << 50 << 0;                // 0.5
    QTest::newRow("98-ppi-is-exactly-96-scale") << 235 << 98 << 235;
    QTest::newRow("zero-size") << 0 << 120 << 0;
}

void TestSysteme::scaleToScreen()
{
    QFETCH(int, size);
    QFETCH(int, ppi);
    QFETCH(int, expected);
    QCOMPARE(ScaleToScreen(size, ppi), expected);
}

void TestSysteme::stripTrailingBackslashes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("none") << "C:\\Docs"
                          << "C:\\Docs";
    QTest::newRow("one") << "C:\\Docs\\"
                         << "C:\\Docs";
    QTest::newRow("two-lose-both") << "C:\\Docs\\\\"
                                   << "C:\\Docs";
    QTest::newRow("slash") << "/home/user/"
                           << "/home/user";
    QTest::newRow("only-separators") << "\\/\\" << QString();
    QTest::newRow("inner-kept") << "a\\b"
                                << "a\\b";
}

void TestSysteme::stripTrailingBackslashes()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(StripTrailingBackslashes(text), expected);
}

void TestSysteme::windowsFolderFollowsXdgConfigHome()
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/jov-config/");
    QCOMPARE(WindowsFolder(), QStringLiteral("/tmp/jov-config"));
    qputenv("XDG_CONFIG_HOME", "relative/dir"); // not absolute: ignored, like the XDG rule
    QCOMPARE(WindowsFolder(), QDir::homePath() + QStringLiteral("/.config"));
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(WindowsFolder(), QDir::homePath() + QStringLiteral("/.config"));
    if (!saved.isNull())
        qputenv("XDG_CONFIG_HOME", saved);
}

void TestSysteme::defaultPaletteFolder_data()
{
    QTest::addColumn<QString>("beside"); // what "Palettes" is beside the program: "", dir, file
    QTest::addColumn<bool>("besideChosen");
    QTest::newRow("folder-beside-the-program") << "dir" << true;
    QTest::newRow("none-beside-the-program") << "" << false;
    QTest::newRow("a-file-beside-the-program") << "file" << false;
}

void TestSysteme::defaultPaletteFolder()
{
    QFETCH(QString, beside);
    QFETCH(bool, besideChosen);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("bin"));
    const QString palettes = program + QStringLiteral("/Palettes");
    QVERIFY(QDir().mkpath(program));
    if (beside == QLatin1String("dir"))
        QVERIFY(QDir().mkpath(palettes));
    if (beside == QLatin1String("file")) {
        QFile file(palettes);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString user = dir.filePath(QStringLiteral("data/jov/Palettes"));
    QCOMPARE(DefaultPaletteFolder(program, user), besideChosen ? palettes : user);
}

void TestSysteme::userPaletteFolderFollowsXdgDataHome()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    const QString folder = UserPaletteFolder();
    // Made on demand, and no other folder.
    MakeUserPaletteFolder(folder);
    MakeUserPaletteFolder(dir.filePath(QStringLiteral("elsewhere")));
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
    QCOMPARE(folder, dir.path() + QStringLiteral("/jov/Palettes"));
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("elsewhere"))));
}

void TestSysteme::useWinHelp_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("expected");
    QTest::newRow("no-argument") << QStringList{"jov"} << false;
    QTest::newRow("noversion") << QStringList{"jov", "/noversion"} << true;
    QTest::newRow("mixed-case") << QStringList{"jov", "/NoVersion"} << true;
    QTest::newRow("longer") << QStringList{"jov", "/noversions"} << false;
    QTest::newRow("second-argument-ignored") << QStringList{"jov", "-x", "/noversion"} << false;
    QTest::newRow("no-slash") << QStringList{"jov", "noversion"} << false;
}

void TestSysteme::useWinHelp()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, expected);
    QCOMPARE(UseWinHelp(arguments), expected);
}

// Files are made in <tmp>/bin/aide (beside the program) and in the installed manual folder
// found from <tmp>/bin; an entry ending in "/" is made as a folder of that name, "en/..." is in
// the English subfolder.
void TestSysteme::helpFilePath_data()
{
    QTest::addColumn<QStringList>("beside");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<bool>("winHelp");
    QTest::addColumn<QLocale::Language>("language");
    // "beside" or "installed", then "/en" for the English manual; "" when not found.
    QTest::addColumn<QString>("expected");
    const QStringList both{"index.html", "manuel.html"};
    const QLocale::Language fr = QLocale::French;
    const QLocale::Language en = QLocale::English;
    QTest::newRow("build-tree") << both << QStringList() << false << fr << "beside";
    QTest::newRow("installed-tree") << QStringList() << both << false << fr << "installed";
    QTest::newRow("installed-one-page") << QStringList() << both << true << fr << "installed";
    QTest::newRow("beside-wins") << both << both << true << fr << "beside";
    QTest::newRow("other-form-missing-beside")
        << QStringList{"index.html"} << QStringList{"manuel.html"} << true << fr << "installed";
    QTest::newRow("folder-is-not-a-file")
        << QStringList{"index.html/"} << QStringList{"index.html"} << false << fr << "installed";
    QTest::newRow("nowhere") << QStringList() << QStringList{"manuel.html"} << false << fr << "";
    const QStringList bilingual{"index.html", "en/index.html", "en/manuel.html"};
    QTest::newRow("english") << bilingual << both << true << en << "beside/en";
    QTest::newRow("english-installed-before-french")
        << both << bilingual << false << en << "installed/en";
    QTest::newRow("english-missing") << both << both << false << en << "beside";
    QTest::newRow("english-nowhere")
        << QStringList{"en/index.html"} << QStringList() << true << en << "";
    QTest::newRow("other-language-french")
        << bilingual << QStringList() << false << QLocale::German << "beside";
}

void TestSysteme::helpFilePath()
{
    QFETCH(QStringList, beside);
    QFETCH(QStringList, installed);
    QFETCH(bool, winHelp);
    QFETCH(QLocale::Language, language);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString program = root.filePath(QStringLiteral("bin"));
    const QString folders[] = {program + QStringLiteral("/aide"),
                               QDir::cleanPath(program + u'/' + QLatin1String(InstalledHelpDir))};
    QVERIFY(folders[1].startsWith(root.path() + u'/'));
    const QStringList *contents[] = {&beside, &installed};
    for (int i = 0; i < 2; ++i) {
        QVERIFY(QDir().mkpath(folders[i] + QStringLiteral("/en")));
        for (const QString &entry : *contents[i]) {
            if (entry.endsWith(u'/')) {
                QVERIFY(QDir(folders[i]).mkpath(entry));
            } else {
                QFile file(folders[i] + u'/' + entry);
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        }
    }
    const QString name = QLatin1String(winHelp ? "manuel.html" : "index.html");
    QString want;
    if (!expected.isEmpty()) {
        want = folders[expected.startsWith(QLatin1String("beside")) ? 0 : 1];
        if (expected.endsWith(QLatin1String("/en")))
            want += QStringLiteral("/en");
        want += u'/' + name;
    }
    QCOMPARE(HelpFilePathIn(program, winHelp, language), want);
    QCOMPARE(HelpMissingText(winHelp), QStringLiteral(" Aide introuvable : ") + name);
}

void TestSysteme::programLanguage_data()
{
    // The user's environment: LANGUAGE, LC_ALL, LC_MESSAGES, LANG; the program's locale.
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("locale");
    QTest::newRow("english") << QStringList{"", "", "", "en_US.UTF-8"} << "en_US";
    QTest::newRow("british keeps its region") << QStringList{"", "", "", "en_GB.UTF-8"} << "en_GB";
    QTest::newRow("LANGUAGE first") << QStringList{"en:fr", "", "", "fr_FR.UTF-8"} << "en_US";
    QTest::newRow("LC_ALL before LANG") << QStringList{"", "en_AU", "", "fr_FR"} << "en_AU";
    QTest::newRow("LC_MESSAGES before LANG") << QStringList{"", "", "en_IE", "fr_FR"} << "en_IE";
    QTest::newRow("french") << QStringList{"", "", "", "fr_FR.UTF-8"} << "fr_FR";
    QTest::newRow("canadian french keeps its region")
        << QStringList{"", "", "", "fr_CA"} << "fr_CA";
    QTest::newRow("C") << QStringList{"", "", "", "C"} << "fr_FR";
    QTest::newRow("C.UTF-8") << QStringList{"", "", "", "C.UTF-8"} << "fr_FR";
    QTest::newRow("POSIX") << QStringList{"", "POSIX", "", "en_US"} << "fr_FR";
    QTest::newRow("nothing set") << QStringList{"", "", "", ""} << "fr_FR";
    QTest::newRow("LANGUAGE as uiLanguages") << QStringList{"en-GB", "", "", "C"} << "en_GB";
    QTest::newRow("no catalogue, english second")
        << QStringList{"de:en", "", "", "de_DE.UTF-8"} << "fr_FR";
}

void TestSysteme::programLanguage()
{
    QFETCH(QStringList, environment);
    QFETCH(QString, locale);
    const QString first =
        FirstUiLanguage(environment[0], environment[1], environment[2], environment[3]);
    const QString language =
        ProgramLanguage(first, [](const QString &code) { return code == QLatin1String("en"); });
    QCOMPARE(QLocale(ProgramLocaleName(first, language)).name(), locale);
    QVERIFY(CataloguesFor(language).first().endsWith(
        language == "fr" ? QLatin1String("/qt_fr.qm") : QLatin1String("/jov_en.qm")));
}

QTEST_GUILESS_MAIN(TestSysteme)
#include "tst_systeme.moc"
