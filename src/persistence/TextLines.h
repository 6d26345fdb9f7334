#pragma once

#include <QByteArrayView>

namespace jov {

// The line of `content` that starts at `pos`, and `pos` moved to the start of the next one. A
// line ends at LF; a CR right before the LF is not part of it; the last line may lack its LF.
inline QByteArrayView NextLine(QByteArrayView content, qsizetype &pos)
{
    qsizetype end = content.indexOf('\n', pos);
    qsizetype next = end + 1;
    if (end < 0) {
        end = content.size();
        next = end;
    } else if (end > pos && content[end - 1] == '\r') {
        --end;
    }
    const QByteArrayView line = content.sliced(pos, end - pos);
    pos = next;
    return line;
}

} // namespace jov
