#include "persistence/CommandLine.h"

#include "color/SampleSquare.h"

#include "Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace jov {

namespace {

// Qt's own options (QGuiApplication, QApplication and the X11 platform): those that take a
// value, and those that do not. Given with one or two dashes, the value after "=" or as the
// next argument.
constexpr std::array<const char *, 16> QtValueOptions{
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "display",         "geometry",           "title",         "name",
    "style",           "stylesheet",         "visual",        "qmljsdebugger"};
constexpr std::array<const char *, 7> QtFlagOptions{"reverse", "nograb",      "dograb",     "sync",
                                                    "cmap",    "widgetcount", "testability"};

bool IsOneOf(const QString &name, const auto &names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const char *n) { return name == QLatin1String(n); });
}

// Sets Qt's options of `arguments` apart into the command line; returns the others.
QStringList SetQtOptionsApart(const QStringList &arguments, CommandLine &out)
{
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (i == 0 || !arg.startsWith(u'-') || arg == QLatin1String("--")) {
            rest.append(arg);
            continue;
        }
        const QString bare = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype eq = bare.indexOf(u'=');
        const QString name = eq < 0 ? bare : bare.first(eq);
        if (IsOneOf(name, QtFlagOptions) && eq < 0) {
            out.qtArguments.append(arg);
        } else if (IsOneOf(name, QtValueOptions)) {
            out.qtArguments.append(arg);
            QString value;
            if (eq >= 0) {
                value = bare.sliced(eq + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
                out.qtArguments.append(value);
            }
            if (name == QLatin1String("display"))
                out.display = value;
            else if (name == QLatin1String("platform"))
                out.platform = value;
        } else {
            rest.append(arg);
        }
    }
    return rest;
}

CommandLine Error(CommandLine line, const QString &error)
{
    line.action = CommandLine::Action::UsageError;
    line.error = error;
    return line;
}

} // namespace

CommandLine ParseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    const QStringList rest = SetQtOptionsApart(arguments, line);

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption pick(QStringList{QStringLiteral("p"), QStringLiteral("pick")});
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("format"));
    const QCommandLineOption valueOnly(QStringLiteral("value-only"));
    const QCommandLineOption noCopy(QStringLiteral("no-copy"));
    const QCommandLineOption sample(QStringLiteral("sample"), QString(), QStringLiteral("N"));
    const QCommandLineOption keep(QStringLiteral("keep-clipboard"), QString(),
                                  QStringLiteral("text"));
    parser.addOptions({help, version, pick, format, valueOnly, noCopy, sample, keep});

    if (!parser.parse(rest)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString &name = unknown.first();
            return Error(
                line,
                QCoreApplication::translate("CommandLine", "option inconnue : %1%2")
                    .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name));
        }
        // Qt's own message names the option between quotes.
        const QRegularExpressionMatch quoted =
            QRegularExpression(QStringLiteral("'([^']*)'")).match(parser.errorText());
        return Error(
            line, QCoreApplication::translate("CommandLine", "valeur manquante ou en trop après %1")
                      .arg(quoted.hasMatch() ? quoted.captured(1) : QStringLiteral("?")));
    }
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    if (parser.isSet(keep)) {
        line.action = CommandLine::Action::KeepClipboard;
        line.clipboardText = parser.value(keep);
        return line;
    }

    if (parser.isSet(format)) {
        const QString name = parser.value(format).toLower();
        if (name == QLatin1String("hexa"))
            line.format = CopyFormat::Hexa;
        else if (name == QLatin1String("html"))
            line.format = CopyFormat::Html;
        else if (name == QLatin1String("rgb"))
            line.format = CopyFormat::Rgb;
        else
            return Error(line, QCoreApplication::translate(
                                   "CommandLine", "--format : hexa, html ou rgb, pas « %1 »")
                                   .arg(parser.value(format)));
    }
    if (parser.isSet(sample)) {
        bool number = false;
        const int side = parser.value(sample).toInt(&number);
        if (!number || !IsSampleSide(side))
            return Error(line,
                         QCoreApplication::translate(
                             "CommandLine", "--sample : un nombre impair de 1 à %1, pas « %2 »")
                             .arg(MaxSampleSide)
                             .arg(parser.value(sample)));
        line.sampleSide = side;
    }
    line.valueOnly = parser.isSet(valueOnly);
    line.noCopy = parser.isSet(noCopy);
    if (parser.isSet(pick)) {
        line.action = CommandLine::Action::Pick;
    } else if (line.format || line.sampleSide || line.valueOnly || line.noCopy) {
        return Error(line, QCoreApplication::translate(
                               "CommandLine", "--format, --value-only, --sample et --no-copy ne "
                                              "s'emploient qu'avec --pick"));
    }
    return line;
}

QString UsageText()
{
    return QCoreApplication::translate(
        "CommandLine", "Utilisation : jov [/noversion]\n"
                       "              jov --pick [--format=hexa|html|rgb] [--value-only] "
                       "[--sample=N] [--no-copy]\n"
                       "Voir « jov --help ».\n");
}

QString HelpText()
{
    return QCoreApplication::translate(
               "CommandLine",
               "Utilisation : jov [options] [/noversion]\n"
               "JOV compose, prélève et copie des couleurs pour le web et le graphisme.\n"
               "\n"
               "Options :\n"
               "  -p, --pick          Prélève une couleur à l'écran d'un clic gauche (Échap ou\n"
               "                      clic droit : annuler), l'écrit sur la sortie standard,\n"
               "                      la copie dans le presse-papiers et s'arrête. La molette\n"
               "                      et les touches + et - règlent le carré dont la moyenne\n"
               "                      est prise, les flèches déplacent le pointeur.\n"
               "  --format=FORMAT     Avec --pick : hexa, html ou rgb (sinon le format choisi\n"
               "                      dans la fenêtre).\n"
               "  --value-only        Avec --pick : la valeur seule, sans sa décoration.\n"
               "  --sample=N          Avec --pick : la moyenne d'un carré de N × N pixels,\n"
               "                      N impair de 1 à %1 (sinon le dernier carré choisi).\n"
               "  --no-copy           Avec --pick : laisse le presse-papiers tel quel.\n"
               "  -h, --help          Affiche cette aide.\n"
               "  -v, --version       Affiche la version.\n"
               "  /noversion          L'aide ouvre le manuel en une seule page.\n"
               "\n"
               "Les options de Qt (-display, -platform, ...) sont acceptées.\n"
               "Codes de sortie de --pick : 0 couleur prélevée, 1 annulé, 2 erreur\n"
               "d'utilisation, 3 prélèvement impossible.\n")
        .arg(MaxSampleSide);
}

QString VersionText()
{
    return QStringLiteral("JOV %1\n").arg(QLatin1String(ReleaseVersion));
}

bool DisplayMissing(const CommandLine &commandLine, const QString &qpaPlatform,
                    const QString &displayVariable, const QString &waylandDisplay)
{
    const QString platform =
        (commandLine.platform.isEmpty() ? qpaPlatform : commandLine.platform).section(u';', 0, 0);
    const bool x11Display = !commandLine.display.isEmpty() || !displayVariable.isEmpty();
    if (platform.isEmpty())
        return !x11Display && waylandDisplay.isEmpty();
    if (platform.startsWith(QLatin1String("xcb")))
        return !x11Display;
    // Wayland finds its display by itself; other platforms need none.
    return false;
}

} // namespace jov
