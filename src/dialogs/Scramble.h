#pragma once

#include <QString>

namespace jov {

// The one-byte key the About box's addresses are scrambled with.
inline constexpr unsigned char ScrambleKey = 0xA5;

// A stored byte string to text: byte 0 is the length n (kept plain), bytes 1..n are the
// characters (Latin-1), each XORed with ScrambleKey. A null pointer gives an empty text.
QString Unscramble(const unsigned char *stored);

} // namespace jov
