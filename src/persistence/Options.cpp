#include "persistence/Options.h"

#include "persistence/Systeme.h"

namespace jov {

QString OpName(int n)
{
    return QStringLiteral("Op%1").arg(n, 2, 10, QLatin1Char('0'));
}

namespace {

// Op01..Op09, Op11..Op19 as they are read and written, each either a Boolean or an integer.
struct OptionField
{
    int number;
    bool TOptionsRecord::*flag;
    qint32 TOptionsRecord::*integer;
};

constexpr OptionField OptionFields[] = {
    {1, nullptr, &TOptionsRecord::Op01},  {2, nullptr, &TOptionsRecord::Op02},
    {3, nullptr, &TOptionsRecord::Op03},  {4, &TOptionsRecord::Op04, nullptr},
    {5, &TOptionsRecord::Op05, nullptr},  {6, &TOptionsRecord::Op06, nullptr},
    {7, &TOptionsRecord::Op07, nullptr},  {8, &TOptionsRecord::Op08, nullptr},
    {9, &TOptionsRecord::Op09, nullptr},  {11, &TOptionsRecord::Op11, nullptr},
    {12, &TOptionsRecord::Op12, nullptr}, {13, &TOptionsRecord::Op13, nullptr},
    {14, &TOptionsRecord::Op14, nullptr}, {15, &TOptionsRecord::Op15, nullptr},
    {16, &TOptionsRecord::Op16, nullptr}, {17, &TOptionsRecord::Op17, nullptr},
    {18, &TOptionsRecord::Op18, nullptr}, {19, nullptr, &TOptionsRecord::Op19},
};

} // namespace

TOptionsRecord DefaultOptions(const QString &openFolder, const QString &saveFolder)
{
    TOptionsRecord record;
    record.Op30 = openFolder;
    record.Op31 = saveFolder;
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
    return StripTrailingBackslashes(record.Op30) + PathDelim + record.Op32;
}

void LoadSettingsFromStore(SettingsStore &store, TOptionsRecord &record, QStringList &colorLines,
                           PaletteColors &slotColors,
                           const std::function<void(const QString &path)> &loadPalette)
{
    // One look at the file for the whole load instead of one per value.
    store.BeginBatch();

    record.Op00 = store.RegReadBool(OptionsKeyPath, OpName(0), record.Op00);
    for (const OptionField &f : OptionFields) {
        if (f.flag)
            record.*f.flag = store.RegReadBool(OptionsKeyPath, OpName(f.number), record.*f.flag);
        else
            record.*f.integer =
                store.RegReadInteger(OptionsKeyPath, OpName(f.number), record.*f.integer);
    }
    record.Op30 = store.RegReadString(OptionsKeyPath, OpName(30), record.Op30);
    record.Op31 = store.RegReadString(OptionsKeyPath, OpName(31), record.Op31);
    record.Op32 = store.RegReadString(OptionsKeyPath, OpName(32), record.Op32);

    QStringList names;
    if (store.RegReadValueNames(ColorsKeyPath, names)) {
        for (const QString &name : names)
            colorLines.append(name + u'=' + store.RegReadString(ColorsKeyPath, name, QString()));
    }

    if (record.Op13) {
        store.CommitBatch();
        if (loadPalette)
            loadPalette(LastPalettePath(record));
        return;
    }
    record.Op32 = UntitledPaletteName;
    for (int i = 0; i < PaletteSlotCount; ++i) {
        const qint32 stored =
            store.RegReadInteger(PersonalKeyPath, SlotValueName(i), qint32(DefaultSlotColor));
        slotColors[std::size_t(i)] = ColorRef(quint32(stored) & 0x00FFFFFF);
    }
    store.CommitBatch();
}

bool SaveSettingsToStore(SettingsStore &store, const TOptionsRecord &record,
                         const QStringList &colorLines, const PaletteColors &slotColors)
{
    store.BeginBatch();
    bool ok = store.RegWriteBool(OptionsKeyPath, OpName(0), record.Op00);
    ok &= store.RegWriteString(RootKeyPath, QStringLiteral("Version"), StoreVersion);
    for (const OptionField &f : OptionFields) {
        if (f.flag)
            ok &= store.RegWriteBool(OptionsKeyPath, OpName(f.number), record.*f.flag);
        else
            ok &= store.RegWriteInteger(OptionsKeyPath, OpName(f.number), record.*f.integer);
    }
    for (const QString &line : colorLines) {
        const qsizetype eq = line.indexOf(u'=');
        // A line without a name would land in the key's default value; it is not a colour.
        if (eq <= 0)
            continue;
        ok &= store.RegWriteString(ColorsKeyPath, line.first(eq), line.sliced(eq + 1));
    }
    for (int i = 0; i < PaletteSlotCount; ++i)
        ok &= store.RegWriteInteger(PersonalKeyPath, SlotValueName(i),
                                    qint32(slotColors[std::size_t(i)]));
    ok &= store.RegWriteString(OptionsKeyPath, OpName(30), record.Op30);
    ok &= store.RegWriteString(OptionsKeyPath, OpName(31), record.Op31);
    ok &= store.RegWriteString(OptionsKeyPath, OpName(32), record.Op32);
    ok &= store.CommitBatch();
    return ok;
}

QString SettingsStorePath()
{
    return WindowsFolder() + QStringLiteral("/Corvel Astine/JOV.reg");
}

} // namespace jov
