#include "BuiltInPictures.h"
#include "Catalogues.h"
#include "PickCommand.h"
#include "StopSignals.h"
#include "Version.h"
#include "controls/KeptIconsStyle.h"
#include "mainwindow/MainForm.h"
#include "persistence/AtomicFile.h"
#include "persistence/CommandLine.h"
#include "persistence/Language.h"
#include "persistence/Options.h"
#include "portal/PortalColorPicker.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QPixmapCache>
#include <QSessionManager>
#include <QTranslator>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <memory>
#include <tuple>
#include <vector>

#include <unistd.h>

namespace {

// The program's icon in the sizes drawn from its logo (resources/icons); every window of the
// program shows it, and the window manager's task bar and switcher take it from the main window.
QIcon ProgramIcon()
{
    // The sizes title bars, task bars and switchers draw (built in already decoded, see
    // resources/CMakeLists.txt); larger ones come from the installed icon theme through the
    // desktop entry.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        icon.addPixmap(QPixmap::fromImage(jov::BuiltInPicture(
            QLatin1StringView(QByteArray("icons/jov-") + QByteArray::number(size)))));
    }
    return icon;
}

// On a Wayland session the program runs through XWayland unless the user chose a platform:
// there the window can be placed and kept on top where the compositor allows it. The choice
// is not passed on to the programs it starts (the help browser, say).
bool PreferXWayland()
{
    if (!jov::IsWaylandSession() || qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

void Print(std::FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text), stream);
}

// The program's language, and Qt's own texts in it (the colour and file dialogs, the message
// box buttons): the catalogues are loaded before the application exists, for the messages of
// a failed start, and installed once it does. Qt's texts that follow the system locale (the file
// dialog's sizes, dates and file types) follow the language too: the environment names it
// until the application has read its system locale, and is the user's own again after, for
// the programs it starts (the help's browser).
class Translators
{
public:
    Translators()
    {
        const QString first =
            jov::FirstUiLanguage(qEnvironmentVariable("LANGUAGE"), qEnvironmentVariable("LC_ALL"),
                                 qEnvironmentVariable("LC_MESSAGES"), qEnvironmentVariable("LANG"));
        // Known from the build: a look at the resources would read the system locale for good.
        const QString language = jov::ProgramLanguage(first, [](const QString &code) {
            return std::ranges::any_of(CataloguedLanguages,
                                       [&code](const char *c) { return code == QLatin1String(c); });
        });
        // The system locale (the file dialog's sizes, dates and types) in the program's
        // language when it is not the user's, set before anything reads it.
        const QByteArray name = jov::ProgramLocaleName(first, language).toLatin1();
        if (language != jov::LanguageCode(first)) {
            for (const char *variable : {"LC_ALL", "LANGUAGE"}) {
                m_environment.append(
                    {variable, qgetenv(variable), qEnvironmentVariableIsSet(variable)});
                qputenv(variable, qstrcmp(variable, "LC_ALL") == 0 ? name + ".UTF-8" : name);
            }
        }
        const QLocale locale(QString::fromLatin1(name));
        QLocale::setDefault(locale);
        for (const QString &catalogue : jov::CataloguesFor(language)) {
            auto translator = std::make_unique<QTranslator>();
            if (translator->load(catalogue))
                m_translators.push_back(std::move(translator));
        }
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            m_translators.push_back(std::move(qt));
    }
    // Once the application exists.
    void install()
    {
        std::ignore = QLocale::system(); // read from the environment now
        for (const auto &[name, value, set] : std::as_const(m_environment)) {
            if (set)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
        m_environment.clear();
        std::setlocale(LC_ALL, "");
        for (const auto &translator : m_translators)
            QCoreApplication::installTranslator(translator.get());
    }
    // A text of this file (marked with QT_TRANSLATE_NOOP("main", ...)), with or without an
    // application.
    QString text(const char *source) const
    {
        for (const auto &translator : m_translators) {
            QString translated = translator->translate("main", source);
            if (!translated.isEmpty())
                return translated;
        }
        return QString::fromUtf8(source);
    }

private:
    std::vector<std::unique_ptr<QTranslator>> m_translators;
    struct Variable
    {
        const char *name;
        QByteArray value;
        bool set;
    };
    QList<Variable> m_environment;
};
const Translators *g_translators = nullptr;

// While the application connects to its display, Qt's messages are held back: when it cannot
// (a display that does not answer, no platform plugin), Qt would end with an abort and
// several English lines; one French line and status 3 say it instead. Once connected, what
// was held back is passed on.
QtMessageHandler g_qtHandler = nullptr;
QList<std::tuple<QtMsgType, QString, QString>> g_heldMessages;
QString g_displayName;

void HoldMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        Print(stderr, g_translators
                          ->text(QT_TRANSLATE_NOOP("main", "jov : impossible d'ouvrir "
                                                           "l'affichage %1\n"))
                          .arg(g_displayName));
        _exit(3);
    }
    g_heldMessages.append({type, QString::fromUtf8(context.category), message});
}

