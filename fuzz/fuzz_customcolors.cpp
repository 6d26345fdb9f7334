// The colour dialog's custom colours come back from the settings store, a text file the user
// may edit: the "Colors" key may hold any names and values, read as lines "name=value".
#include "MemoryStore.h"
#include "color/CustomColors.h"
#include "persistence/Options.h"
#include "persistence/RegistryData.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    jov::MemoryStore store;
    store.data() =
        jov::RegistryData::Parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    jov::TOptionsRecord record = jov::DefaultOptions(QString(), QString());
    QStringList lines;
    jov::SlotColors slots{};
    jov::LoadSettingsFromStore(store, record, lines, slots, [](const QString &) {});

    // Every colour read is a colour; written back as lines, they read back the same.
    const auto parsed = jov::ParseCustomColorLines(lines);
    jov::CustomColors colors{};
    for (int i = 0; i < jov::CustomColorCount; ++i) {
        const auto &color = parsed[std::size_t(i)];
        if (color && *color > 0xFFFFFF)
            std::abort();
        colors[std::size_t(i)] = color.value_or(0);
    }
    const auto again = jov::ParseCustomColorLines(jov::CustomColorLines(colors));
    for (int i = 0; i < jov::CustomColorCount; ++i) {
        if (again[std::size_t(i)] != colors[std::size_t(i)])
            std::abort();
    }
    return 0;
}
