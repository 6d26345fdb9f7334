#include "persistence/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jov {

RegularFileContent ReadRegularFile(const QString &path, qint64 maxSize)
{
    RegularFileContent result;
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.error = errno == ENOENT ? RegularFileError::Missing : RegularFileError::Unreadable;
        return result;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        result.error = RegularFileError::Unreadable;
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = RegularFileError::NotRegular;
        return result;
    }
    if (st.st_size > maxSize) {
        ::close(fd);
        result.error = RegularFileError::TooLarge;
        return result;
    }
    // A regular file never blocks; the flag only mattered for the open.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QByteArray content;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            result.error = RegularFileError::Unreadable;
            return result;
        }
        if (n == 0)
            break;
        content.append(buffer, n);
        // The file may grow while it is read.
        if (content.size() > maxSize) {
            ::close(fd);
            result.error = RegularFileError::TooLarge;
            return result;
        }
    }
    ::close(fd);
    result.content = std::move(content);
    return result;
}

} // namespace jov
