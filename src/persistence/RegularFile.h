#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace jov {

enum class RegularFileError {
    None,
    Missing,    // nothing at the path
    NotRegular, // a folder, FIFO, socket or device: never opened for reading in earnest
    TooLarge,   // larger than the limit given
    Unreadable, // no permission, or a read error
};

struct RegularFileContent
{
    QByteArray content;
    RegularFileError error = RegularFileError::None;

    bool ok() const { return error == RegularFileError::None; }
};

// Reads a whole regular file of at most maxSize bytes. The file is opened without blocking and
// checked with fstat before anything is read, so a FIFO with no writer, a device or a socket
// at the path can never hang the caller.
RegularFileContent ReadRegularFile(const QString &path, qint64 maxSize);

} // namespace jov
