// The legacy settings file is an old INI file in the user's configuration folder; whatever lies
// there under its name is read at start-up.
#include "persistence/IniFile.h"
#include "persistence/LegacyIni.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));

    // Every entry listed is found again under its name.
    const jov::IniFile ini = jov::IniFile::Parse(content);
    for (const QString &section :
         {QStringLiteral("Options"), QStringLiteral("Couleurs"), QStringLiteral("Perso")}) {
        for (const jov::IniEntry &e : ini.Entries(section)) {
            if (e.name.isEmpty() || !ini.Value(section, e.name))
                std::abort();
        }
    }

    jov::TOptionsRecord record;
    record.red = 77;
    const jov::TOptionsRecord before = record;
    QStringList lines{QStringLiteral("Previous=1")};
    jov::SlotColors slots{};
    jov::ImportLegacyIni(content, record, lines, slots);
    for (const jov::ColorRef c : slots) {
        if (c > 0x00FFFFFF)
            std::abort();
    }
    // What the check turns away would have imported nothing but defaults.
    if (!jov::IsLegacyIni(content)) {
        if (record != before || !lines.isEmpty())
            std::abort();
        for (const jov::ColorRef c : slots) {
            if (c != jov::DefaultSlotColor)
                std::abort();
        }
    }
    return 0;
}
