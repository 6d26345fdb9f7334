#include "color/CustomColors.h"

namespace jov {

QStringList CustomColorLines(const CustomColors &colors)
{
    QStringList lines;
    lines.reserve(CustomColorCount);
    for (int i = 0; i < CustomColorCount; ++i)
        lines.append(QStringLiteral("Color") + QChar(u'A' + i) + QLatin1Char('=') +
                     QString::number(colors[size_t(i)] & 0xFFFFFF, 16)
                         .rightJustified(6, QLatin1Char('0'))
                         .toUpper());
    return lines;
}

OptionalCustomColors ParseCustomColorLines(const QStringList &lines)
{
    OptionalCustomColors colors;
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq != 6 || !line.startsWith(QLatin1String("Color"), Qt::CaseInsensitive))
            continue;
        const int index = line[5].toUpper().unicode() - u'A';
        if (index < 0 || index >= CustomColorCount)
            continue;
        bool ok = false;
        const uint value = QStringView(line).mid(eq + 1).toUInt(&ok, 16);
        if (ok && value <= 0xFFFFFF)
            colors[size_t(index)] = ColorRef(value);
    }
    return colors;
}

} // namespace jov
