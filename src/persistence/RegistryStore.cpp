#include "persistence/RegistryStore.h"

#include "persistence/AtomicFile.h"
#include "persistence/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
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

// A copy beside the file named fileName: 1 for "<fileName>.bak", N for "<fileName>.bak.N"
// (N from 2, written without leading zeros); 0 for any other name.
qint64 BackupNumber(const QString &entry, const QString &fileName)
{
    const QString stem = fileName + QStringLiteral(".bak");
    if (!entry.startsWith(stem))
        return 0;
    if (entry.size() == stem.size())
        return 1;
    const QStringView digits = QStringView(entry).mid(stem.size() + 1);
    if (entry[stem.size()] != u'.' || digits.isEmpty() || digits.size() > 18 || digits[0] == u'0')
        return 0;
    qint64 number = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number >= 2 ? number : 0;
}

struct Backup
{
    qint64 number;
    QFileInfo info;
};

// The copies beside the file, newest first.
QList<Backup> Backups(const QString &filePath)
{
    const QFileInfo file(filePath);
    QList<Backup> backups;
    const QFileInfoList entries = file.absoluteDir().entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (const qint64 number = BackupNumber(entry.fileName(), file.fileName()))
            backups.append({number, entry});
    }
    std::sort(backups.begin(), backups.end(),
              [](const Backup &a, const Backup &b) { return a.number > b.number; });
    return backups;
}

} // namespace

RegistryStore::RegistryStore(QString filePath) : m_path(std::move(filePath)) {}

RegistryStore::~RegistryStore()
{
    if (m_batchDepth > 0 && m_dirty)
        Flush();
}

QString RegistryStore::NextBackupPath(const QString &filePath)
{
    const QList<Backup> backups = Backups(filePath);
    QString path = filePath + QStringLiteral(".bak");
    if (!backups.isEmpty())
        path += u'.' + QString::number(backups.first().number + 1);
    return path;
}

// Records the copy just made and removes the copies older than the newest MaxBackups. A copy
// that cannot be removed stays; the save does not depend on it.
void RegistryStore::BackedUp(const QString &path)
{
    m_lastBackup = path;
    const QList<Backup> backups = Backups(m_path);
    for (qsizetype i = MaxBackups; i < backups.size(); ++i) {
        const QFileInfo &old = backups[i].info;
        if (old.isSymLink() || !old.isDir())
            QFile::remove(old.absoluteFilePath());
    }
}

RegistryStore::Signature RegistryStore::Stat() const
{
    Signature s;
#ifdef Q_OS_UNIX
    // Nanosecond times and the file's identity: another store replacing the file renames a new
    // file over it, which changes the identity even within one tick of the clock.
    struct stat st;
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.size = qint64(st.st_size);
    s.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changed = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.identity = quint64(st.st_ino) ^ (quint64(st.st_dev) << 32);
#else
    const QFileInfo info(m_path);
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
    if (m_batchDepth > 0 && m_cacheValid)
        return;
    // Taken before reading: should the file change in between, the next call sees a different
    // signature and reads again.
    const Signature now = Stat();
    if (m_cacheValid && now == m_signature)
        return;

    m_data = RegistryData();
    m_fileBytes.clear();
    m_lossless = true;
    m_state = FileState::Missing;
    if (now.exists) {
        // A FIFO, socket or device at the path is never opened in earnest (a FIFO would block);
        // like any file that cannot be read it is moved aside before the first write.
        const RegularFileContent file = ReadRegularFile(m_path, MaxStoreFileSize);
        if (file.ok()) {
            RegParseReport report;
            m_data = RegistryData::Parse(file.content, &report);
            m_fileBytes = file.content;
            m_lossless = report.lossless();
            m_state = FileState::Readable;
        } else if (file.error != RegularFileError::Missing) {
            m_state = FileState::Unreadable;
        }
    }
    m_signature = now;
    m_cacheValid = true;
}

bool RegistryStore::Flush()
{
    const auto fail = [this] {
        // The registry keeps nothing of a failed write: forget the change and read the file
        // again on the next call.
        m_cacheValid = false;
        return false;
    };

    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        return fail();

    if (m_state == FileState::Unreadable && PathTaken(m_path)) {
        const QString aside = NextBackupPath(m_path);
        if (!QDir().rename(m_path, aside))
            return fail();
        BackedUp(aside);
    } else if (m_state == FileState::Readable && !m_lossless && m_backedUp != m_signature) {
        if (!CopyAside())
            return fail();
    }

    const QByteArray text = m_data.ToText();
    if (!WriteFileAtomically(m_path, text))
        return fail();

    ++m_replacements;
    m_fileBytes = text;
    m_signature = Stat();
    m_state = FileState::Readable;
    m_lossless = true;
    m_cacheValid = true;
    return true;
}

// Writes the bytes last read to a new file under the next backup name; the file itself is
// not opened again, as it may have been replaced by something that cannot be read.
bool RegistryStore::CopyAside()
{
    const QString aside = NextBackupPath(m_path);
    QFile copy(aside);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    // The copy is as private as the file it comes from.
    const QFileDevice::Permissions permissions = QFile::permissions(m_path);
    if (permissions)
        QFile::setPermissions(aside, permissions);
    if (copy.write(m_fileBytes) != m_fileBytes.size() || !copy.flush()) {
        copy.remove();
        return false;
    }
    copy.close();
    m_backedUp = m_signature;
    BackedUp(aside);
    return true;
}

QString RegistryStore::location() const
{
    return QDir::toNativeSeparators(m_path);
}

bool RegistryStore::KeepCopy()
{
    Refresh();
    // A missing file has nothing to keep; one that cannot be read is moved aside whole before
    // the first write over it.
    if (m_state != FileState::Readable || m_backedUp == m_signature)
        return true;
    return CopyAside();
}

template <typename Change> bool RegistryStore::Write(Change change)
{
    Refresh();
    if (!change(m_data))
        return false;
    if (m_batchDepth > 0) {
        m_dirty = true;
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
    return m_data.ValueNames(key, names);
}

std::optional<RegValue> RegistryStore::RegReadValue(const QString &key, const QString &name)
{
    Refresh();
    const RegValue *v = m_data.Value(key, name);
    return v ? std::optional<RegValue>(*v) : std::nullopt;
}

void RegistryStore::BeginBatch()
{
    if (m_batchDepth == 0) {
        m_dirty = false;
        Refresh();
    }
    ++m_batchDepth;
}

bool RegistryStore::CommitBatch()
{
    if (m_batchDepth == 0)
        return true;
    if (--m_batchDepth > 0 || !m_dirty)
        return true;
    m_dirty = false;
    return Flush();
}

} // namespace jov
