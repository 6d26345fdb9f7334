#include "persistence/LegacyIni.h"

#include "persistence/IniFile.h"
#include "persistence/NumberText.h"
#include "persistence/Systeme.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

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
    return QStringLiteral("%1:%2").arg(info.size()).arg(
        info.lastModified().toMSecsSinceEpoch());
}

void ImportLegacyIni(const QByteArray &content, TOptionsRecord &record, QStringList &colorLines,
                     PaletteColors &slotColors)
{
    const IniFile ini = IniFile::Parse(content);
    const QString options = QStringLiteral("Options");
    record.Op01 = ReadInteger(ini, options, QStringLiteral("Op01"), record.Op01);
    record.Op02 = ReadInteger(ini, options, QStringLiteral("Op02"), record.Op02);
    record.Op03 = ReadInteger(ini, options, QStringLiteral("Op03"), record.Op03);
    bool TOptionsRecord::*const flags[] = {&TOptionsRecord::Op04, &TOptionsRecord::Op05,
                                           &TOptionsRecord::Op06, &TOptionsRecord::Op07,
                                           &TOptionsRecord::Op08, &TOptionsRecord::Op09};
    int number = 4;
    for (bool TOptionsRecord::*flag : flags) {
        record.*flag = ReadInteger(ini, options, OpName(number++), record.*flag ? 1 : 0) != 0;
    }

    colorLines.clear();
    for (const IniEntry &e : ini.Entries(QStringLiteral("Couleurs")))
        colorLines.append(e.name + u'=' + e.value);

    const QString perso = QStringLiteral("Perso");
    for (int i = 0; i < PaletteSlotCount; ++i) {
        const qint32 v = ReadInteger(ini, perso, SlotValueName(i), qint32(DefaultSlotColor));
        slotColors[std::size_t(i)] = ColorRef(quint32(v) & 0x00FFFFFF);
    }
}

LegacyImportResult ImportLegacyIniFile(const QString &path, SettingsStore &store,
                                       TOptionsRecord &record, QStringList &colorLines,
                                       PaletteColors &slotColors)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LegacyImportResult::Unreadable;
    const QByteArray content = file.read(MaxLegacyIniSize + 1);
    if (file.error() != QFileDevice::NoError || content.size() > MaxLegacyIniSize)
        return LegacyImportResult::Unreadable;
    file.close();

    ImportLegacyIni(content, record, colorLines, slotColors);
    if (!SaveSettingsToStore(store, record, colorLines, slotColors))
        return LegacyImportResult::SaveFailed;
    if (!QFile::remove(path))
        return LegacyImportResult::NotDeleted;
    return LegacyImportResult::Imported;
}

} // namespace jov
