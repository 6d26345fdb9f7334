#pragma once

#include "persistence/PaletteFile.h"

#include <QByteArray>
#include <QString>

namespace jov {

// GIMP palette files (.gpl), read and written beside the JASC-PAL files of PaletteFile.h.
//
// What is read: lines end at LF, a CR right before the LF is dropped (files edited on Windows).
// - line 1 is "GIMP Palette" (blanks or tabs after it are tolerated, and a UTF-8 byte order
//   mark before it);
// - before the first colour, lines starting with "Name:" or "Columns:" are header fields; their
//   values are not used (the palette is named after its file, as a .pal is), so they are not
//   checked either;
// - a line whose first non-blank character is "#" is a comment, a line of blanks or tabs only is
//   skipped;
// - every other line is a colour: optional leading blanks or tabs, then red, green and blue as
//   decimal integers 0..255 (digits only, leading zeros allowed), separated by blanks or tabs,
//   then optionally a blank or tab and a name, which is ignored.
// A palette may hold any number of colours, none included: GIMP itself saves empty palettes,
// and loading one clears the sixteen slots. A file of up to 1 MiB is read.

enum class GimpPaletteError {
    None,
    NotGimpPalette, // first line is not "GIMP Palette"
    BadColor,       // a line that is neither a header field, a comment, blank, nor a colour
    NotRegular,     // a folder, FIFO, device or socket
    TooLarge,       // over 1 MiB
    IoError,        // missing, or could not be opened or read
};

struct GimpPaletteReadResult
{
    // The first sixteen colours of the file in slots 1 to 16; slots past the file's last colour
    // hold DefaultSlotColor (white). Meaningful only when error is None: a faulty file yields
    // all zeros, so a caller can never half-load a palette.
    SlotColors colors{};
    // How many colours the file holds (0 when faulty).
    int colorCount = 0;
    GimpPaletteError error = GimpPaletteError::None;
    // 1-based line of the fault, -1 when there is none or the file could not be read.
    int line = -1;

    bool ok() const { return error == GimpPaletteError::None; }
    // Colours of the file that did not find a slot.
    int ignoredCount() const { return colorCount > SlotCount ? colorCount - SlotCount : 0; }
};

inline constexpr qint64 MaxGimpPaletteSize = 1 << 20;

// Checks the whole text before returning anything.
GimpPaletteReadResult ReadGimpPalette(const QByteArray &content);
// Reads without blocking on a FIFO or device; anything but a regular file of at most
// MaxGimpPaletteSize bytes is refused with the matching error.
GimpPaletteReadResult ReadGimpPaletteFile(const QString &path);

// "GIMP Palette", "Name: " + name, "Columns: 16", "#", then one line per slot as GIMP writes it:
// red, green and blue right-aligned in three characters and separated by one blank, a tab and
// the colour's "#RRGGBB" as its name; every line ended by LF. Line breaks in name become blanks
// and its outer blanks are dropped, so the name can never break the file.
QByteArray GimpPaletteText(const SlotColors &colors, const QString &name);

// The name written into a file saved at path: its file name without folder and without its
// last extension ("my.old.gpl" gives "my.old").
QString GimpPaletteNameFor(const QString &path);

// Writes GimpPaletteText(colors, GimpPaletteNameFor(path)) through a temporary file renamed over
// the target: on any failure it returns false and a file already at path is left as it was.
bool WriteGimpPaletteFile(const QString &path, const SlotColors &colors);

// The status line text for colours left out: " 4 couleurs ignorées (seules les 16 premières sont
// chargées)", in the singular for one; empty when none was left out.
QString GimpIgnoredColorsMessage(int ignoredCount);

// Which reader or writer a palette path goes to.
enum class PaletteFormat { JascPal, Gimp };

// Filters of the open and save dialogs, JASC-PAL first (the dialogs' default).
QString JascOpenFilter();
QString JascSaveFilter();
QString GimpFilter();

// The format of a file being opened (or loaded at start-up): GIMP for a ".gpl" extension in any
// letter case, JASC-PAL for everything else, so a .pal keeps its reader and its messages.
PaletteFormat PaletteFormatOfPath(const QString &path);

// Where and how to save. A typed ".gpl" or ".pal" extension (any letter case) decides the format
// whatever filter is selected; otherwise the selected filter decides (GimpFilter gives GIMP,
// anything else JASC-PAL), and a path with no extension at all gets the format's one appended.
struct PaletteSaveTarget
{
    QString path;
    PaletteFormat format = PaletteFormat::JascPal;
};
PaletteSaveTarget ResolvePaletteSave(const QString &chosenPath, const QString &selectedFilter);

} // namespace jov
