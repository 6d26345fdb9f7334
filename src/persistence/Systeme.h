#pragma once

#include <QString>
#include <QStringList>

namespace jov {

// Folder separator of the platform; folders are always handled without a trailing one.
inline constexpr QChar PathDelim = QLatin1Char('/');

// The text without any trailing folder separator ("\" and, on this platform, "/").
QString StripTrailingBackslashes(const QString &text);

// The folder of the running program, without trailing separator.
QString ProgramFolder();
// The folder that held the legacy settings file: $XDG_CONFIG_HOME, by default ~/.config.
QString WindowsFolder();
// The user's documents folder.
QString DocumentsFolder();

// A design size in pixels at 96 ppi converted for a screen of `ppi` pixels per inch:
// size * (ppi - 2) / 96, rounded to nearest with halves to even; unchanged at 96 ppi or when
// the computation cannot be done.
int ScaleToScreen(int size, int ppi);

// Whether help opens the old-style help file "JOV.hlp" rather than "JOV.chm": when the first
// argument after the program is "/noversion" in any letter case. The version rule that would
// otherwise pick the old format for old Windows releases gives the newer format everywhere else.
bool UseWinHelp(const QStringList &arguments);
// The help file beside the program.
QString HelpFilePath(bool winHelp);

} // namespace jov
