#pragma once

#include "persistence/RegistryData.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace jov {

// The per-user settings store, shaped like the registry routines of the current user's hive:
// key paths are relative to that hive ("Software\Corvel Astine\JOV\Options"), key paths and
// value names compare without regard to case, and every value is either a text or a 32-bit
// integer. Reads never fail loudly: a missing key, a missing value or a value of the other type
// gives the default. Writes create the key when missing and return true only when the value
// really reached the store.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    virtual bool RegWriteString(const QString &key, const QString &name, const QString &value) = 0;
    virtual bool RegWriteInteger(const QString &key, const QString &name, qint32 value) = 0;
    bool RegWriteBool(const QString &key, const QString &name, bool value)
    {
        return RegWriteInteger(key, name, value ? 1 : 0);
    }

    // Fills names with the key's value names in stored order and returns true; when the key
    // does not exist returns false and leaves names alone.
    virtual bool RegReadValueNames(const QString &key, QStringList &names) = 0;
    // The value stored under the name, whatever its type; nothing when there is none.
    virtual std::optional<RegValue> RegReadValue(const QString &key, const QString &name) = 0;
    QString RegReadString(const QString &key, const QString &name, const QString &defaultValue)
    {
        const std::optional<RegValue> v = RegReadValue(key, name);
        return v && v->type == RegValueType::String ? v->text : defaultValue;
    }
    qint32 RegReadInteger(const QString &key, const QString &name, qint32 defaultValue)
    {
        const std::optional<RegValue> v = RegReadValue(key, name);
        return v && v->type == RegValueType::Dword ? qint32(v->dword) : defaultValue;
    }
    bool RegReadBool(const QString &key, const QString &name, bool defaultValue)
    {
        return RegReadInteger(key, name, defaultValue ? 1 : 0) != 0;
    }

    // Where the store is kept, as the user would look for it (a file's path); empty when it
    // has no such place.
    virtual QString location() const { return QString(); }

    // Keeps a copy of what the store holds now beside it, before writes that replace many values
    // at once (an import of older settings). True when the copy was made or there was nothing
    // to keep; false when a copy was needed and could not be made.
    virtual bool KeepCopy() { return true; }

    // Groups the writes up to the matching CommitBatch into one update of the backing storage.
    // Writes inside a batch return true once accepted; CommitBatch tells whether they reached
    // the store. Batches nest; only the outermost commit writes.
    virtual void BeginBatch() {}
    virtual bool CommitBatch() { return true; }
};

// Holds a batch of `store` open for its lifetime: commit() ends it and tells whether the writes
// reached the store; a batch not committed by then is committed on destruction.
class StoreBatch
{
public:
    explicit StoreBatch(SettingsStore &store) : m_store(store) { m_store.BeginBatch(); }
    ~StoreBatch()
    {
        if (!m_committed)
            m_store.CommitBatch();
    }
    StoreBatch(const StoreBatch &) = delete;
    StoreBatch &operator=(const StoreBatch &) = delete;

    bool commit()
    {
        if (m_committed)
            return true;
        m_committed = true;
        return m_store.CommitBatch();
    }

private:
    SettingsStore &m_store;
    bool m_committed = false;
};

} // namespace jov
