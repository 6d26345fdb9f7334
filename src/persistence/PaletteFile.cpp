#include "persistence/PaletteFile.h"

#include "color/NumberText.h"
#include "persistence/AtomicFile.h"
#include "persistence/RegularFile.h"
#include "persistence/Systeme.h"
#include "persistence/TextLines.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace jov {

namespace {

constexpr int HeaderLines = 3;
constexpr int TotalLines = HeaderLines + SlotCount;

// A valid palette is a few hundred bytes; reading more than this would only feed a file picked
// by mistake (a video, a disk image) into memory.
constexpr qint64 MaxPaletteRead = 1 << 20;

// Splits "r g b" at single blanks: red before the first, green before the next, blue the rest.
// Each part goes through the strict decimal reader, so empty parts (two blanks in a row, a
// leading or trailing blank) fail.
bool ReadColorLine(QByteArrayView line, ColorRef &color)
{
    const qsizetype first = line.indexOf(' ');
    if (first < 0)
        return false;
    const QByteArrayView rest = line.sliced(first + 1);
    const qsizetype second = rest.indexOf(' ');
    if (second < 0)
        return false;
    const auto red = ParseDecimalInt32(line.first(first));
    const auto green = ParseDecimalInt32(rest.first(second));
    const auto blue = ParseDecimalInt32(rest.sliced(second + 1));
    if (!red || !green || !blue)
        return false;
    color = MakeColor(*red, *green, *blue);
    return true;
}

} // namespace

QByteArray PaletteFileText(const SlotColors &colors)
{
    QByteArray text = "JASC-PAL\r\n0100\r\n16\r\n";
    for (const ColorRef c : colors) {
        text += QByteArray::number(RedOf(c)) + ' ' + QByteArray::number(GreenOf(c)) + ' ' +
                QByteArray::number(BlueOf(c)) + "\r\n";
    }
    return text;
}

PaletteReadResult ReadPalette(const QByteArray &content)
{
    PaletteReadResult result;
    SlotColors colors{};
    qsizetype pos = 0;
    for (int lineNo = 1; lineNo <= TotalLines; ++lineNo) {
        QByteArrayView line;
        const bool present = pos < content.size();
        if (present)
            line = NextLine(content, pos);
        bool good = present;
        PaletteError fault = PaletteError::BadData;
        switch (lineNo) {
        case 1:
            good = good && line == "JASC-PAL";
            fault = PaletteError::NotPalette;
            break;
        case 2:
            good = good && line == "0100";
            fault = PaletteError::BadVersion;
            break;
        case 3:
            good = good && line == "16";
            fault = PaletteError::BadCount;
            break;
        default:
            good = good && ReadColorLine(line, colors[std::size_t(lineNo - HeaderLines - 1)]);
            break;
        }
        if (!good) {
            result.error = fault;
            result.line = lineNo;
            return result;
        }
    }
    result.colors = colors;
    return result;
}

PaletteReadResult ReadPaletteFile(const QString &path)
{
    // Anything but a regular file (a FIFO, a device, a folder) counts as unreadable.
    RegularFileContent file = ReadRegularFile(path, MaxPaletteRead, LargeFile::ReadStart);
    if (!file.ok()) {
        PaletteReadResult result;
        result.error = PaletteError::IoError;
        return result;
    }
    if (file.cut) {
        // The last line was cut by the limit; without its end it could read as another number,
        // so only whole lines take part.
        file.content.truncate(file.content.lastIndexOf('\n') + 1);
    }
    return ReadPalette(file.content);
}

bool WritePaletteFile(const QString &path, const SlotColors &colors)
{
    return WriteFileAtomically(path, PaletteFileText(colors));
}

QString PaletteTitle(const QString &name, bool modified)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    QString title = QStringLiteral("JOV - ") + (dot < 0 ? name : name.left(dot));
    if (modified)
        title += QStringLiteral(" *");
    return title;
}

QString BaseFileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString FolderOfFile(const QString &path)
{
    return StripTrailingBackslashes(QFileInfo(path).absolutePath()) + PathDelim;
}

QString PaletteErrorMessage(PaletteError error)
{
    switch (error) {
    case PaletteError::NotPalette:
        return QStringLiteral("\r\n") +
               QCoreApplication::translate("PaletteFile",
                                           "Le fichier PAL n'est pas un fichier valide");
    case PaletteError::BadVersion:
        return QStringLiteral("\r\n") +
               QCoreApplication::translate("PaletteFile",
                                           "Cette version de fichier PAL n'est pas supportée");
    case PaletteError::BadCount:
        return QStringLiteral("\r\n") +
               QCoreApplication::translate(
                   "PaletteFile", "Le nombre de couleurs de ce fichier PAL n'est pas supporté");
    case PaletteError::None:
    case PaletteError::BadData:
    case PaletteError::IoError:
        break;
    }
    return {};
}

} // namespace jov
