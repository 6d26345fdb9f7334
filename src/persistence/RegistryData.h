#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace jov {

enum class RegValueType {
    String, // REG_SZ
    Dword,  // REG_DWORD
    Other,  // any other type found in a file, kept verbatim and never read
};

struct RegValue
{
    QString name;
    RegValueType type = RegValueType::String;
    // String: the text. Other: the data after "=" as it stood in the file ("hex(2):41,00,...").
    QString text;
    quint32 dword = 0;
};

struct RegParseReport
{
    // Non-empty lines that were neither a header, a section of the current user's hive nor a
    // value of such a section, plus values that a later line of the same name replaced.
    int ignoredLines = 0;
    // The bytes were not valid UTF-8 (or UTF-16 after its byte-order mark).
    bool badEncoding = false;

    // Writing the parsed data back would reproduce everything the file said.
    bool lossless() const { return ignoredLines == 0 && !badEncoding; }
};

// The keys and values of one hive in memory, read from and written to the text export format
// of a registry:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Corvel Astine\JOV\Options]
//   "Op30"="/home/me/Palettes"
//   "Op01"=dword:000000ff
//
// Texts are quoted with \ and " escaped by a backslash; a text holding control characters (a
// line break in a file name, say) is written as hex(1): UTF-16LE bytes so that every value
// stays on its line. Keys and value names keep the spelling and order of their first
// appearance and are found regardless of case.
class RegistryData
{
public:
    static RegistryData Parse(const QByteArray &content, RegParseReport *report = nullptr);
    QByteArray ToText() const;

    // The key path with empty parts dropped ("a\\b\" -> "a\b"); empty when the path names no
    // key or holds characters that cannot be stored (line breaks and other control characters).
    static QString NormalizeKey(const QString &key);
    static bool IsValidValueName(const QString &name);

    // True when the key exists, explicitly or as the parent of an existing key.
    bool HasKey(const QString &key) const;
    const RegValue *Value(const QString &key, const QString &name) const;
    bool ValueNames(const QString &key, QStringList &names) const;
    QStringList KeyPaths() const;

    // False, and nothing changed, when the key path or the name cannot be stored.
    bool SetString(const QString &key, const QString &name, const QString &value);
    bool SetDword(const QString &key, const QString &name, quint32 value);

    bool isEmpty() const { return m_keys.isEmpty(); }

private:
    struct Key
    {
        QString path;
        QList<RegValue> values;
        QHash<QString, qsizetype> valueIndex; // case-folded name -> position in values
    };

    const Key *FindKey(const QString &normalizedPath) const;
    Key &CreateKey(const QString &normalizedPath);
    // Returns the value of that name, appended when new; *existed tells which.
    static RegValue &ValueSlot(Key &key, const QString &name, bool *existed = nullptr);
    bool Store(const QString &key, const QString &name, const RegValue &value);

    QList<Key> m_keys;
    QHash<QString, qsizetype> m_keyIndex; // case-folded path -> position in m_keys
    QSet<QString> m_parents;              // case-folded paths of all ancestors of the keys
};

} // namespace jov
