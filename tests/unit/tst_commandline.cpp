// The command line: what each set of arguments asks for, Qt's own options set apart, the
// usage errors, and when the program knows it has no display.
#include "persistence/CommandLine.h"

#include <QTest>

using namespace jov;
using Action = CommandLine::Action;

Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void outcome_data();
    void outcome();
    void pickChoices();
    void displayMissing_data();
    void displayMissing();
};

void TestCommandLine::outcome_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("errorPart");
    const auto row = [](const char *name, QStringList args, Action action, const char *error = "") {
        QTest::newRow(name) << args << action << QString::fromUtf8(error);
    };
    row("nothing", {}, Action::Window);
    row("/noversion", {"/NoVersion"}, Action::Window);
    row("Qt's options", {"-display", ":3", "--platform=xcb", "-reverse", "-style", "Fusion"},
        Action::Window);
    row("-h", {"-h"}, Action::Help);
    row("--help with Qt's", {"-sync", "--help"}, Action::Help);
    row("-v", {"-v"}, Action::Version);
    row("--version", {"--version"}, Action::Version);
    row("-p", {"-p"}, Action::Pick);
    row("--pick after /noversion", {"/noversion", "--pick"}, Action::Pick);
    row("unknown long", {"--bogus"}, Action::UsageError, "option inconnue : --bogus");
    row("unknown short", {"-x"}, Action::UsageError, "option inconnue : -x");
    row("format missing", {"--pick", "--format"}, Action::UsageError, "--format");
    row("format unknown", {"--pick", "--format=cmyk"}, Action::UsageError, "hexa, html ou rgb");
    row("sample even", {"--pick", "--sample=4"}, Action::UsageError, "impair");
    row("sample too large", {"--pick", "--sample=17"}, Action::UsageError, "impair");
    row("sample not a number", {"--pick", "--sample=x"}, Action::UsageError, "impair");
    row("pick option alone", {"--no-copy"}, Action::UsageError, "qu'avec --pick");
    row("flag with a value", {"--pick=1"}, Action::UsageError, "pick");
    row("keeper", {"--keep-clipboard=#FF0000"}, Action::KeepClipboard);
}

void TestCommandLine::outcome()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QString, errorPart);
    const CommandLine line = ParseCommandLine(QStringList{QStringLiteral("jov")} + arguments);
    QCOMPARE(line.action, action);
    QVERIFY2(line.error.contains(errorPart), qPrintable(line.error));
    QCOMPARE(line.error.isEmpty(), errorPart.isEmpty());
}

void TestCommandLine::pickChoices()
{
    const CommandLine line = ParseCommandLine({"jov", "-display", ":7", "--pick", "--format=RGB",
                                               "--value-only", "--sample", "13", "--no-copy"});
    QCOMPARE(line.action, Action::Pick);
    QCOMPARE(line.format, CopyFormat::Rgb);
    QVERIFY(line.valueOnly && line.noCopy);
    QCOMPARE(line.sampleSide, 13);
    QCOMPARE(line.display, QStringLiteral(":7"));
    QCOMPARE(line.qtArguments, QStringList({"-display", ":7"}));
    const CommandLine plain = ParseCommandLine({"jov", "--pick"});
    QVERIFY(!plain.format && !plain.sampleSide && !plain.valueOnly && !plain.noCopy);
}

void TestCommandLine::displayMissing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("qpaPlatform");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<bool>("missing");
    QTest::newRow("nothing") << QStringList() << ""
                             << ""
                             << "" << true;
    QTest::newRow("DISPLAY") << QStringList() << ""
                             << ":0"
                             << "" << false;
    QTest::newRow("Wayland only") << QStringList() << ""
                                  << ""
                                  << "wayland-0" << false;
    QTest::newRow("-display") << QStringList{"-display", ":1"} << ""
                              << ""
                              << "" << false;
    QTest::newRow("xcb, Wayland only") << QStringList() << "xcb"
                                       << ""
                                       << "wayland-0" << true;
    QTest::newRow("-platform xcb") << QStringList{"-platform", "xcb"} << ""
                                   << ""
                                   << "w" << true;
    QTest::newRow("offscreen") << QStringList() << "offscreen"
                               << ""
                               << "" << false;
    QTest::newRow("wayland") << QStringList() << "wayland;xcb"
                             << ""
                             << "" << false;
}

void TestCommandLine::displayMissing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, qpaPlatform);
    QFETCH(QString, display);
    QFETCH(QString, wayland);
    QFETCH(bool, missing);
    const CommandLine line = ParseCommandLine(QStringList{QStringLiteral("jov")} + arguments);
    QCOMPARE(DisplayMissing(line, qpaPlatform, display, wayland), missing);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
