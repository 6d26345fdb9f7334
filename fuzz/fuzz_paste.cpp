// Clipboard text reader: arbitrary bytes, read as UTF-8 and as Latin-1.
#include "color/ColorText.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool SameResult(const jov::PasteResult &a, const jov::PasteResult &b)
{
    if (a.outcome != b.outcome || a.count != b.count)
        return false;
    for (int i = 0; i < a.count; ++i) {
        if (a.values[std::size_t(i)] != b.values[std::size_t(i)])
            return false;
    }
    return true;
}

void Exercise(const QString &text)
{
    const jov::PasteResult result = jov::ReadColorText(text);
    Check(result.count >= 0 && result.count <= 3);
    switch (result.outcome) {
    case jov::PasteOutcome::Ignored:
        Check(result.count == 0);
        break;
    case jov::PasteOutcome::Imported:
        Check(result.count == 3);
        break;
    case jov::PasteOutcome::ConversionError:
        Check(result.count < 3);
        break;
    }

    // Blanks never matter, so reading the text without them gives the same answer.
    const QString compact = jov::RemoveSpaces(text);
    Check(!compact.contains(u' '));
    Check(SameResult(result, jov::ReadColorText(compact)));

    // A number that reads must print back to the same number (decimal form).
    if (const std::optional<int> v = jov::StrToInt32(text)) {
        bool isDecimal = !text.isEmpty();
        for (QChar c : text)
            isDecimal = isDecimal && ((c >= u'0' && c <= u'9') || c == u'-' || c == u'+');
        if (isDecimal)
            Check(jov::StrToInt32(QString::number(*v)) == v);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 4096)
        return 0;
    const auto *bytes = reinterpret_cast<const char *>(data);
    Exercise(QString::fromUtf8(bytes, qsizetype(size)));
    Exercise(QString::fromLatin1(bytes, qsizetype(size)));
    return 0;
}
