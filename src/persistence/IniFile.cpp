#include "persistence/IniFile.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>

namespace jov {

namespace {

QString Unquoted(QString value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

} // namespace

IniFile IniFile::Parse(const QByteArray &content)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(content);
    if (utf8.hasError())
        text = QString::fromLatin1(content);

    IniFile doc;
    QHash<QString, qsizetype> sectionIndex; // case-folded name -> position, first one wins
    QSet<QString> namesSeen;                // case-folded names of the current section
    Section *current = nullptr;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed(); // also drops the CR of a CR LF ending
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            qsizetype close = line.indexOf(u']');
            if (close < 0)
                close = line.size();
            const QString name = line.sliced(1, close - 1).trimmed().toString();
            const QString folded = name.toCaseFolded();
            namesSeen.clear();
            if (sectionIndex.contains(folded)) {
                current = nullptr; // a repeated section is not looked at
                continue;
            }
            sectionIndex.insert(folded, doc.m_sections.size());
            doc.m_sections.append(Section{name, {}});
            current = &doc.m_sections.last();
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!current || eq < 0)
            continue;
        const QString name = line.first(eq).trimmed().toString();
        const QString folded = name.toCaseFolded();
        if (name.isEmpty() || namesSeen.contains(folded))
            continue;
        namesSeen.insert(folded);
        current->entries.append(IniEntry{name, Unquoted(line.sliced(eq + 1).trimmed().toString())});
    }
    return doc;
}

const IniFile::Section *IniFile::FindSection(const QString &section) const
{
    for (const Section &s : m_sections) {
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

bool IniFile::HasSection(const QString &section) const
{
    return FindSection(section) != nullptr;
}

QList<IniEntry> IniFile::Entries(const QString &section) const
{
    const Section *s = FindSection(section);
    return s ? s->entries : QList<IniEntry>();
}

const QString *IniFile::Value(const QString &section, const QString &name) const
{
    const Section *s = FindSection(section);
    if (!s)
        return nullptr;
    for (const IniEntry &e : s->entries) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return &e.value;
    }
    return nullptr;
}

} // namespace jov
