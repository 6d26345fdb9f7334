#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QStringView>

#include <optional>

namespace jov {

// The readers of integers written as text: clipboard colours, palette files, the legacy
// settings file, the store file and the placement record. Each one uses the whole text: a
// blank, an empty text or any stray character is an error, never a partial number.

// "0"-"9" -> 0..9, "A"-"F" and "a"-"f" -> 10..15, anything else -> -1.
int HexDigit(QChar c);

// Optional "+" or "-", then decimal digits; the value must fit in a signed 32-bit integer.
std::optional<qint32> ParseDecimalInt32(QByteArrayView text);
std::optional<qint32> ParseDecimalInt32(QStringView text);

// Hexadecimal digits of either case, at least one, with at most 8 significant ones.
std::optional<quint32> ParseHex32(QStringView digits);

// As ParseDecimalInt32, or "0x"/"0X" followed by 1 to 8 significant hexadecimal digits of
// either case; 80000000 and above read as negative, as a 32-bit register would hold them.
std::optional<qint32> ParseIniInteger(QStringView text);

} // namespace jov
