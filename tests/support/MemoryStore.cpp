#include "MemoryStore.h"

namespace jov {

bool MemoryStore::Written(const QString &key, const QString &name, bool stored)
{
    m_log.append(QStringLiteral("W ") + key + u'|' + name);
    return stored;
}

bool MemoryStore::RegWriteString(const QString &key, const QString &name, const QString &value)
{
    return Written(key, name, !m_failWrites && m_data.SetString(key, name, value));
}

bool MemoryStore::RegWriteInteger(const QString &key, const QString &name, qint32 value)
{
    return Written(key, name, !m_failWrites && m_data.SetDword(key, name, quint32(value)));
}

bool MemoryStore::RegReadValueNames(const QString &key, QStringList &names)
{
    m_log.append(QStringLiteral("N ") + key);
    return m_data.ValueNames(key, names);
}

std::optional<RegValue> MemoryStore::RegReadValue(const QString &key, const QString &name)
{
    m_log.append(QStringLiteral("R ") + key + u'|' + name);
    const RegValue *v = m_data.Value(key, name);
    return v ? std::optional<RegValue>(*v) : std::nullopt;
}

void MemoryStore::BeginBatch()
{
    ++m_batchDepth;
}

bool MemoryStore::CommitBatch()
{
    if (m_batchDepth > 0 && --m_batchDepth == 0)
        ++m_commits;
    return !m_failWrites;
}

QStringList MemoryStore::writeLog() const
{
    QStringList writes;
    for (const QString &entry : m_log) {
        if (entry.startsWith(QLatin1String("W ")))
            writes.append(entry.sliced(2));
    }
    return writes;
}

} // namespace jov
