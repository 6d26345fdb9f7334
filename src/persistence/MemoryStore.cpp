#include "persistence/MemoryStore.h"

namespace jov {

bool MemoryStore::Written(const QString &key, const QString &name, bool stored)
{
    log_.append(QStringLiteral("W ") + key + u'|' + name);
    return stored;
}

bool MemoryStore::RegWriteString(const QString &key, const QString &name, const QString &value)
{
    return Written(key, name, !failWrites_ && data_.SetString(key, name, value));
}

bool MemoryStore::RegWriteInteger(const QString &key, const QString &name, qint32 value)
{
    return Written(key, name, !failWrites_ && data_.SetDword(key, name, quint32(value)));
}

bool MemoryStore::RegReadValueNames(const QString &key, QStringList &names)
{
    log_.append(QStringLiteral("N ") + key);
    return data_.ValueNames(key, names);
}

QString MemoryStore::RegReadString(const QString &key, const QString &name,
                                   const QString &defaultValue)
{
    log_.append(QStringLiteral("R ") + key + u'|' + name);
    const RegValue *v = data_.Value(key, name);
    return v && v->type == RegValueType::String ? v->text : defaultValue;
}

qint32 MemoryStore::RegReadInteger(const QString &key, const QString &name, qint32 defaultValue)
{
    log_.append(QStringLiteral("R ") + key + u'|' + name);
    const RegValue *v = data_.Value(key, name);
    return v && v->type == RegValueType::Dword ? qint32(v->dword) : defaultValue;
}

void MemoryStore::BeginBatch()
{
    ++batchDepth_;
}

bool MemoryStore::CommitBatch()
{
    if (batchDepth_ > 0 && --batchDepth_ == 0)
        ++commits_;
    return !failWrites_;
}

QStringList MemoryStore::writeLog() const
{
    QStringList writes;
    for (const QString &entry : log_) {
        if (entry.startsWith(QLatin1String("W ")))
            writes.append(entry.sliced(2));
    }
    return writes;
}

} // namespace jov
