// The settings store file is plain text in the user's configuration folder and may be edited
// by hand or damaged.
#include "persistence/RegistryData.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    const jov::RegistryData parsed = jov::RegistryData::Parse(content);

    // Everything kept must be found again under the names it was listed with.
    for (const QString &key : parsed.KeyPaths()) {
        QStringList names;
        if (!parsed.ValueNames(key, names))
            std::abort();
        for (const QString &name : names) {
            if (!parsed.Value(key, name))
                std::abort();
        }
    }

    // The store's own output reads back completely and reproduces itself.
    const QByteArray once = parsed.ToText();
    jov::RegParseReport report;
    const QByteArray twice = jov::RegistryData::Parse(once, &report).ToText();
    if (!report.lossless() || twice != once)
        std::abort();
    return 0;
}
