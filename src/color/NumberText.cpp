#include "color/NumberText.h"

namespace jov {

namespace {

unsigned int Code(char c)
{
    return static_cast<unsigned char>(c);
}
unsigned int Code(QChar c)
{
    return c.unicode();
}

template <typename View> std::optional<qint32> ParseDecimal(View text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (Code(text[i]) == '+' || Code(text[i]) == '-')) {
        negative = Code(text[i]) == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulated as a magnitude so that -2147483648 is reachable; any number of leading zeros
    // is fine because the magnitude stays small while they are read.
    qint64 magnitude = 0;
    const qint64 limit = negative ? qint64(2147483648) : qint64(2147483647);
    for (; i < text.size(); ++i) {
        const unsigned int u = Code(text[i]);
        if (u < '0' || u > '9')
            return std::nullopt;
        const int d = int(u - '0');
        magnitude = magnitude * 10 + d;
        if (magnitude > limit)
            return std::nullopt;
    }
    return qint32(negative ? -magnitude : magnitude);
}

} // namespace

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

std::optional<qint32> ParseDecimalInt32(QByteArrayView text)
{
    return ParseDecimal(text);
}

std::optional<qint32> ParseDecimalInt32(QStringView text)
{
    return ParseDecimal(text);
}

std::optional<quint32> ParseHex32(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    // Any number of leading zeros; the value stays small while they are read.
    quint64 value = 0;
    for (const QChar c : digits) {
        const int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = value * 16 + quint64(d);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return quint32(value);
}

std::optional<qint32> ParseIniInteger(QStringView text)
{
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        const std::optional<quint32> value = ParseHex32(text.mid(2));
        if (!value)
            return std::nullopt;
        return qint32(*value);
    }
    return ParseDecimal(text);
}

} // namespace jov
