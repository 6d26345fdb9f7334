#include "color/ColorText.h"

#include "color/NumberText.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstdint>

namespace jov {

namespace {

// Appends v in upper-case hexadecimal, at least two digits. Negative values are written as 0.
char *PutHex(char *out, int v)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    char tmp[8];
    int n = 0;
    auto u = std::uint32_t(v < 0 ? 0 : v);
    do {
        tmp[n++] = digits[u & 0xF];
        u >>= 4;
    } while (u != 0);
    if (n < 2)
        tmp[n++] = '0';
    while (n > 0)
        *out++ = tmp[--n];
    return out;
}

char *PutText(char *out, const char *text)
{
    while (*text != '\0')
        *out++ = *text++;
    return out;
}

char *PutDecimal(char *out, int v)
{
    char tmp[12];
    int n = 0;
    // Work in unsigned so that INT_MIN has a magnitude.
    auto u = std::uint32_t(v);
    if (v < 0) {
        *out++ = '-';
        u = 0u - u;
    }
    do {
        tmp[n++] = char('0' + u % 10);
        u /= 10;
    } while (u != 0);
    while (n > 0)
        *out++ = tmp[--n];
    return out;
}

QString FromBuffer(const char *begin, const char *end)
{
    return QString::fromLatin1(begin, end - begin);
}

char16_t UpperAscii(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'a' && u <= u'z' ? char16_t(u - (u'a' - u'A')) : u;
}

// Hex pair at 1-based positions pos and pos + 1 of t; the caller has checked the length.
int PairAt(QStringView t, qsizetype pos)
{
    return HexPairValue(t[pos - 1], t[pos]);
}

void SetThree(PasteResult &result, int red, int green, int blue)
{
    result.values = {red, green, blue};
    result.count = 3;
    result.outcome = PasteOutcome::Imported;
}

// Red before the first comma, green before the next one, blue the whole rest. A missing comma
// leaves an empty field, which does not convert.
void ReadCommaList(QStringView list, PasteResult &result)
{
    for (int i = 0; i < 3; ++i) {
        QStringView field = list;
        if (i < 2) {
            const qsizetype comma = list.indexOf(u',');
            field = comma < 0 ? QStringView() : list.first(comma);
            list = comma < 0 ? list : list.sliced(comma + 1);
        }
        const std::optional<int> value = StrToInt32(field);
        if (!value) {
            result.outcome = PasteOutcome::ConversionError;
            return;
        }
        result.values[std::size_t(result.count++)] = *value;
    }
    result.outcome = PasteOutcome::Imported;
}

} // namespace

QString HexaText(int red, int green, int blue)
{
    char buf[32];
    char *p = PutText(buf, "0x00");
    p = PutHex(p, blue);
    p = PutHex(p, green);
    p = PutHex(p, red);
    return FromBuffer(buf, p);
}

QString HtmlText(int red, int green, int blue)
{
    char buf[32];
    char *p = PutText(buf, "#");
    p = PutHex(p, red);
    p = PutHex(p, green);
    p = PutHex(p, blue);
    return FromBuffer(buf, p);
}

QString RgbText(int red, int green, int blue)
{
    char buf[48];
    char *p = PutText(buf, "RGB(");
    p = PutDecimal(p, red);
    *p++ = ',';
    p = PutDecimal(p, green);
    *p++ = ',';
    p = PutDecimal(p, blue);
    *p++ = ')';
    return FromBuffer(buf, p);
}

QString CopyText(CopyFormat format, bool valueOnly, QStringView hexaPanel, QStringView htmlPanel,
                 QStringView rgbPanel)
{
    switch (format) {
    case CopyFormat::Hexa:
        return (valueOnly ? hexaPanel.mid(2, 8) : hexaPanel).toString();
    case CopyFormat::Html:
        return (valueOnly ? htmlPanel.mid(1, 6) : htmlPanel).toString();
    case CopyFormat::Rgb: {
        if (!valueOnly)
            return rgbPanel.toString();
        const qsizetype open = rgbPanel.indexOf(u'(');
        const qsizetype close = rgbPanel.indexOf(u')');
        if (open < 0 || close < open)
            return QString();
        return rgbPanel.sliced(open + 1, close - open - 1).toString();
    }
    case CopyFormat::None:
        break;
    }
    return QString();
}

