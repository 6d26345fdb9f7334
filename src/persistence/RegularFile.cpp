#include "persistence/RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jov {

namespace {

// Closes the descriptor on every way out.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

RegularFileContent ReadRegularFile(const QString &path, qint64 maxSize, LargeFile large)
{
    RegularFileContent result;
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const FileDescriptor fd(
        ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        result.error = errno == ENOENT ? RegularFileError::Missing : RegularFileError::Unreadable;
        return result;
    }
    struct stat st = {};
    if (::fstat(fd.get(), &st) != 0) {
        result.error = RegularFileError::Unreadable;
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = RegularFileError::NotRegular;
        return result;
    }
    if (st.st_size > maxSize && large == LargeFile::Refuse) {
        result.error = RegularFileError::TooLarge;
        return result;
    }
    // The flag stays: a few regular files wait for data on a read (/proc/kmsg, for root), and
    // say EAGAIN with it instead; an ordinary file ignores it.
    QByteArray content;
    char buffer[16384];
    // One byte past the limit tells whether there is more.
    while (content.size() <= maxSize) {
        const auto wanted = std::min<qint64>(qint64(sizeof buffer), maxSize + 1 - content.size());
        const ssize_t n = ::read(fd.get(), buffer, std::size_t(wanted));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = RegularFileError::Unreadable;
            return result;
        }
        if (n == 0)
            break;
        content.append(buffer, n);
    }
    // The file may also have grown while it was read.
    if (content.size() > maxSize) {
        if (large == LargeFile::Refuse) {
            result.error = RegularFileError::TooLarge;
            return result;
        }
        content.truncate(maxSize);
        result.cut = true;
    }
    result.content = std::move(content);
    return result;
}

} // namespace jov
