#pragma once

#include "color/SlotOps.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace jov {

// Name of the palette nobody has saved yet.
inline const QString UntitledPaletteName = QStringLiteral("SansNom.pal");

enum class PaletteError {
    None,
    NotPalette, // first line is not exactly "JASC-PAL"
    BadVersion, // second line is not "0100"
    BadCount,   // third line is not "16"
    BadData,    // a colour line is missing or does not read as three numbers
    IoError,    // the file could not be opened or read
};

struct PaletteReadResult
{
    // The sixteen colours, slot 1 first; meaningful only when error is None. A faulty file
    // yields no colours at all, so a caller can never half-load a palette.
    SlotColors colors{};
    PaletteError error = PaletteError::None;
    // 1-based line of the fault, -1 when there is none or the file could not be read.
    int line = -1;

    bool ok() const { return error == PaletteError::None; }
};

// The whole file: "JASC-PAL", "0100", "16" and one "r g b" line per slot, each ended by CR LF.
QByteArray PaletteFileText(const SlotColors &colors);

// Checks the whole text before returning anything. Lines end at LF, a CR right before the LF is
// dropped; anything after the sixteenth colour line is ignored.
PaletteReadResult ReadPalette(const QByteArray &content);
PaletteReadResult ReadPaletteFile(const QString &path);

// Writes through a temporary file renamed over the target: on any failure it returns false and
// a file already at path is left as it was.
bool WritePaletteFile(const QString &path, const SlotColors &colors);

// "JOV - " + name cut before its first "." + " *" when modified.
QString PaletteTitle(const QString &name, bool modified);

// The file name of a path, without its folder.
QString BaseFileName(const QString &path);

// The folder of a path followed by one folder separator, as the palette dialogs remember it.
QString FolderOfFile(const QString &path);

// The French notice for a faulty palette header, starting with CR LF; empty for the faults that
// only beep (BadData, IoError) and for None.
QString PaletteErrorMessage(PaletteError error);

} // namespace jov
