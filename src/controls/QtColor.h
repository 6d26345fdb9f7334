#pragma once

#include "color/ColorText.h"
#include "color/ColorValue.h"

#include <QColor>

namespace jov {

// A colour value as Qt's colour, and back (a Qt colour in another spec is taken as RGB).
inline QColor ToQColor(ColorRef color)
{
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

inline ColorRef ToColorRef(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return MakeColor(rgb.red(), rgb.green(), rgb.blue());
}

// "#RRGGBB" of a Qt colour.
inline QString HtmlText(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return HtmlText(rgb.red(), rgb.green(), rgb.blue());
}

} // namespace jov
