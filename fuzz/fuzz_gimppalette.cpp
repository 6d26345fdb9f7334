// GIMP palette files come from anywhere the user points the open dialog at.
#include "persistence/GimpPalette.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    const jov::GimpPaletteReadResult r = jov::ReadGimpPalette(content);
    if (r.ok()) {
        if (r.line != -1 || r.colorCount < 0 || r.ignoredCount() < 0)
            std::abort();
        // Slots past the file's colours are cleared.
        for (int i = r.colorCount; i < jov::SlotCount; ++i) {
            if (r.colors[std::size_t(i)] != jov::clWhite)
                std::abort();
        }
        // What was accepted writes back to a file that reads as the same sixteen colours, and
        // that file is written again byte for byte.
        const QByteArray text = jov::GimpPaletteText(r.colors, QStringLiteral("fuzz"));
        const jov::GimpPaletteReadResult again = jov::ReadGimpPalette(text);
        if (!again.ok() || again.colorCount != jov::SlotCount || again.colors != r.colors ||
            jov::GimpPaletteText(again.colors, QStringLiteral("fuzz")) != text)
            std::abort();
    } else {
        if (r.line < 1 || r.colorCount != 0)
            std::abort();
        // A faulty file must not hand out any colour.
        for (const jov::ColorRef c : r.colors) {
            if (c != 0)
                std::abort();
        }
    }
    return 0;
}
