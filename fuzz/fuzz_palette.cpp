// Palette files come from anywhere the user points the open dialog at.
#include "persistence/PaletteFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    const jov::PaletteReadResult r = jov::ReadPalette(content);
    if (r.ok()) {
        // Whatever was accepted writes back to a file that reads as the same colours.
        const jov::PaletteReadResult again = jov::ReadPalette(jov::PaletteFileText(r.colors));
        if (!again.ok() || again.colors != r.colors)
            std::abort();
    } else {
        if (r.line < 1 || r.line > 19)
            std::abort();
        // A faulty file must not hand out any colour.
        for (const jov::ColorRef c : r.colors) {
            if (c != 0)
                std::abort();
        }
    }
    return 0;
}
