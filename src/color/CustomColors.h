#pragma once

#include "color/ColorValue.h"

#include <QStringList>

#include <array>
#include <optional>

namespace jov {

// The colour dialog keeps sixteen colours of the user's own.
inline constexpr int CustomColorCount = 16;
using CustomColors = std::array<ColorRef, CustomColorCount>;

// The colour dialog's sixteen custom colours as text lines "ColorA=BBGGRR" .. "ColorP=BBGGRR":
// the name, "=", and six upper-case hexadecimal digits of the colour value.
QStringList CustomColorLines(const CustomColors &colors);

// The colours named by such lines; a line with another name or a value that is not hexadecimal
// leaves its colour unset. A later line for the same name wins.
using OptionalCustomColors = std::array<std::optional<ColorRef>, CustomColorCount>;
OptionalCustomColors ParseCustomColorLines(const QStringList &lines);

} // namespace jov
