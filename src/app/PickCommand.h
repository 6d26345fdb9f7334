#pragma once

#include <QString>

namespace jov {

struct CommandLine;

// `jov --pick`: picks one colour with no main window, as the window's pipette does but started
// at once, wherever the pointer is. A left click (press and release) picks; Escape or a right
// click cancels. The colour's text, as the window's Copy gives it under the stored choices (or
// the command line's), goes to stdout on one line and, unless --no-copy, to the clipboard, where
// it stays after the command has returned. Reads the settings store and writes nothing to it.
// Returns the exit status: 0 picked, 1 cancelled, 3 picking impossible (a French line on stderr).
int RunPick(const CommandLine &commandLine);

// The background keeper of a picked colour's text: owns the clipboard with `text` and ends as
// soon as another program takes it.
int RunClipboardKeeper(const QString &text);

} // namespace jov
