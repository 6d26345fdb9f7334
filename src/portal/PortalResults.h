#pragma once

#include <QVariant>
#include <QVariantMap>

#include <array>
#include <optional>

namespace jov {

// A portal colour channel (0..1) as 0..255: clamped into 0..1, then rounded to the nearest
// integer, halves away from zero (0.5 gives 128). Nothing for NaN.
std::optional<int> PortalChannelToByte(double value);

// The colour of a PickColor result, each channel 0..255 (PortalChannelToByte): the "color"
// entry of the results holding exactly three doubles, as the portal's structure "(ddd)"
// reads once plain (PlainDBusValue). Nothing when the entry is missing, holds anything else
// (another type, more or fewer members) or a NaN; infinities and values out of 0..1 are
// clamped.
std::optional<std::array<int, 3>> PortalResultColor(const QVariantMap &results);

// A value as QtDBus hands it over, made plain: every structure and array inside it (a
// QDBusArgument) becomes a QVariantList, every dictionary a QVariantMap keyed by its keys as
// text, every variant (QDBusVariant) its value; basic values stay as they are.
QVariant PlainDBusValue(const QVariant &value);

} // namespace jov
