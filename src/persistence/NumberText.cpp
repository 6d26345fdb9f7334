#include "persistence/NumberText.h"

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

int DigitValue(unsigned int u, int base)
{
    int v = -1;
    if (u >= '0' && u <= '9')
        v = int(u - '0');
    else if (u >= 'a' && u <= 'f')
        v = int(u - 'a' + 10);
    else if (u >= 'A' && u <= 'F')
        v = int(u - 'A' + 10);
    return v < base ? v : -1;
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
        const int d = DigitValue(Code(text[i]), 10);
        if (d < 0)
            return std::nullopt;
        magnitude = magnitude * 10 + d;
        if (magnitude > limit)
            return std::nullopt;
    }
    return qint32(negative ? -magnitude : magnitude);
}

} // namespace

std::optional<qint32> ParseDecimalInt32(QByteArrayView text)
{
    return ParseDecimal(text);
}

std::optional<qint32> ParseDecimalInt32(QStringView text)
{
    return ParseDecimal(text);
}

std::optional<qint32> ParseIniInteger(QStringView text)
{
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        quint64 value = 0;
        for (qsizetype i = 2; i < text.size(); ++i) {
            const int d = DigitValue(text[i].unicode(), 16);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + quint64(d);
            if (value > 0xFFFFFFFFu)
                return std::nullopt;
        }
        return qint32(quint32(value));
    }
    return ParseDecimal(text);
}

} // namespace jov
