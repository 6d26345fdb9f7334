#pragma once

#include "persistence/RegistryData.h"
#include "persistence/SettingsStore.h"

#include <QString>

namespace jov {

// The settings store kept in one human-readable file (see RegistryData for the format).
//
// Each call behaves as if it opened and closed the key: the parsed file is cached, but every
// call outside a batch first looks at the file's size, times and identity (inode) and reads it
// again when any changed. An edit in place that keeps the size within one tick of the file
// system's clock goes unseen until the next change. Every successful write replaces the whole file
// atomically (QSaveFile), so a crash at any moment leaves either the old file or the new one.
//
// The file is never silently lost:
// - a file that exists but cannot be read (no permission, larger than 16 MiB, or not a regular
//   file at all: a folder, FIFO, socket or device, which is never opened in earnest) reads as
//   empty and is moved aside (renamed) before the first write;
// - a file holding lines this store does not understand (comments, other hives, deletions,
//   bytes that are not UTF-8, a value given twice) is copied aside before the first write over
//   it, as the store would drop those lines.
// The first copy goes to "<file>.bak", each later one to "<file>.bak.N", N one more than the
// highest number beside the file ("<file>.bak" counting as 1): a copy is never overwritten, and
// the newest has the highest number. Once a copy is made only the newest MaxBackups are kept;
// older ones are removed, except folders (a folder moved aside is left to the user). A save
// thus never depends on a free name. KeepCopy makes the same copy of a readable file on request
// (once per version of the file).
//
// Batches: BeginBatch ... CommitBatch reads the file once and replaces it once, however many
// values are written in between; use it for SaveSettings. Inside a batch the file is not
// looked at again, and writes return true once accepted in memory; CommitBatch returns whether
// the file was written. A batch still open when the store is destroyed is committed then.
class RegistryStore : public SettingsStore
{
public:
    explicit RegistryStore(QString filePath);
    ~RegistryStore() override;

    RegistryStore(const RegistryStore &) = delete;
    RegistryStore &operator=(const RegistryStore &) = delete;

    QString filePath() const { return m_path; }

    bool RegWriteString(const QString &key, const QString &name, const QString &value) override;
    bool RegWriteInteger(const QString &key, const QString &name, qint32 value) override;
    bool RegReadValueNames(const QString &key, QStringList &names) override;
    std::optional<RegValue> RegReadValue(const QString &key, const QString &name) override;

    QString location() const override;
    bool KeepCopy() override;
    void BeginBatch() override;
    bool CommitBatch() override;

    // Where this object last kept a copy of the file aside; empty when it never did.
    QString lastBackupPath() const { return m_lastBackup; }
    // How many times this object replaced the file.
    int fileReplacements() const { return m_replacements; }

    // How many copies of the file are kept beside it.
    static constexpr int MaxBackups = 5;
    // Where the next copy of the file goes.
    static QString NextBackupPath(const QString &filePath);

private:
    enum class FileState { Missing, Readable, Unreadable };

    struct Signature
    {
        bool exists = false;
        qint64 size = -1;
        qint64 modified = 0;
        qint64 changed = 0;
        quint64 identity = 0;
        bool operator==(const Signature &) const = default;
    };

    Signature Stat() const;
    void Refresh();
    bool Flush();
    bool CopyAside();
    void BackedUp(const QString &path);
    template <typename Change> bool Write(Change change);

    QString m_path;
    RegistryData m_data;
    // The bytes m_data was parsed from: a copy kept aside holds exactly what was read.
    QByteArray m_fileBytes;
    FileState m_state = FileState::Missing;
    bool m_lossless = true;
    bool m_cacheValid = false;
    Signature m_signature;
    // The file last copied aside, so that a failed write retried over the same file does not
    // leave a second copy.
    Signature m_backedUp;
    int m_batchDepth = 0;
    bool m_dirty = false;
    QString m_lastBackup;
    int m_replacements = 0;
};

} // namespace jov
