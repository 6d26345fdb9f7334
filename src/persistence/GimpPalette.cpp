#include "persistence/GimpPalette.h"

#include "color/ColorText.h"
#include "persistence/AtomicFile.h"
#include "persistence/Options.h"
#include "persistence/RegularFile.h"
#include "persistence/TextLines.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace jov {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView SkipBlanks(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return text.sliced(i);
}

// One channel at the start of text: decimal digits worth 0..255, however many leading zeros.
// On success text is moved past the digits.
bool TakeChannel(QByteArrayView &text, int &value)
{
    qsizetype i = 0;
    int v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        v = v * 10 + (text[i] - '0');
        if (v > 255)
            return false;
        ++i;
    }
    if (i == 0)
        return false;
    value = v;
    text = text.sliced(i);
    return true;
}

// "r g b" with blanks or tabs between, then nothing or a blank or tab and a name.
bool ReadColorLine(QByteArrayView line, ColorRef &color)
{
    int rgb[3] = {};
    QByteArrayView rest = SkipBlanks(line);
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            // The numbers must be apart: "1 2 3" is a colour, "12 3" followed by nothing is not.
            if (rest.isEmpty() || !IsBlank(rest[0]))
                return false;
            rest = SkipBlanks(rest);
        }
        if (!TakeChannel(rest, rgb[k]))
            return false;
    }
    if (!rest.isEmpty() && !IsBlank(rest[0]))
        return false;
    color = MakeColor(rgb[0], rgb[1], rgb[2]);
    return true;
}

GimpPaletteError FromFileError(RegularFileError error)
{
    switch (error) {
    case RegularFileError::None:
        return GimpPaletteError::None;
    case RegularFileError::NotRegular:
        return GimpPaletteError::NotRegular;
    case RegularFileError::TooLarge:
        return GimpPaletteError::TooLarge;
    case RegularFileError::Missing:
    case RegularFileError::Unreadable:
        break;
    }
    return GimpPaletteError::IoError;
}

QByteArray Right3(int v)
{
    return QByteArray::number(v).rightJustified(3, ' ');
}

} // namespace

GimpPaletteReadResult ReadGimpPalette(const QByteArray &content)
{
    GimpPaletteReadResult result;
    SlotColors colors{};
    colors.fill(DefaultSlotColor);
    int count = 0;
    bool inHeader = true;
    qsizetype pos = 0;
    if (QByteArrayView(content).startsWith("\xEF\xBB\xBF"))
        pos = 3;
    for (int lineNo = 1; lineNo == 1 || pos < content.size(); ++lineNo) {
        const QByteArrayView line = NextLine(content, pos);

        bool good = true;
        if (lineNo == 1) {
            good = line.startsWith("GIMP Palette") &&
                   SkipBlanks(line.sliced(sizeof "GIMP Palette" - 1)).isEmpty();
        } else {
            const QByteArrayView trimmed = SkipBlanks(line);
            if (trimmed.isEmpty() || trimmed.startsWith('#'))
                continue;
            if (inHeader && (line.startsWith("Name:") || line.startsWith("Columns:")))
                continue;
            inHeader = false;
            ColorRef color = 0;
            good = ReadColorLine(line, color);
            if (good && count < SlotCount)
                colors[std::size_t(count)] = color;
            ++count;
        }
        if (!good) {
            result.error =
                lineNo == 1 ? GimpPaletteError::NotGimpPalette : GimpPaletteError::BadColor;
            result.line = lineNo;
            return result;
        }
    }
    result.colors = colors;
    result.colorCount = count;
    return result;
}

GimpPaletteReadResult ReadGimpPaletteFile(const QString &path)
{
    const RegularFileContent file = ReadRegularFile(path, MaxGimpPaletteSize);
    if (!file.ok()) {
        GimpPaletteReadResult result;
        result.error = FromFileError(file.error);
        return result;
    }
    return ReadGimpPalette(file.content);
}

QByteArray GimpPaletteText(const SlotColors &colors, const QString &name)
{
    QString oneLine = name;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    QByteArray text = "GIMP Palette\nName: " + oneLine.trimmed().toUtf8() + "\nColumns: 16\n#\n";
    for (const ColorRef c : colors) {
        const int r = RedOf(c);
        const int g = GreenOf(c);
        const int b = BlueOf(c);
        text += Right3(r) + ' ' + Right3(g) + ' ' + Right3(b) + '\t' +
                HtmlText(r, g, b).toLatin1() + '\n';
    }
    return text;
}

QString GimpPaletteNameFor(const QString &path)
{
    return QFileInfo(path).completeBaseName();
}

bool WriteGimpPaletteFile(const QString &path, const SlotColors &colors)
{
    return WriteFileAtomically(path, GimpPaletteText(colors, GimpPaletteNameFor(path)));
}

QString JascOpenFilter()
{
    return QCoreApplication::translate("GimpPalette", "Fichiers Palettes (*.pal)");
}

QString JascSaveFilter()
{
    return QCoreApplication::translate("GimpPalette", "Fichiers palette (*.pal)");
}

QString GimpFilter()
{
    return QCoreApplication::translate("GimpPalette", "Palettes GIMP (*.gpl)");
}

QString GimpIgnoredColorsMessage(int ignoredCount)
{
    if (ignoredCount <= 0)
        return {};
    if (ignoredCount == 1)
        return QCoreApplication::translate(
            "GimpPalette", " 1 couleur ignorée (seules les 16 premières sont chargées)");
    return QCoreApplication::translate(
               "GimpPalette", " %1 couleurs ignorées (seules les 16 premières sont chargées)")
        .arg(ignoredCount);
}

PaletteFormat PaletteFormatOfPath(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("gpl"), Qt::CaseInsensitive) == 0
               ? PaletteFormat::Gimp
               : PaletteFormat::JascPal;
}

PaletteSaveTarget ResolvePaletteSave(const QString &chosenPath, const QString &selectedFilter)
{
    PaletteSaveTarget target{chosenPath, PaletteFormat::JascPal};
    const QString suffix = QFileInfo(chosenPath).suffix();
    if (suffix.compare(QLatin1String("gpl"), Qt::CaseInsensitive) == 0) {
        target.format = PaletteFormat::Gimp;
        return target;
    }
    if (suffix.compare(QLatin1String("pal"), Qt::CaseInsensitive) == 0)
        return target;
    if (selectedFilter == GimpFilter())
        target.format = PaletteFormat::Gimp;
    if (suffix.isEmpty() && !chosenPath.isEmpty())
        target.path +=
            target.format == PaletteFormat::Gimp ? QStringLiteral(".gpl") : QStringLiteral(".pal");
    return target;
}

} // namespace jov
