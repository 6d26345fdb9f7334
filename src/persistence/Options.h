#pragma once

#include "color/ColorText.h"
#include "color/SampleSquare.h"
#include "persistence/PaletteFile.h"
#include "persistence/Placement.h"
#include "persistence/SettingsStore.h"

#include "Version.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace jov {

// Where the settings live in the current user's store.
inline const QString RootKeyPath = QStringLiteral("Software\\Corvel Astine\\JOV");
inline const QString OptionsKeyPath = RootKeyPath + QStringLiteral("\\Options");
inline const QString ColorsKeyPath = RootKeyPath + QStringLiteral("\\Colors");
inline const QString PersonalKeyPath = RootKeyPath + QStringLiteral("\\Personal");
inline const QString StoreVersion = QString::fromLatin1(ProgramVersion);
// The subkey of the main window's placement record.
inline const QString PlacementKeyPath = RootKeyPath + u'\\' + PlacementSection;

// The per-user store file: "JOV.reg" in the folder "Corvel Astine" of the user's configuration
// folder ($XDG_CONFIG_HOME, by default ~/.config).
QString SettingsStorePath();

// Colour a slot has when nothing was stored for it.
inline constexpr ColorRef DefaultSlotColor = clWhite;

// The options of the main window, with the defaults of a first run. openFolder and saveFolder
// depend on the folders of the machine and are filled by the caller (see DefaultOptions). The
// name each option is stored under is in the key table of Options.cpp (OptionKeys).
struct TOptionsRecord
{
    bool carriedOver = false;                  // Op00: read and written back, never acted upon
    qint32 red = 0;                            // Op01: red of the current colour
    qint32 green = 0;                          // Op02: green
    qint32 blue = 0;                           // Op03: blue
    bool valueOnly = false;                    // Op04: copy the value only
    bool formatHexa = false;                   // Op05: copy format HEXA
    bool formatHtml = true;                    // Op06: copy format HTML
    bool formatRgb = false;                    // Op07: copy format RGB
    bool alwaysOnTop = false;                  // Op08: always on top
    bool compact = false;                      // Op09: compact mode
    bool savePlacement = true;                 // Op11: save the window placement at close
    bool rememberFolders = true;               // Op12: remember the palette folders
    bool reloadPalette = false;                // Op13: reload the last palette file at start-up
    bool askToSavePalette = true;              // Op14: offer to save a modified palette
    bool untitledOnCtrl = false;               // Op15: Ctrl+click on add/remove makes it untitled
    bool clickApplies = false;                 // Op16: a click on a slot applies it
    bool clearFromSelected = false;            // Op17: clear-all starts at the selected slot
    bool gradientFromSelected = false;         // Op18: the gradient starts at the selected slot
    qint32 gradientDivisor = 16;               // Op19: gradient divisor
    bool showLoupe = true;                     // Op33: the loupe follows the pipette
    qint32 sampleSide = DefaultSampleSide;     // Op34: side of the pipette's sampling square
    QString openFolder;                        // Op30: folder of the open dialog
    QString saveFolder;                        // Op31: folder of the save dialog
    QString paletteName = UntitledPaletteName; // Op32: palette name

    bool operator==(const TOptionsRecord &) const = default;
};

// One stored option: its value name in the "Options" key and the field of the record that
// holds it (exactly one of the three is set).
struct OptionKey
{
    const char *name;
    bool TOptionsRecord::*flag = nullptr;
    qint32 TOptionsRecord::*integer = nullptr;
    QString TOptionsRecord::*text = nullptr;
};

// The key table: every stored option in the order it is read, Op00 to Op09, Op11 to Op19,
// Op33, Op34, Op30 to Op32. The numbers are written in this order, the texts after them.
inline constexpr std::array<OptionKey, 24> OptionKeys{{
    {"Op00", &TOptionsRecord::carriedOver},
    {"Op01", nullptr, &TOptionsRecord::red},
    {"Op02", nullptr, &TOptionsRecord::green},
    {"Op03", nullptr, &TOptionsRecord::blue},
    {"Op04", &TOptionsRecord::valueOnly},
    {"Op05", &TOptionsRecord::formatHexa},
    {"Op06", &TOptionsRecord::formatHtml},
    {"Op07", &TOptionsRecord::formatRgb},
    {"Op08", &TOptionsRecord::alwaysOnTop},
    {"Op09", &TOptionsRecord::compact},
    {"Op11", &TOptionsRecord::savePlacement},
    {"Op12", &TOptionsRecord::rememberFolders},
    {"Op13", &TOptionsRecord::reloadPalette},
    {"Op14", &TOptionsRecord::askToSavePalette},
    {"Op15", &TOptionsRecord::untitledOnCtrl},
    {"Op16", &TOptionsRecord::clickApplies},
    {"Op17", &TOptionsRecord::clearFromSelected},
    {"Op18", &TOptionsRecord::gradientFromSelected},
    {"Op19", nullptr, &TOptionsRecord::gradientDivisor},
    {"Op33", &TOptionsRecord::showLoupe},
    {"Op34", nullptr, &TOptionsRecord::sampleSide},
    {"Op30", nullptr, nullptr, &TOptionsRecord::openFolder},
    {"Op31", nullptr, nullptr, &TOptionsRecord::saveFolder},
    {"Op32", nullptr, nullptr, &TOptionsRecord::paletteName},
}};