QString ColorCopyText(CopyFormat format, bool valueOnly, int red, int green, int blue)
{
    return CopyText(format, valueOnly, HexaText(red, green, blue), HtmlText(red, green, blue),
                    RgbText(red, green, blue));
}

QString RemoveSpaces(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c != u' ')
            out.append(c);
    }
    return out;
}

int HexDigitValue(QChar c)
{
    return std::max(0, HexDigit(c));
}

int HexPairValue(QChar high, QChar low)
{
    return 16 * HexDigitValue(high) + HexDigitValue(low);
}

std::optional<int> StrToInt32(QStringView text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    const bool negative = n > 0 && text[0] == u'-';
    if (n > 0 && (text[0] == u'+' || negative))
        ++i;
    qsizetype digits = -1; // where the hexadecimal digits start, after a prefix
    if (i < n) {
        const char16_t c = text[i].unicode();
        if (c == u'$' || c == u'x' || c == u'X')
            digits = i + 1;
        else if (c == u'0' && i + 1 < n && (text[i + 1] == u'x' || text[i + 1] == u'X'))
            digits = i + 2;
    }
    if (digits < 0)
        return ParseDecimalInt32(text);
    const std::optional<quint32> value = ParseHex32(text.mid(digits));
    if (!value)
        return std::nullopt; // a prefix without digits, or a stray character
    // Two's complement: 80000000 and above read as negative, and a sign negates modulo 2^32.
    return int(negative ? 0u - *value : *value);
}

PasteResult ReadColorText(QStringView clipboardText)
{
    // Blanks are dropped into a stack buffer, so the usual short texts cost no allocation.
    QVarLengthArray<QChar, 64> compact;
    QStringView t = clipboardText;
    if (t.contains(u' ')) {
        compact.reserve(t.size());
        for (QChar c : t) {
            if (c != u' ')
                compact.append(c);
        }
        t = QStringView(compact.constData(), compact.size());
    }

    PasteResult result;
    const qsizetype n = t.size();

    // The first rule whose leading test holds decides, even when its length or brackets are wrong.
    if (n >= 2 && t[0] == u'0' && UpperAscii(t[1]) == u'X') {
        if (n == 8)
            SetThree(result, PairAt(t, 7), PairAt(t, 5), PairAt(t, 3));
        else if (n == 10)
            SetThree(result, PairAt(t, 9), PairAt(t, 7), PairAt(t, 5));
        return result;
    }

    if (n >= 1 && t[0] == u'#') {
        if (n == 7)
            SetThree(result, PairAt(t, 2), PairAt(t, 4), PairAt(t, 6));
        return result;
    }

    if (n >= 3) {
        const char16_t a = UpperAscii(t[0]);
        const char16_t b = UpperAscii(t[1]);
        const char16_t c = UpperAscii(t[2]);
        if ((a == u'R' && b == u'G' && c == u'B') || (a == u'J' && b == u'O' && c == u'V')) {
            const qsizetype open = t.indexOf(u'(');
            const qsizetype close = t.indexOf(u')');
            if (open < 0 || close < 0)
                return result;
            ReadCommaList(close > open ? t.sliced(open + 1, close - open - 1) : QStringView(),
                          result);
            return result;
        }
    }

    if (t.contains(u',')) {
        ReadCommaList(t, result);
        return result;
    }

    if (n == 6)
        SetThree(result, PairAt(t, 1), PairAt(t, 3), PairAt(t, 5));
    else if (n == 8)
        SetThree(result, PairAt(t, 7), PairAt(t, 5), PairAt(t, 3));
    else if (n == 10)
        SetThree(result, PairAt(t, 9), PairAt(t, 7), PairAt(t, 5));
    return result;
}

} // namespace jov
