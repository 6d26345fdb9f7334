#include "persistence/RegistryData.h"

#include "color/NumberText.h"

#include <QStringDecoder>

namespace jov {

namespace {

const QString HiveName = QStringLiteral("HKEY_CURRENT_USER");
const QString HiveShortName = QStringLiteral("HKCU");
const QString HeaderV5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString HeaderV4 = QStringLiteral("REGEDIT4");

QString Folded(const QString &s)
{
    return s.toCaseFolded();
}

bool HasControlCharacter(QStringView s)
{
    for (const QChar c : s) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

// Reads a quoted text starting at s[pos] == '"'; on success pos is just past the closing quote.
// Only \\ and \" are escapes, as in a registry export; any other backslash pair is refused
// rather than guessed at.
bool ReadQuoted(QStringView s, qsizetype &pos, QString &out)
{
    out.clear();
    qsizetype i = pos + 1;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == u'"') {
            pos = i + 1;
            return true;
        }
        if (c == u'\\') {
            if (i + 1 >= s.size() || (s[i + 1] != u'\\' && s[i + 1] != u'"'))
                return false;
            out += s[i + 1];
            i += 2;
            continue;
        }
        out += c;
        ++i;
    }
    return false;
}

QString Quoted(const QString &s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += u'"';
    for (const QChar c : s) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    out += u'"';
    return out;
}

bool OnlyBlanks(QStringView s)
{
    return s.trimmed().isEmpty();
}

// "41,00,0a,00" (blanks allowed around the bytes; an empty list is allowed).
bool ReadHexBytes(QStringView s, QByteArray &bytes)
{
    bytes.clear();
    const QStringView list = s.trimmed();
    if (list.isEmpty())
        return true;
    for (const QStringView part : list.split(u',')) {
        const QStringView b = part.trimmed();
        const std::optional<quint32> byte = b.size() <= 2 ? ParseHex32(b) : std::nullopt;
        if (!byte)
            return false;
        bytes += char(*byte);
    }
    return true;
}

QString HexBytes(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += u',';
        out += QString::number(uchar(bytes[i]), 16).rightJustified(2, u'0');
    }
    return out;
}

bool NeedsHexForm(const QString &s)
{
    return HasControlCharacter(s) || !QStringView(s).isValidUtf16();
}

// The data part of a value line: a quoted text, dword:XXXXXXXX, or a hex form.
bool ReadValueData(QStringView data, RegValue &value)
{
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        if (!ReadQuoted(data, pos, value.text) || !OnlyBlanks(data.sliced(pos)))
            return false;
        value.type = RegValueType::String;
        return true;
    }
    const QStringView trimmed = data.trimmed();
    if (trimmed.startsWith(u"dword:", Qt::CaseInsensitive)) {
        const QStringView digits = trimmed.sliced(6);
        const std::optional<quint32> dword = digits.size() <= 8 ? ParseHex32(digits) : std::nullopt;
        if (!dword)
            return false;
        value.type = RegValueType::Dword;
        value.dword = *dword;
        return true;
    }
    if (trimmed.startsWith(u"hex", Qt::CaseInsensitive)) {
        const qsizetype colon = trimmed.indexOf(u':');
        if (colon < 0)
            return false;
        const QStringView kind = trimmed.first(colon);
        QByteArray bytes;
        if (!ReadHexBytes(trimmed.sliced(colon + 1), bytes))
            return false;
        if (kind.compare(u"hex(1)", Qt::CaseInsensitive) == 0 && bytes.size() % 2 == 0) {
            // Copied unit by unit: fromUtf16() would take a leading U+FEFF for a byte-order mark
            // and drop it.
            QString text(bytes.size() / 2, Qt::Uninitialized);
            for (qsizetype i = 0; i < text.size(); ++i)
                text[i] = QChar(char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8));
            // Drop the terminating NUL a REG_SZ carries; a NUL before it belongs to the text.
            if (text.endsWith(QChar(u'\0')))
                text.chop(1);
            value.type = RegValueType::String;
            value.text = text;
            return true;
        }
        if (kind.compare(u"hex(4)", Qt::CaseInsensitive) == 0 && bytes.size() == 4) {
            value.type = RegValueType::Dword;
            value.dword = quint32(uchar(bytes[0])) | quint32(uchar(bytes[1])) << 8 |
                          quint32(uchar(bytes[2])) << 16 | quint32(uchar(bytes[3])) << 24;
            return true;
        }
        const bool knownKind =
            kind.compare(u"hex", Qt::CaseInsensitive) == 0 ||
            (kind.size() > 5 && kind.sliced(3, 1) == u"(" && kind.endsWith(u')') &&
             kind.size() <= 13 && ParseHex32(kind.sliced(4, kind.size() - 5)));
        if (!knownKind)
            return false;
        value.type = RegValueType::Other;
        value.text = kind.toString().toLower() + u':' + HexBytes(bytes);
        return true;
    }
    return false;
}

