#include "persistence/RegistryStore.h"

#include "persistence/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace jov {

namespace {

// A settings file is a few kilobytes; anything this large is not ours to load into memory.
constexpr qint64 MaxStoreFileSize = 16 << 20;

bool PathTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

RegistryStore::RegistryStore(QString filePath) : path_(std::move(filePath)) {}

RegistryStore::~RegistryStore()
{
    if (batchDepth_ > 0 && dirty_)
        Flush();
}

QString RegistryStore::FreeBackupPath(const QString &filePath)
{
    const QString first = filePath + QStringLiteral(".bak");
    if (!PathTaken(first))
        return first;
    for (int n = 2; n <= 999; ++n) {
        const QString candidate = first + u'.' + QString::number(n);
        if (!PathTaken(candidate))
            return candidate;
    }
    return {};
}

RegistryStore::Signature RegistryStore::Stat() const
{
    Signature s;
#ifdef Q_OS_UNIX
    // Nanosecond times and the file's identity: another store replacing the file renames a new
    // file over it, which changes the identity even within one tick of the clock.
    struct stat st;
    if (::stat(QFile::encodeName(path_).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.size = qint64(st.st_size);
    s.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changed = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.identity = quint64(st.st_ino) ^ (quint64(st.st_dev) << 32);
#else
    const QFileInfo info(path_);
    s.exists = info.exists();
    if (s.exists) {
        s.size = info.size();
        s.modified = info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
        s.changed = info.fileTime(QFileDevice::FileMetadataChangeTime).toMSecsSinceEpoch();
    }
#endif
    return s;
}

void RegistryStore::Refresh()
{
    if (batchDepth_ > 0 && cacheValid_)
        return;
    // Taken before reading: should the file change in between, the next call sees a different
    // signature and reads again.
    const Signature now = Stat();
    if (cacheValid_ && now == signature_)
        return;

    data_ = RegistryData();
    lossless_ = true;
    state_ = FileState::Missing;
    if (now.exists) {
        state_ = FileState::Unreadable;
        QFile file(path_);
        if (now.size <= MaxStoreFileSize && file.open(QIODevice::ReadOnly)) {
            const QByteArray content = file.read(MaxStoreFileSize + 1);
            if (file.error() == QFileDevice::NoError && content.size() <= MaxStoreFileSize) {
                RegParseReport report;
                data_ = RegistryData::Parse(content, &report);
                lossless_ = report.lossless();
                state_ = FileState::Readable;
            }
        }
    }
    signature_ = now;
    cacheValid_ = true;
}

bool RegistryStore::Flush()
{
    const auto fail = [this] {
        // The registry keeps nothing of a failed write: forget the change and read the file
        // again on the next call.
        cacheValid_ = false;
        return false;
    };

    const QFileInfo info(path_);
    if (!QDir().mkpath(info.absolutePath()))
        return fail();

    if (state_ == FileState::Unreadable && PathTaken(path_)) {
        const QString aside = FreeBackupPath(path_);
        if (aside.isEmpty() || !QDir().rename(path_, aside))
            return fail();
        lastBackup_ = aside;
    } else if (state_ == FileState::Readable && !lossless_ && backedUp_ != signature_) {
        const QString aside = FreeBackupPath(path_);
        if (aside.isEmpty() || !QFile::copy(path_, aside))
            return fail();
        lastBackup_ = aside;
        backedUp_ = signature_;
    }

    if (!WriteFileAtomically(path_, data_.ToText()))
        return fail();

    ++replacements_;
    signature_ = Stat();
    state_ = FileState::Readable;
    lossless_ = true;
    cacheValid_ = true;
    return true;
}

template <typename Change> bool RegistryStore::Write(Change change)
{
    Refresh();
    if (!change(data_))
        return false;
    if (batchDepth_ > 0) {
        dirty_ = true;
        return true;
    }
    return Flush();
}

bool RegistryStore::RegWriteString(const QString &key, const QString &name, const QString &value)
{
    return Write([&](RegistryData &d) { return d.SetString(key, name, value); });
}

bool RegistryStore::RegWriteInteger(const QString &key, const QString &name, qint32 value)
{
    return Write([&](RegistryData &d) { return d.SetDword(key, name, quint32(value)); });
}

bool RegistryStore::RegReadValueNames(const QString &key, QStringList &names)
{
    Refresh();
    return data_.ValueNames(key, names);
}

QString RegistryStore::RegReadString(const QString &key, const QString &name,
                                     const QString &defaultValue)
{
    Refresh();
    const RegValue *v = data_.Value(key, name);
    return v && v->type == RegValueType::String ? v->text : defaultValue;
}

qint32 RegistryStore::RegReadInteger(const QString &key, const QString &name, qint32 defaultValue)
{
    Refresh();
    const RegValue *v = data_.Value(key, name);
    return v && v->type == RegValueType::Dword ? qint32(v->dword) : defaultValue;
}

void RegistryStore::BeginBatch()
{
    if (batchDepth_ == 0) {
        dirty_ = false;
        Refresh();
    }
    ++batchDepth_;
}

bool RegistryStore::CommitBatch()
{
    if (batchDepth_ == 0)
        return true;
    if (--batchDepth_ > 0 || !dirty_)
        return true;
    dirty_ = false;
    return Flush();
}

} // namespace jov
