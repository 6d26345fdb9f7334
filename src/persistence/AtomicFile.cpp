#include "persistence/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace jov {

namespace {

// QSaveFile writes to a QTemporaryFile named after the target: "<target>.XXXXXX" with the six
// X replaced by letters (Qt 6) or letters and the process id's digits (older versions).
constexpr int TemporarySuffixLength = 6;

bool IsTemporaryName(const QString &entry, const QString &target)
{
    const qsizetype prefix = target.size() + 1;
    if (entry.size() != prefix + TemporarySuffixLength || !entry.startsWith(target) ||
        entry[target.size()] != u'.')
        return false;
    for (qsizetype i = prefix; i < entry.size(); ++i) {
        const char16_t c = entry[i].unicode();
        const bool alnum =
            (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
        if (!alnum)
            return false;
    }
    return true;
}

// Makes a rename in the folder durable. A folder that cannot be synced (some file systems
// refuse) changes nothing: the file itself is complete either way.
void SyncFolder(const QString &folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool WriteFileAtomically(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The explicit flush matters: a short write while QSaveFile flushes its buffer inside
    // commit() is not noticed there (Qt 6.4), and a cut file would be renamed over the old one.
    if (file.write(content) != content.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    // commit() syncs the file's content before the rename; the folder holds the rename.
    if (!file.commit())
        return false;
    SyncFolder(QFileInfo(path).absolutePath());
    return true;
}

int RemoveStaleTemporaries(const QString &path, std::chrono::seconds minAge)
{
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-minAge.count());
    int removed = 0;
    const QFileInfoList entries =
        folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries) {
        if (!IsTemporaryName(entry.fileName(), target.fileName()) || !entry.isFile() ||
            entry.isSymLink())
            continue;
        if (entry.lastModified().toUTC() < limit && QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

} // namespace jov
