#pragma once

#include "persistence/PaletteFile.h"
#include "persistence/Placement.h"
#include "persistence/SettingsStore.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace jov {

// Where the settings live in the current user's store.
inline const QString RootKeyPath = QStringLiteral("Software\\Corvel Astine\\JOV");
inline const QString OptionsKeyPath = RootKeyPath + QStringLiteral("\\Options");
inline const QString ColorsKeyPath = RootKeyPath + QStringLiteral("\\Colors");
inline const QString PersonalKeyPath = RootKeyPath + QStringLiteral("\\Personal");
inline const QString StoreVersion = QStringLiteral("3.0.0.0");
// The subkey of the main window's placement record.
inline const QString PlacementKeyPath = RootKeyPath + u'\\' + PlacementSection;

// The per-user store file: "JOV.reg" in the folder "Corvel Astine" of the user's configuration
// folder ($XDG_CONFIG_HOME, by default ~/.config).
QString SettingsStorePath();

// Colour a slot has when nothing was stored for it.
inline constexpr ColorRef DefaultSlotColor = clWhite;

// The options of the main window, with the defaults of a first run. Op30 and Op31 depend on
// the folders of the machine and are filled by the caller (see DefaultOptions).
struct TOptionsRecord
{
    bool Op00 = false;                  // carried over, never acted upon
    qint32 Op01 = 0;                    // red of the current colour
    qint32 Op02 = 0;                    // green
    qint32 Op03 = 0;                    // blue
    bool Op04 = false;                  // copy the value only
    bool Op05 = false;                  // copy format HEXA
    bool Op06 = true;                   // copy format HTML
    bool Op07 = false;                  // copy format RGB
    bool Op08 = false;                  // always on top
    bool Op09 = false;                  // compact mode
    bool Op11 = true;                   // save the window placement at close
    bool Op12 = true;                   // remember the palette folders
    bool Op13 = false;                  // reload the last palette file at start-up
    bool Op14 = true;                   // offer to save a modified palette
    bool Op15 = false;                  // Ctrl+click on add/remove makes the palette untitled
    bool Op16 = false;                  // a click on a slot applies it
    bool Op17 = false;                  // clear-all starts at the selected slot
    bool Op18 = false;                  // the gradient starts at the selected slot
    qint32 Op19 = 16;                   // gradient divisor
    QString Op30;                       // folder of the open dialog
    QString Op31;                       // folder of the save dialog
    QString Op32 = UntitledPaletteName; // palette name

    bool operator==(const TOptionsRecord &) const = default;
};

// The record of a first run: openFolder is the program folder + "Palettes", saveFolder the
// documents folder without trailing separator.
TOptionsRecord DefaultOptions(const QString &openFolder, const QString &saveFolder);
// DefaultOptions with this machine's folders: ProgramFolder + "Palettes" and the documents
// folder.
TOptionsRecord StartupOptions();

// "Op01" for option 1 ... "Op32" for option 32.
QString OpName(int n);

// "CouleurA" for slot index 0 ... "CouleurP" for index 15.
QString SlotValueName(int slotIndex);

// The file reloaded at start-up when Op13 is set: Op30 without trailing separators, a
// separator, Op32.
QString LastPalettePath(const TOptionsRecord &record);

// Reads the settings over what the record, list and slots hold, which serve as defaults:
// the options in key order, Op30 to Op32, the colour dialog's lines (appended to colorLines as
// "name=value", in stored order), then either the last palette through loadPalette (Op13 set;
// the stored slots are not read) or the stored slots with Op32 back to "SansNom.pal". A slot
// keeps only the 24 colour bits of what was stored.
void LoadSettingsFromStore(SettingsStore &store, TOptionsRecord &record, QStringList &colorLines,
                           PaletteColors &slotColors,
                           const std::function<void(const QString &path)> &loadPalette);

// Writes everything, one value per call, in this order: Op00, the root "Version", Op01 to Op09,
// Op11 to Op19, the colour dialog's lines, the sixteen slots, Op30 to Op32. Lines without "="
// or with nothing before it are skipped. All the writes form one batch. Returns true when
// every value reached the store.
bool SaveSettingsToStore(SettingsStore &store, const TOptionsRecord &record,
                         const QStringList &colorLines, const PaletteColors &slotColors);

} // namespace jov
