#pragma once

#include "persistence/RegistryData.h"
#include "persistence/SettingsStore.h"

#include <QStringList>

namespace jov {

// A settings store held in memory, with the same rules as the file store (case-insensitive
// keys and names, typed values). It records every call, which lets tests check the order in
// which settings are read and written, and can be told to refuse writes.
class MemoryStore : public SettingsStore
{
public:
    bool RegWriteString(const QString &key, const QString &name, const QString &value) override;
    bool RegWriteInteger(const QString &key, const QString &name, qint32 value) override;
    bool RegReadValueNames(const QString &key, QStringList &names) override;
    std::optional<RegValue> RegReadValue(const QString &key, const QString &name) override;

    void BeginBatch() override;
    bool CommitBatch() override;

    RegistryData &data() { return m_data; }
    const RegistryData &data() const { return m_data; }

    // One entry per call, in call order: "W <key>|<name>" for a write, "R <key>|<name>" for a
    // read, "N <key>" for a listing of value names.
    const QStringList &callLog() const { return m_log; }
    // Only the write entries, without the "W " prefix.
    QStringList writeLog() const;
    void clearLog() { m_log.clear(); }

    // While set, every write returns false and stores nothing.
    void setFailWrites(bool fail) { m_failWrites = fail; }
    // Outermost batches committed so far.
    int batchCommits() const { return m_commits; }

private:
    bool Written(const QString &key, const QString &name, bool stored);

    RegistryData m_data;
    QStringList m_log;
    bool m_failWrites = false;
    int m_batchDepth = 0;
    int m_commits = 0;
};

} // namespace jov
