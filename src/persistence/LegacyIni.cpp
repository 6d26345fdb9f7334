#include "persistence/LegacyIni.h"

#include "color/NumberText.h"
#include "persistence/IniFile.h"
#include "persistence/RegularFile.h"
#include "persistence/Systeme.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <span>

namespace jov {

namespace {

// The legacy file held a few dozen short lines.
constexpr qint64 MaxLegacyIniSize = 1 << 20;

qint32 ReadInteger(const IniFile &ini, const QString &section, const QString &name,
                   qint32 defaultValue)
{
    const QString *text = ini.Value(section, name);
    if (!text)
        return defaultValue;
    return ParseIniInteger(*text).value_or(defaultValue);
}

} // namespace

QString LegacyIniPath()
{
    return WindowsFolder() + PathDelim + LegacyIniName;
}

QString LegacyIniSignature(const QString &path)
{
    const QFileInfo info(path);
    return QStringLiteral("%1:%2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}

bool IsLegacyIni(const QByteArray &content)
{
    const IniFile ini = IniFile::Parse(content);
    for (const OptionKey &option : std::span(OptionKeys).subspan(1, 9)) {
        if (ini.Value(QStringLiteral("Options"), QLatin1String(option.name)))
            return true;
    }
    if (!ini.Entries(QStringLiteral("Couleurs")).isEmpty())
        return true;
    for (int i = 0; i < SlotCount; ++i) {
        if (ini.Value(QStringLiteral("Perso"), SlotValueName(i)))
            return true;
    }
    return false;
}

void ImportLegacyIni(const QByteArray &content, TOptionsRecord &record, QStringList &colorLines,
                     SlotColors &slotColors)
{
    const IniFile ini = IniFile::Parse(content);
    // Op01 to Op09 of the key table: the colour, the copy choices and the window modes.
    const QString options = QStringLiteral("Options");
    for (const OptionKey &option : std::span(OptionKeys).subspan(1, 9)) {
        const QString name = QLatin1String(option.name);
        if (option.flag)
            record.*option.flag = ReadInteger(ini, options, name, record.*option.flag ? 1 : 0) != 0;
        else
            record.*option.integer = ReadInteger(ini, options, name, record.*option.integer);
    }

    colorLines.clear();
    for (const IniEntry &e : ini.Entries(QStringLiteral("Couleurs")))
        colorLines.append(e.name + u'=' + e.value);

    const QString perso = QStringLiteral("Perso");
    for (int i = 0; i < SlotCount; ++i) {
        const qint32 v = ReadInteger(ini, perso, SlotValueName(i), qint32(DefaultSlotColor));
        slotColors[std::size_t(i)] = ColorRef(quint32(v) & 0x00FFFFFF);
    }
}

LegacyImportResult ImportLegacyIniFile(const QString &path, SettingsStore &store,
                                       TOptionsRecord &record, QStringList &colorLines,
                                       SlotColors &slotColors, SettingsSnapshot *snapshot)
{
    // A FIFO, device or folder by that name is left alone, never opened in earnest.
    const RegularFileContent file = ReadRegularFile(path, MaxLegacyIniSize);
    if (!file.ok() || !IsLegacyIni(file.content))
        return LegacyImportResult::Unreadable;
    // The import writes over every setting: the settings as they were stay beside the store.
    if (!store.KeepCopy())
        return LegacyImportResult::Unreadable;

    ImportLegacyIni(file.content, record, colorLines, slotColors);
    // An empty snapshot makes the save write every value, and records them.
    if (snapshot)
        snapshot->clear();
    if (!SaveSettingsToStore(store, record, colorLines, slotColors, snapshot))
        return LegacyImportResult::SaveFailed;
    if (!QFile::remove(path))
        return LegacyImportResult::NotDeleted;
    return LegacyImportResult::Imported;
}

} // namespace jov
