#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace jov {

// The three text forms of a colour, as shown in the format panels. A channel field can briefly
// hold a typed value outside 0..255, so the channels are plain ints: hexadecimal uses at least two
// upper-case digits (256 gives "100"); a negative channel is written as 00 in the hexadecimal
// forms, since the field settles on 0 for it, and as its decimal value in the RGB form.
QString HexaText(int red, int green, int blue); // "0x00" + BB + GG + RR
QString HtmlText(int red, int green, int blue); // "#" + RR + GG + BB
QString RgbText(int red, int green, int blue);  // "RGB(r,g,b)"

enum class CopyFormat { Hexa, Html, Rgb, None };

// The text to put on the clipboard, taken from the three panel texts. Value only: the 8
// characters from the third of the HEXA panel, the 6 characters from the second of the HTML panel,
// or the text between the first "(" and the first ")" of the RGB panel (empty when either bracket
// is missing or ")" comes first). Empty for CopyFormat::None.
QString CopyText(CopyFormat format, bool valueOnly, QStringView hexaPanel, QStringView htmlPanel,
                 QStringView rgbPanel);
// What the window's Copy gives for a colour: CopyText over the three texts the panels show.
QString ColorCopyText(CopyFormat format, bool valueOnly, int red, int green, int blue);

// The text without its blanks (character 32 only; tabs and line breaks stay).
QString RemoveSpaces(QStringView text);

// HexDigit, with anything that is not a hexadecimal digit counting as 0.
int HexDigitValue(QChar c);

// 16 * HexDigitValue(high) + HexDigitValue(low).
int HexPairValue(QChar high, QChar low);

// The integer reading used by the comma lists: an optional sign, then decimal digits or one of
// the prefixes "$", "x", "X", "0x", "0X" and hexadecimal digits of either case, using the whole
// text. Decimal must fit a signed 32-bit integer; hexadecimal may have at most 8 significant
// digits, and 80000000 or more reads as negative (a sign in front negates modulo 2^32). Empty
// text, a sign or prefix alone, or any other character gives nullopt.
std::optional<int> StrToInt32(QStringView text);

enum class PasteOutcome {
    Ignored,         // no rule accepted the text: nothing is written
    Imported,        // all three channels read
    ConversionError, // a comma list failed: the channels read before the error are written
};

// Channels read from clipboard text, in the order red, green, blue. The values are raw: the
// channel fields clamp them when they are written.
struct PasteResult
{
    std::array<int, 3> values{};
    int count = 0;
    PasteOutcome outcome = PasteOutcome::Ignored;
};

// Reads a colour from clipboard text written as 0x + 6 or 8 hex digits (COLORREF order),
// #RRGGBB, RGB(...) or JOV(...) around a comma list, a bare comma list, or 6 (RRGGBB),
// 8 or 10 characters (COLORREF order, read from the right). Blanks are ignored.
PasteResult ReadColorText(QStringView clipboardText);

} // namespace jov
