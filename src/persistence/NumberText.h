#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <optional>

namespace jov {

// Readers of the integers found in palette files, the legacy settings file and the placement
// record. Each one uses the whole text: a blank, an empty text or any stray character is an
// error, never a partial number.

// Optional "+" or "-", then decimal digits; the value must fit in a signed 32-bit integer.
std::optional<qint32> ParseDecimalInt32(QByteArrayView text);
std::optional<qint32> ParseDecimalInt32(QStringView text);

// As ParseDecimalInt32, or "0x"/"0X" followed by 1 to 8 significant hexadecimal digits of
// either case; 80000000 and above read as negative, as a 32-bit register would hold them.
std::optional<qint32> ParseIniInteger(QStringView text);

} // namespace jov
