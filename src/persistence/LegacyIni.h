#pragma once

#include "persistence/Options.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace jov {

class SettingsStore;

inline const QString LegacyIniName = QStringLiteral("JOV.ini");

// Where an older version left its settings: the legacy folder + "JOV.ini".
QString LegacyIniPath();

// A legacy file that could not be deleted after its import is remembered in the root key under
// this value name, by its signature (size and time of last change), so that it is not imported
// again over newer settings at every start. A file that changes is imported anew.
inline const QString LegacyImportedValue = QStringLiteral("LegacyIni");
QString LegacyIniSignature(const QString &path);

// Reads the content of a legacy settings file over the record, list and slots:
// [Options] Op01..Op03 as integers, Op04..Op09 as Booleans (non-zero is true), each keeping its
// current value when missing or not a number; [Couleurs] replaces colorLines by its entries as
// "name=value"; [Perso] CouleurA..CouleurP give the slots, white when missing. Integers are
// decimal or "0x"/"0X" hexadecimal; slots keep their 24 colour bits.
void ImportLegacyIni(const QByteArray &content, TOptionsRecord &record, QStringList &colorLines,
                     SlotColors &slotColors);

// Whether the content holds at least one entry the legacy format knows: Op01..Op09 in
// [Options], any entry in [Couleurs], CouleurA..CouleurP in [Perso]. Anything else (random
// bytes, some other program's INI file) is not imported.
bool IsLegacyIni(const QByteArray &content);

enum class LegacyImportResult {
    Imported,   // read, saved to the store, file deleted
    NotDeleted, // read and saved, but the file could not be deleted
    SaveFailed, // read, but the store refused the settings: the file is kept for a later run
    // Not imported: the file could not be read, is not a legacy settings file, or the store
    // could not be copied aside first. Nothing changed, the file is kept.
    Unreadable,
};

// The whole import: reads the file (only a regular file that IsLegacyIni accepts), keeps a
// copy of the store beside it (SettingsStore::KeepCopy), saves all settings
// (SaveSettingsToStore, every value, recorded in the snapshot when one is given) and deletes
// the file only when saving succeeded, so the old settings are never lost. On Unreadable the
// caller goes on with the ordinary load from the store.
LegacyImportResult ImportLegacyIniFile(const QString &path, SettingsStore &store,
                                       TOptionsRecord &record, QStringList &colorLines,
                                       SlotColors &slotColors,
                                       SettingsSnapshot *snapshot = nullptr);

} // namespace jov
