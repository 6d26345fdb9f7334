#pragma once

#include "color/ColorText.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace jov {

// What the command line asks for. The options of Qt's own (-display, -platform, -style, ...)
// are set apart and left to the application; "/noversion" and other words are not options.
struct CommandLine
{
    enum class Action {
        Window,        // the main window (no option, or only Qt's and "/noversion")
        Pick,          // --pick: pick one colour, print it, copy it, end
        Help,          // -h, --help
        Version,       // -v, --version
        KeepClipboard, // the program's own background keeper of a picked colour's text
        UsageError,    // anything else: `error` says what, in French
    };
    Action action = Action::Window;
    QString error;

    // --pick's choices; unset: the stored ones.
    std::optional<CopyFormat> format;
    bool valueOnly = false;
    bool noCopy = false;
    std::optional<int> sampleSide;
    // The text the keeper holds on the clipboard.
    QString clipboardText;

    // Qt's own options as given, each with its value, to be handed on to another run; and the
    // display and platform they name (empty when not given).
    QStringList qtArguments;
    QString display;
    QString platform;
};

// Reads the arguments, the program's name first.
CommandLine ParseCommandLine(const QStringList &arguments);

// The text of --help, --version, and the usage line printed after an error; each ends with a
// line break.
QString HelpText();
QString VersionText();
QString UsageText();

// Whether the program can know before it starts that it has no display to show anything on:
// an X11 platform (Qt's default) with no display named on the command line nor in DISPLAY, and
// no Wayland display either when no platform was chosen. The environment's values are passed
// in so the rule can be tried without touching the process environment.
bool DisplayMissing(const CommandLine &commandLine, const QString &qpaPlatform,
                    const QString &displayVariable, const QString &waylandDisplay);

} // namespace jov
