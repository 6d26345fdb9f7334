#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

namespace jov {

// Replaces the file at path by content through a temporary file renamed over it: either the
// whole new content is there afterwards and true is returned, or false is returned and a file
// already at path is left exactly as it was. After the rename the folder is synced as well, so
// that the new name, not only the new content, survives a power cut.
bool WriteFileAtomically(const QString &path, const QByteArray &content);

// A crash between writing the temporary file and renaming it leaves the temporary behind:
// "<file name>." followed by six letters or digits, beside path. This removes such regular
// files whose last change is older than minAge (a save in progress in another process is
// younger and is left alone), and nothing else. Returns how many files it removed.
int RemoveStaleTemporaries(const QString &path,
                           std::chrono::seconds minAge = std::chrono::seconds(10));

} // namespace jov
