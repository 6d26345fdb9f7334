#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace jov {

// Folder separator of the platform; folders are always handled without a trailing one.
inline constexpr QChar PathDelim = QLatin1Char('/');

// The text without any trailing folder separator ("\" and, on this platform, "/").
QString StripTrailingBackslashes(const QString &text);

// The folder of the running program, without trailing separator.
QString ProgramFolder();
// Not a Windows folder, whatever the name kept from the older version says: the XDG
// configuration folder ($XDG_CONFIG_HOME, by default ~/.config), where the legacy settings
// file is looked for.
QString WindowsFolder();
// The user's documents folder.
QString DocumentsFolder();

// The palettes' own folder in the user's data ($XDG_DATA_HOME, by default ~/.local/share):
// ".../jov/Palettes". It may not exist yet.
QString UserPaletteFolder();
// The folder of the palette dialogs on a first run: `programFolder`/Palettes when it is a
// folder the user can write (an unpacked tree that ships palettes), else `userFolder`.
QString DefaultPaletteFolder(const QString &programFolder, const QString &userFolder);
// Makes `folder` when it is UserPaletteFolder and is missing, so that a dialog opens there;
// any other folder is left as it is.
void MakeUserPaletteFolder(const QString &folder);

// A design size in pixels at 96 ppi converted for a screen of `ppi` pixels per inch:
// size * (ppi - 2) / 96, rounded to nearest with halves to even; unchanged at 96 ppi or when
// the computation cannot be done.
int ScaleToScreen(int size, int ppi);

// The manual, in French HTML, in the folder "aide": the full manual of several pages opened at
// its contents page, and the same manual on one printable page. The English manual, in the
// same files, is in its subfolder "en".
inline constexpr char HelpFolderName[] = "aide";
inline constexpr char HelpEnglishFolderName[] = "en";
inline constexpr char HelpIndexFileName[] = "index.html";
inline constexpr char HelpSinglePageFileName[] = "manuel.html";

// Whether help opens the one-page manual rather than the full one: when the first argument
// after the program is "/noversion" in any letter case. (The version rule that would pick the
// old format for old Windows releases gives the full manual everywhere else.)
bool UseWinHelp(const QStringList &arguments);
// The manual to open, looked for from the running program's folder: HelpFilePathIn with
// ProgramFolder.
QString HelpFilePath(bool winHelp, QLocale::Language language);
// The manual's file (HelpSinglePageFileName when winHelp, else HelpIndexFileName) in the first
// of these folders that holds it as a regular file: `programFolder`/aide (beside the program:
// the build tree, an unpacked folder), then InstalledHelpDir relative to `programFolder` (an
// installed tree under any prefix). In English, the subfolder "en" of each of them is looked in
// first, and the French manual is the fallback; any other language gets the French manual.
// Empty when no folder holds it.
QString HelpFilePathIn(const QString &programFolder, bool winHelp, QLocale::Language language);
// The status message for a manual that cannot be found, with the file name:
// " Aide introuvable : index.html".
QString HelpMissingText(bool winHelp);

} // namespace jov