// The record of a first run: openFolder is the program folder + "Palettes", saveFolder the
// documents folder without trailing separator.
TOptionsRecord DefaultOptions(const QString &openFolder, const QString &saveFolder);
// DefaultOptions with this machine's folders: DefaultPaletteFolder (ProgramFolder + "Palettes"
// or UserPaletteFolder), and the documents folder, or the palettes' when there is none.
TOptionsRecord StartupOptions();

// Only the options (the key table), over what the record holds; a sampling side that is not
// one reads as the default. Reads nothing else and writes nothing.
void LoadOptionsFromStore(SettingsStore &store, TOptionsRecord &record);

// The copy format the record selects; None when no format is selected.
CopyFormat CopyFormatOf(const TOptionsRecord &record);

// "CouleurA" for slot index 0 ... "CouleurP" for index 15.
QString SlotValueName(int slotIndex);

// The file reloaded at start-up when Op13 is set: Op30 without trailing separators, a
// separator, Op32.
QString LastPalettePath(const TOptionsRecord &record);

// What one run knows of the stored settings, so that it writes back only what it changed and
// a value another instance of the program changed in the meantime survives. For every value
// SaveSettingsToStore writes it holds what the store held when this run loaded the settings, or
// that the store held nothing there together with the value this run took instead (its
// default); every value this run writes replaces it. The window keeps one for its whole run
// and passes it to the load (or the import) and to every save.
class SettingsSnapshot
{
public:
    // A value as stored: an integer (numbers and Booleans) or a text.
    struct Value
    {
        bool isText = false;
        qint32 number = 0;
        QString text;

        static Value Number(qint32 n) { return {false, n, {}}; }
        static Value Text(const QString &t) { return {true, 0, t}; }
        bool operator==(const Value &) const = default;
    };
    struct Entry
    {
        bool stored = false; // false: the store held no value of that type
        Value value;         // the stored value; when not stored, the value the run took
    };

    bool isEmpty() const { return m_entries.isEmpty(); }
    void clear() { m_entries.clear(); }
    // nullptr when nothing is known of that value.
    const Entry *find(const QString &key, const QString &name) const;
    void set(const QString &key, const QString &name, const Entry &entry);
    // One value's identity: key and name without regard to case.
    static QString Id(const QString &key, const QString &name);

private:
    QHash<QString, Entry> m_entries;
};

// Reads the settings over what the record, list and slots hold, which serve as defaults:
// the options in key order, Op30 to Op32, the colour dialog's lines (appended to colorLines as
// "name=value", in stored order), then either the last palette through loadPalette (Op13 set;
// the stored slots are not read) or the stored slots with Op32 back to "SansNom.pal". A slot
// keeps only the 24 colour bits of what was stored. With a snapshot, it is filled afresh with
// what the store holds for every value a save writes (the slots too when Op13 is set), before
// the palette is loaded.
void LoadSettingsFromStore(SettingsStore &store, TOptionsRecord &record, QStringList &colorLines,
                           SlotColors &slotColors,
                           const std::function<void(const QString &path)> &loadPalette,
                           SettingsSnapshot *snapshot = nullptr);

// Writes the settings, one value per call, in this order: Op00, the root "Version", Op01 to
// Op09, Op11 to Op19, Op33, the colour dialog's lines, the sixteen slots, Op30 to Op32. Lines
// without "=" or with nothing before it are skipped. All the writes form one batch (one
// replacement of the store file). Returns true when every value written reached the store.
//
// Without a snapshot every value is written. With one, a value is written only when this run
// changed it: when it differs from what the snapshot holds, or when the snapshot knows nothing
// of it, or when the store held nothing there at load and still holds nothing (a first run
// fills the store). Values other instances changed meanwhile are thus kept, and where both
// changed one value the last save wins. After a save that reached the store the snapshot holds
// the values written.
bool SaveSettingsToStore(SettingsStore &store, const TOptionsRecord &record,
                         const QStringList &colorLines, const SlotColors &slotColors,
                         SettingsSnapshot *snapshot = nullptr);

} // namespace jov
