#include "portal/PortalResults.h"

#include <QDBusArgument>
#include <QDBusVariant>

#include <cmath>

namespace jov {

namespace {

// The element the argument stands at, made plain; the argument moves past it. Nothing for an
// element of a kind QtDBus does not say; a list or dictionary holding one ends there.
std::optional<QVariant> PlainElement(const QDBusArgument &argument)
{
    switch (argument.currentType()) {
    case QDBusArgument::StructureType:
    case QDBusArgument::ArrayType: {
        const bool structure = argument.currentType() == QDBusArgument::StructureType;
        structure ? argument.beginStructure() : argument.beginArray();
        QVariantList items;
        while (!argument.atEnd()) {
            const std::optional<QVariant> item = PlainElement(argument);
            if (!item)
                break;
            items.append(*item);
        }
        structure ? argument.endStructure() : argument.endArray();
        return items;
    }
    case QDBusArgument::MapType: {
        QVariantMap entries;
        argument.beginMap();
        while (!argument.atEnd()) {
            argument.beginMapEntry();
            const std::optional<QVariant> key = PlainElement(argument);
            const std::optional<QVariant> value = key ? PlainElement(argument) : std::nullopt;
            argument.endMapEntry();
            if (!value)
                break;
            entries.insert(key->toString(), *value);
        }
        argument.endMap();
        return entries;
    }
    case QDBusArgument::BasicType:
    case QDBusArgument::VariantType:
        return PlainDBusValue(argument.asVariant());
    case QDBusArgument::MapEntryType:
    case QDBusArgument::UnknownType:
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<int> PortalChannelToByte(double value)
{
    if (std::isnan(value))
        return std::nullopt;
    const double clamped = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
    return int(std::lround(clamped * 255.0));
}

std::optional<std::array<int, 3>> PortalResultColor(const QVariantMap &results)
{
    const QVariant color = results.value(QStringLiteral("color"));
    if (color.metaType() != QMetaType::fromType<QVariantList>())
        return std::nullopt;
    const QVariantList channels = color.toList();
    if (channels.size() != 3)
        return std::nullopt;
    std::array<int, 3> bytes{};
    for (int i = 0; i < 3; ++i) {
        const QVariant &channel = channels[i];
        if (channel.metaType() != QMetaType::fromType<double>())
            return std::nullopt;
        const auto byte = PortalChannelToByte(channel.toDouble());
        if (!byte)
            return std::nullopt;
        bytes[std::size_t(i)] = *byte;
    }
    return bytes;
}

QVariant PlainDBusValue(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        return PlainDBusValue(value.value<QDBusVariant>().variant());
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return PlainElement(value.value<QDBusArgument>()).value_or(QVariant());
    return value;
}

} // namespace jov
