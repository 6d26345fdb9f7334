#include "persistence/Options.h"

#include "persistence/Systeme.h"

#include <QFileInfo>

#include <optional>
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

// One value a save writes.
struct SettingValue
{
    QString key;
    QString name;
    SettingsSnapshot::Value value;
};

SettingsSnapshot::Value OptionValue(const OptionKey &option, const TOptionsRecord &record)
{
    if (option.flag)
        return SettingsSnapshot::Value::Number(record.*option.flag ? 1 : 0);
    if (option.integer)
        return SettingsSnapshot::Value::Number(record.*option.integer);
    return SettingsSnapshot::Value::Text(record.*option.text);
}

// Every value a save writes, in the order it writes them: Op00 first, then the version, the
// other numbers, the colours, and the texts last.
QList<SettingValue> SettingValues(const TOptionsRecord &record, const QStringList &colorLines,
                                  const SlotColors &slotColors)
{
    QList<SettingValue> values;
    const auto addOption = [&](const OptionKey &option) {
        values.append({OptionsKeyPath, QLatin1String(option.name), OptionValue(option, record)});
    };
    addOption(OptionKeys.front());
    values.append(
        {RootKeyPath, QStringLiteral("Version"), SettingsSnapshot::Value::Text(StoreVersion)});
    for (const OptionKey &option : std::span(OptionKeys).subspan(1))
        if (!option.text)
            addOption(option);
    for (const QString &line : colorLines) {
        const qsizetype eq = line.indexOf(u'=');
        // A line without a name would land in the key's default value; it is not a colour.
        if (eq > 0)
            values.append({ColorsKeyPath, line.first(eq),
                           SettingsSnapshot::Value::Text(line.sliced(eq + 1))});
    }
    for (int i = 0; i < SlotCount; ++i)
        values.append({PersonalKeyPath, SlotValueName(i),
                       SettingsSnapshot::Value::Number(qint32(slotColors[std::size_t(i)]))});
    for (const OptionKey &option : OptionKeys)
        if (option.text)
            addOption(option);
    return values;
}

bool WriteValue(SettingsStore &store, const SettingValue &v)
{
    if (v.value.isText)
        return store.RegWriteString(v.key, v.name, v.value.text);
    return store.RegWriteInteger(v.key, v.name, v.value.number);
}

// What the store holds under the value's name with the value's type; nothing when it holds no
// value of that type.
std::optional<SettingsSnapshot::Value> StoredValue(SettingsStore &store, const SettingValue &v)
{
    const std::optional<RegValue> stored = store.RegReadValue(v.key, v.name);
    if (!stored)
        return std::nullopt;
    if (v.value.isText && stored->type == RegValueType::String)
        return SettingsSnapshot::Value::Text(stored->text);
    if (!v.value.isText && stored->type == RegValueType::Dword)
        return SettingsSnapshot::Value::Number(qint32(stored->dword));
    return std::nullopt;
}

void TakeSnapshot(SettingsStore &store, const TOptionsRecord &record, const QStringList &colorLines,
                  const SlotColors &slotColors, SettingsSnapshot &snapshot)
{
    snapshot.clear();
    for (const SettingValue &v : SettingValues(record, colorLines, slotColors)) {
        const std::optional<SettingsSnapshot::Value> stored = StoredValue(store, v);
        snapshot.set(v.key, v.name,
                     stored ? SettingsSnapshot::Entry{true, *stored}
                            : SettingsSnapshot::Entry{false, v.value});
    }
}

// Forwards to a store and keeps every value read, so that a load that also takes a snapshot
// reads each value once.
class ReadOnce final : public SettingsStore
{
public:
    explicit ReadOnce(SettingsStore &store) : m_store(store) {}

    bool RegWriteString(const QString &key, const QString &name, const QString &value) override
    {
        m_read.remove(SettingsSnapshot::Id(key, name));
        return m_store.RegWriteString(key, name, value);
    }
    bool RegWriteInteger(const QString &key, const QString &name, qint32 value) override
    {
        m_read.remove(SettingsSnapshot::Id(key, name));
        return m_store.RegWriteInteger(key, name, value);
    }
    bool RegReadValueNames(const QString &key, QStringList &names) override
    {
        return m_store.RegReadValueNames(key, names);
    }
    std::optional<RegValue> RegReadValue(const QString &key, const QString &name) override
    {
        const QString id = SettingsSnapshot::Id(key, name);
        if (const auto it = m_read.constFind(id); it != m_read.cend())
            return *it;
        return *m_read.insert(id, m_store.RegReadValue(key, name));
    }

private:
    SettingsStore &m_store;
    QHash<QString, std::optional<RegValue>> m_read;
};

