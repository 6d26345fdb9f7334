#include "persistence/Options.h"

#include "persistence/Systeme.h"

#include <span>

namespace jov {

namespace {

void ReadOption(SettingsStore &store, const OptionKey &option, TOptionsRecord &record)
{
    const QString name = QLatin1String(option.name);
    if (option.flag)
        record.*option.flag = store.RegReadBool(OptionsKeyPath, name, record.*option.flag);
    else if (option.integer)
        record.*option.integer = store.RegReadInteger(OptionsKeyPath, name, record.*option.integer);
    else
        record.*option.text = store.RegReadString(OptionsKeyPath, name, record.*option.text);
}

bool WriteOption(SettingsStore &store, const OptionKey &option, const TOptionsRecord &record)
{
    const QString name = QLatin1String(option.name);
    if (option.flag)
        return store.RegWriteBool(OptionsKeyPath, name, record.*option.flag);
    if (option.integer)
        return store.RegWriteInteger(OptionsKeyPath, name, record.*option.integer);
    return store.RegWriteString(OptionsKeyPath, name, record.*option.text);
}

} // namespace

TOptionsRecord DefaultOptions(const QString &openFolder, const QString &saveFolder)
{
    TOptionsRecord record;
    record.openFolder = openFolder;
    record.saveFolder = saveFolder;
    return record;
}

TOptionsRecord StartupOptions()
{
    return DefaultOptions(ProgramFolder() + PathDelim + QStringLiteral("Palettes"),
                          StripTrailingBackslashes(DocumentsFolder()));
}

QString SlotValueName(int slotIndex)
{
    return QStringLiteral("Couleur") + QChar(u'A' + slotIndex);
}

QString LastPalettePath(const TOptionsRecord &record)
{
    return StripTrailingBackslashes(record.openFolder) + PathDelim + record.paletteName;
}

void LoadSettingsFromStore(SettingsStore &store, TOptionsRecord &record, QStringList &colorLines,
                           SlotColors &slotColors,
                           const std::function<void(const QString &path)> &loadPalette)
{
    // One look at the file for the whole load instead of one per value.
    StoreBatch batch(store);
    for (const OptionKey &option : OptionKeys)
        ReadOption(store, option, record);

    QStringList names;
    if (store.RegReadValueNames(ColorsKeyPath, names)) {
        for (const QString &name : names)
            colorLines.append(name + u'=' + store.RegReadString(ColorsKeyPath, name, QString()));
    }

    if (record.reloadPalette) {
        batch.commit();
        if (loadPalette)
            loadPalette(LastPalettePath(record));
        return;
    }
    record.paletteName = UntitledPaletteName;
    for (int i = 0; i < SlotCount; ++i) {
        const qint32 stored =
            store.RegReadInteger(PersonalKeyPath, SlotValueName(i), qint32(DefaultSlotColor));
        slotColors[std::size_t(i)] = ColorRef(quint32(stored) & 0x00FFFFFF);
    }
}

bool SaveSettingsToStore(SettingsStore &store, const TOptionsRecord &record,
                         const QStringList &colorLines, const SlotColors &slotColors)
{
    StoreBatch batch(store);
    // Op00 first, then the version, the other numbers, the colours, and the texts last.
    bool ok = WriteOption(store, OptionKeys.front(), record);
    ok &= store.RegWriteString(RootKeyPath, QStringLiteral("Version"), StoreVersion);
    for (const OptionKey &option : std::span(OptionKeys).subspan(1))
        if (!option.text)
            ok &= WriteOption(store, option, record);
    for (const QString &line : colorLines) {
        const qsizetype eq = line.indexOf(u'=');
        // A line without a name would land in the key's default value; it is not a colour.
        if (eq <= 0)
            continue;
        ok &= store.RegWriteString(ColorsKeyPath, line.first(eq), line.sliced(eq + 1));
    }
    for (int i = 0; i < SlotCount; ++i)
        ok &= store.RegWriteInteger(PersonalKeyPath, SlotValueName(i),
                                    qint32(slotColors[std::size_t(i)]));
    for (const OptionKey &option : OptionKeys)
        if (option.text)
            ok &= WriteOption(store, option, record);
    ok &= batch.commit();
    return ok;
}

QString SettingsStorePath()
{
    return WindowsFolder() + QStringLiteral("/Corvel Astine/JOV.reg");
}

} // namespace jov
