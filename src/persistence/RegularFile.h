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
    // Only with LargeFile::ReadStart: the file held more than the bytes returned.
    bool cut = false;

    bool ok() const { return error == RegularFileError::None; }
};

// What a file larger than the limit gives: an error, or its first maxSize bytes.
enum class LargeFile { Refuse, ReadStart };

// Reads a whole regular file of at most maxSize bytes. The file is opened and read without
// blocking and checked with fstat before anything is read, so a FIFO with no writer, a device
// or a socket at the path, or a regular file whose read would wait (/proc/kmsg), can never hang
// the caller; the last is Unreadable.
RegularFileContent ReadRegularFile(const QString &path, qint64 maxSize,
                                   LargeFile large = LargeFile::Refuse);

} // namespace jov
