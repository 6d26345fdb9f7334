#pragma once

#include <QByteArray>
#include <QString>

namespace jov {

// Replaces the file at path by content through a temporary file renamed over it: either the
// whole new content is there afterwards and true is returned, or false is returned and a file
// already at path is left exactly as it was.
bool WriteFileAtomically(const QString &path, const QByteArray &content);

} // namespace jov