QString DataText(const RegValue &v)
{
    switch (v.type) {
    case RegValueType::String:
        if (NeedsHexForm(v.text)) {
            QByteArray bytes(reinterpret_cast<const char *>(v.text.utf16()), v.text.size() * 2);
            bytes.append(2, '\0');
            return QStringLiteral("hex(1):") + HexBytes(bytes);
        }
        return Quoted(v.text);
    case RegValueType::Dword:
        return QStringLiteral("dword:") + QString::number(v.dword, 16).rightJustified(8, u'0');
    case RegValueType::Other:
        break;
    }
    return v.text;
}

} // namespace

QString RegistryData::NormalizeKey(const QString &key)
{
    if (HasControlCharacter(key) || !QStringView(key).isValidUtf16())
        return {};
    return key.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

bool RegistryData::IsValidValueName(const QString &name)
{
    return !name.contains(u'\n') && !name.contains(u'\r') && QStringView(name).isValidUtf16();
}

const RegistryData::Key *RegistryData::FindKey(const QString &normalizedPath) const
{
    const auto it = m_keyIndex.constFind(Folded(normalizedPath));
    return it == m_keyIndex.cend() ? nullptr : &m_keys[*it];
}

RegistryData::Key &RegistryData::CreateKey(const QString &normalizedPath)
{
    const QString folded = Folded(normalizedPath);
    const auto it = m_keyIndex.constFind(folded);
    if (it != m_keyIndex.cend())
        return m_keys[*it];
    m_keyIndex.insert(folded, m_keys.size());
    for (qsizetype cut = folded.lastIndexOf(u'\\'); cut > 0;
         cut = folded.lastIndexOf(u'\\', cut - 1))
        m_parents.insert(folded.first(cut));
    m_keys.append(Key{normalizedPath, {}, {}});
    return m_keys.last();
}

RegValue &RegistryData::ValueSlot(Key &key, const QString &name, bool *existed)
{
    const QString folded = Folded(name);
    const auto it = key.valueIndex.constFind(folded);
    if (existed)
        *existed = it != key.valueIndex.cend();
    if (it != key.valueIndex.cend())
        return key.values[*it];
    key.valueIndex.insert(folded, key.values.size());
    key.values.append(RegValue{name, RegValueType::String, {}, 0});
    return key.values.last();
}

bool RegistryData::HasKey(const QString &key) const
{
    const QString path = NormalizeKey(key);
    if (path.isEmpty())
        return false;
    return FindKey(path) || m_parents.contains(Folded(path));
}

const RegValue *RegistryData::Value(const QString &key, const QString &name) const
{
    const QString path = NormalizeKey(key);
    const Key *k = path.isEmpty() ? nullptr : FindKey(path);
    if (!k)
        return nullptr;
    const auto it = k->valueIndex.constFind(Folded(name));
    return it == k->valueIndex.cend() ? nullptr : &k->values[*it];
}

bool RegistryData::ValueNames(const QString &key, QStringList &names) const
{
    if (!HasKey(key))
        return false;
    names.clear();
    if (const Key *k = FindKey(NormalizeKey(key))) {
        for (const RegValue &v : k->values)
            names.append(v.name);
    }
    return true;
}

QStringList RegistryData::KeyPaths() const
{
    QStringList paths;
    for (const Key &k : m_keys)
        paths.append(k.path);
    return paths;
}

bool RegistryData::Store(const QString &key, const QString &name, const RegValue &value)
{
    const QString path = NormalizeKey(key);
    if (path.isEmpty() || !IsValidValueName(name))
        return false;
    RegValue &slot = ValueSlot(CreateKey(path), name);
    slot.type = value.type;
    slot.text = value.text;
    slot.dword = value.dword;
    return true;
}

bool RegistryData::SetString(const QString &key, const QString &name, const QString &value)
{
    return Store(key, name, RegValue{name, RegValueType::String, value, 0});
}

bool RegistryData::SetDword(const QString &key, const QString &name, quint32 value)
{
    return Store(key, name, RegValue{name, RegValueType::Dword, {}, value});
}

RegistryData RegistryData::Parse(const QByteArray &content, RegParseReport *report)
{
    RegParseReport local;
    RegParseReport &rep = report ? *report : local;
    rep = RegParseReport{};

    QString text;
    if (content.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        text = decoder(QByteArrayView(content).sliced(2));
        rep.badEncoding = decoder.hasError() || content.size() % 2 != 0;
    } else {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QByteArrayView body =
            content.startsWith("\xEF\xBB\xBF") ? QByteArrayView(content).sliced(3) : content;
        text = decoder(body);
        rep.badEncoding = decoder.hasError();
    }

    RegistryData data;
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    Key *current = nullptr;
    bool sectionSeen = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (!sectionSeen && (trimmed == HeaderV5 || trimmed == HeaderV4))
            continue;

        if (trimmed.startsWith(u'[')) {
            sectionSeen = true;
            current = nullptr;
            if (trimmed.endsWith(u']') && trimmed.size() >= 2) {
                const QStringView inner = trimmed.sliced(1, trimmed.size() - 2);
                const qsizetype slash = inner.indexOf(u'\\');
                const QStringView hive = slash < 0 ? inner : inner.first(slash);
                if (hive.compare(HiveName, Qt::CaseInsensitive) == 0 ||
                    hive.compare(HiveShortName, Qt::CaseInsensitive) == 0) {
                    const QString path =
                        slash < 0 ? QString() : NormalizeKey(inner.sliced(slash + 1).toString());
                    // Valid until the next section: only a section line adds keys.
                    if (!path.isEmpty())
                        current = &data.CreateKey(path);
                }
            }
            if (!current)
                ++rep.ignoredLines;
            continue;
        }

        if (trimmed.startsWith(u'"') || trimmed.startsWith(u'@')) {
            RegValue value;
            qsizetype pos = 0;
            bool good = current != nullptr;
            if (good && trimmed.startsWith(u'@'))
                pos = 1;
            else if (good)
                good = ReadQuoted(trimmed, pos, value.name) && IsValidValueName(value.name);
            if (good) {
                while (pos < trimmed.size() && trimmed[pos].isSpace())
                    ++pos;
                good = pos < trimmed.size() && trimmed[pos] == u'=';
            }
            QString dataText;
            if (good) {
                dataText = trimmed.sliced(pos + 1).trimmed().toString();
                // A hex form may go on over several lines, each but the last ending in a
                // backslash.
                if (dataText.startsWith(u"hex", Qt::CaseInsensitive)) {
                    while (dataText.endsWith(u'\\') && i + 1 < lines.size()) {
                        QStringView next = lines[++i];
                        if (next.endsWith(u'\r'))
                            next.chop(1);
                        dataText.chop(1);
                        dataText += next.trimmed();
                    }
                }
                good = ReadValueData(dataText, value);
            }
            if (!good) {
                ++rep.ignoredLines;
                continue;
            }
            bool existed = false;
            RegValue &slot = ValueSlot(*current, value.name, &existed);
            if (existed)
                ++rep.ignoredLines; // the earlier value of that name is lost on rewriting
            slot.type = value.type;
            slot.text = value.text;
            slot.dword = value.dword;
            continue;
        }
        ++rep.ignoredLines;
    }
    return data;
}

QByteArray RegistryData::ToText() const
{
    QString out = HeaderV5 + QStringLiteral("\r\n");
    for (const Key &k : m_keys) {
        out += QStringLiteral("\r\n[") + HiveName + u'\\' + k.path + QStringLiteral("]\r\n");
        for (const RegValue &v : k.values) {
            out += v.name.isEmpty() ? QStringLiteral("@") : Quoted(v.name);
            out += u'=';
            out += DataText(v);
            out += QStringLiteral("\r\n");
        }
    }
    return out.toUtf8();
}

} // namespace jov
