// The desktop portal's PickColor results come from another program over D-Bus: a dictionary of
// any entries, whose "color" may hold anything. The harness builds the results as the picker
// sees them once made plain (lists, dictionaries, basic values) from the fuzzer's bytes.
#include "portal/PortalResults.h"

#include <QVariantList>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Each value begins with a byte telling its kind; missing bytes read as zeros.
class ValueReader
{
public:
    ValueReader(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte()
    {
        if (m_size == 0)
            return 0;
        --m_size;
        return *m_data++;
    }

    template <typename T> T raw()
    {
        unsigned char bytes[sizeof(T)] = {};
        for (unsigned char &b : bytes)
            b = byte();
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    QString text()
    {
        QString s;
        for (int n = byte() % 8; n > 0; --n)
            s.append(QChar(byte()));
        return s;
    }

    QVariant value(int depth)
    {
        switch (byte() % 8) {
        case 0:
            return raw<double>(); // any bits: NaN, infinities, tiny and huge values
        case 1:
            return byte() / 127.0 - 0.5; // in and around 0..1
        case 2:
            return raw<qint32>();
        case 3:
            return raw<quint32>();
        case 4:
            return bool(byte() & 1);
        case 5:
            return text();
        case 6:
            return depth < 6 ? QVariant(list(depth + 1)) : QVariant();
        default:
            return depth < 6 ? QVariant(map(depth + 1)) : QVariant();
        }
    }

    QVariantList list(int depth)
    {
        QVariantList items;
        for (int n = byte() % 6; n > 0; --n)
            items.append(value(depth));
        return items;
    }

    QVariantMap map(int depth)
    {
        QVariantMap entries;
        for (int n = byte() % 4 + 1; n > 0; --n) {
            const std::uint8_t key = byte() % 4;
            entries.insert(key < 2    ? QStringLiteral("color")
                           : key == 2 ? QStringLiteral("Color")
                                      : text(),
                           value(depth));
        }
        return entries;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
};

// Three doubles, none of them NaN: the only colour the portal may give.
bool IsColor(const QVariant &v)
{
    if (v.metaType() != QMetaType::fromType<QVariantList>() || v.toList().size() != 3)
        return false;
    for (const QVariant &channel : v.toList()) {
        if (channel.metaType() != QMetaType::fromType<double>() || std::isnan(channel.toDouble()))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ValueReader reader(data, size);
    // Plain values pass through unchanged.
    const QVariantMap results = jov::PlainDBusValue(reader.map(0)).toMap();
    const auto color = jov::PortalResultColor(results);

    const QVariant entry = results.value(QStringLiteral("color"));
    if (color.has_value() != IsColor(entry))
        std::abort();
    if (color) {
        const QVariantList channels = entry.toList();
        for (int i = 0; i < 3; ++i) {
            const int byte = (*color)[std::size_t(i)];
            if (byte < 0 || byte > 255 || jov::PortalChannelToByte(channels[i].toDouble()) != byte)
                std::abort();
        }
    }
    return 0;
}
