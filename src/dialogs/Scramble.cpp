#include "dialogs/Scramble.h"

namespace jov {

QString Unscramble(const unsigned char *stored)
{
    if (!stored)
        return QString();
    const int length = stored[0];
    QString text;
    text.reserve(length);
    for (int n = 1; n <= length; ++n)
        text += QChar(char16_t(stored[n] ^ ScrambleKey));
    return text;
}

} // namespace jov