void PassHeldMessages()
{
    qInstallMessageHandler(g_qtHandler);
    for (const auto &[type, category, message] : std::as_const(g_heldMessages)) {
        const QByteArray name = category.toUtf8();
        const QMessageLogContext context(nullptr, 0, nullptr, name.constData());
        if (g_qtHandler)
            g_qtHandler(type, context, message);
    }
    g_heldMessages.clear();
}

// Help, the version or a usage error: printed in the user's language (the command line's texts
// are translated once an application exists) without connecting to any display.
int Answer(int argc, char *argv[], Translators &translators, const QStringList &arguments)
{
    const QCoreApplication application(argc, argv);
    translators.install();
    const jov::CommandLine line = jov::ParseCommandLine(arguments);
    using Action = jov::CommandLine::Action;
    switch (line.action) {
    case Action::Help:
        Print(stdout, jov::HelpText());
        return 0;
    case Action::Version:
        Print(stdout, jov::VersionText());
        return 0;
    default:
        Print(stderr,
              QCoreApplication::translate("main", "jov : %1\n").arg(line.error) + jov::UsageText());
        return 2;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    Translators translators;
    g_translators = &translators;
    const jov::CommandLine line = jov::ParseCommandLine(arguments);
    using Action = jov::CommandLine::Action;
    if (line.action == Action::Help || line.action == Action::Version ||
        line.action == Action::UsageError)
        return Answer(argc, argv, translators, arguments);
    if (jov::DisplayMissing(line, qEnvironmentVariable("QT_QPA_PLATFORM"),
                            qEnvironmentVariable("DISPLAY"),
                            qEnvironmentVariable("WAYLAND_DISPLAY"))) {
        Print(stderr, translators.text(QT_TRANSLATE_NOOP(
                          "main", "jov : aucun affichage : ni DISPLAY, ni WAYLAND_DISPLAY, "
                                  "ni -display ne nomme un écran où s'ouvrir\n")));
        return 3;
    }
    // Before anything else of the window's: a stop asked for during start-up is acted on once
    // the window is up. (A pick ends on the signal's default action.)
    if (line.action == Action::Window)
        jov::CatchStopSignals();
    const bool xwayland = PreferXWayland();
    g_displayName = line.display.isEmpty() ? qEnvironmentVariable("DISPLAY") : line.display;
    g_qtHandler = qInstallMessageHandler(HoldMessage);
    QApplication application(argc, argv);
    QApplication::setStyle(new jov::TKeptIconsStyle);
    // Qt keeps up to 10 MB of drawn pictures (a dialog's icons at each size, the style's
    // bevels); the window and its dialogs need a fraction of it, and a cache that fills up
    // would make the program's memory grow for hours before it levels off.
    QPixmapCache::setCacheLimit(2048);
    PassHeldMessages();
    translators.install();
    if (xwayland)
        qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("JOV"));
    QApplication::setOrganizationName(QStringLiteral("Corvel Astine"));
    // Hiding the loupe or the dialogs never ends the program: the main window's close does,
    // or the end of a pick.
    QApplication::setQuitOnLastWindowClosed(false);
    if (line.action == Action::KeepClipboard)
        return jov::RunClipboardKeeper(line.clipboardText);
    // The desktop entry's id: the desktop links the windows to the menu entry and its icon (the
    // entry's StartupWMClass names the window class, "JOV", from the application name above).
    QGuiApplication::setDesktopFileName(QLatin1String(jov::ApplicationId));
    if (line.action == Action::Pick)
        return jov::RunPick(line);
    QApplication::setWindowIcon(ProgramIcon());
    // What a crash in the middle of a save left beside the store.
    jov::RemoveStaleTemporaries(jov::SettingsStorePath());

    jov::TMainForm mainForm;
    QObject::connect(&mainForm, &jov::TMainForm::closed, &application, &QApplication::quit);
    // Told to stop (kill, Ctrl+C, the terminal gone) or the desktop session ending: the
    // settings are saved as at a normal close, and nobody is asked anything.
    const jov::TStopSignals stopSignals([&mainForm] { mainForm.EndSession(); });
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &mainForm,
                     [&mainForm](QSessionManager &) { mainForm.EndSession(); });
    mainForm.show();
    return application.exec();
}
