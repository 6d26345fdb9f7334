#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace jov {

struct IniEntry
{
    QString name;
    QString value;
};

// A read-only INI file as the platform's profile functions see it: "[section]" lines, then
// "name=value" lines; section and entry names are found regardless of case, blanks around
// names and values do not count, a value wrapped in matching quotes loses them, lines starting
// with ";" are comments. When a section or a name appears twice the first one counts. Keys are
// kept exactly as written (QSettings would rewrite them).
class IniFile
{
public:
    // UTF-8 when the bytes are valid UTF-8, otherwise Latin-1, as old 8-bit files are.
    static IniFile Parse(const QByteArray &content);

    bool HasSection(const QString &section) const;
    // The entries of a section in file order; empty when the section is missing.
    QList<IniEntry> Entries(const QString &section) const;
    // The value, or nullptr when the section or the name is missing.
    const QString *Value(const QString &section, const QString &name) const;

private:
    struct Section
    {
        QString name;
        QList<IniEntry> entries;
    };

    const Section *FindSection(const QString &section) const;

    QList<Section> m_sections;
};

} // namespace jov