bool ChangedByThisRun(SettingsStore &store, const SettingsSnapshot &snapshot, const SettingValue &v)
{
    const SettingsSnapshot::Entry *known = snapshot.find(v.key, v.name);
    if (!known || known->value != v.value)
        return true;
    // Unchanged, but the store held nothing there at load: written unless another instance
    // has filled it since.
    return !known->stored && !StoredValue(store, v);
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
    // Both dialogs open in folders the user can write: the palettes' folder, and the documents
    // folder when there is one.
    const QString palettes = DefaultPaletteFolder(ProgramFolder(), UserPaletteFolder());
    const QString documents = StripTrailingBackslashes(DocumentsFolder());
    return DefaultOptions(palettes, QFileInfo(documents).isDir() ? documents : palettes);
}

QString SlotValueName(int slotIndex)
{
    return QStringLiteral("Couleur") + QChar(u'A' + slotIndex);
}

QString LastPalettePath(const TOptionsRecord &record)
{
    return StripTrailingBackslashes(record.openFolder) + PathDelim + record.paletteName;
}

QString SettingsSnapshot::Id(const QString &key, const QString &name)
{
    // A line break can be part of neither a key path nor a value name.
    return (key + u'\n' + name).toCaseFolded();
}

const SettingsSnapshot::Entry *SettingsSnapshot::find(const QString &key, const QString &name) const
{
    const auto it = m_entries.constFind(Id(key, name));
    return it == m_entries.cend() ? nullptr : &*it;
}

void SettingsSnapshot::set(const QString &key, const QString &name, const Entry &entry)
{
    m_entries.insert(Id(key, name), entry);
}

void LoadSettingsFromStore(SettingsStore &store, TOptionsRecord &record, QStringList &colorLines,
                           SlotColors &slotColors,
                           const std::function<void(const QString &path)> &loadPalette,
                           SettingsSnapshot *snapshot)
{
    // One look at the file for the whole load instead of one per value, and one read of each
    // value for both the settings and the snapshot.
    StoreBatch batch(store);
    ReadOnce reads(store);
    LoadOptionsFromStore(reads, record);

    QStringList names;
    if (reads.RegReadValueNames(ColorsKeyPath, names)) {
        for (const QString &name : names)
            colorLines.append(name + u'=' + reads.RegReadString(ColorsKeyPath, name, QString()));
    }

    if (record.reloadPalette) {
        if (snapshot)
            TakeSnapshot(reads, record, colorLines, slotColors, *snapshot);
        batch.commit();
        if (loadPalette)
            loadPalette(LastPalettePath(record));
        return;
    }
    record.paletteName = UntitledPaletteName;
    for (int i = 0; i < SlotCount; ++i) {
        const qint32 stored =
            reads.RegReadInteger(PersonalKeyPath, SlotValueName(i), qint32(DefaultSlotColor));
        slotColors[std::size_t(i)] = ColorRef(quint32(stored) & 0x00FFFFFF);
    }
    if (snapshot)
        TakeSnapshot(reads, record, colorLines, slotColors, *snapshot);
}

bool SaveSettingsToStore(SettingsStore &store, const TOptionsRecord &record,
                         const QStringList &colorLines, const SlotColors &slotColors,
                         SettingsSnapshot *snapshot)
{
    // The batch reads the store afresh: another instance may have replaced it since the load.
    StoreBatch batch(store);
    bool ok = true;
    QList<SettingValue> written;
    for (const SettingValue &v : SettingValues(record, colorLines, slotColors)) {
        if (snapshot && !ChangedByThisRun(store, *snapshot, v))
            continue;
        ok &= WriteValue(store, v);
        written.append(v);
    }
    ok &= batch.commit();
    if (ok && snapshot) {
        for (const SettingValue &v : written)
            snapshot->set(v.key, v.name, {true, v.value});
    }
    return ok;
}

void LoadOptionsFromStore(SettingsStore &store, TOptionsRecord &record)
{
    StoreBatch batch(store);
    for (const OptionKey &option : OptionKeys)
        ReadOption(store, option, record);
    if (!IsSampleSide(record.sampleSide))
        record.sampleSide = DefaultSampleSide;
}

CopyFormat CopyFormatOf(const TOptionsRecord &record)
{
    return record.formatHexa   ? CopyFormat::Hexa
           : record.formatHtml ? CopyFormat::Html
           : record.formatRgb  ? CopyFormat::Rgb
                               : CopyFormat::None;
}

QString SettingsStorePath()
{
    return WindowsFolder() + QStringLiteral("/Corvel Astine/JOV.reg");
}

} // namespace jov
