#include "persistence/Systeme.h"

#include "InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cmath>
#include <utility>

namespace jov {

QString StripTrailingBackslashes(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == QLatin1Char('\\') || text[end - 1] == QLatin1Char('/')))
        --end;
    return text.left(end);
}

QString ProgramFolder()
{
    return StripTrailingBackslashes(QCoreApplication::applicationDirPath());
}

QString WindowsFolder()
{
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        folder = QDir::homePath() + QLatin1String("/.config");
    return StripTrailingBackslashes(folder);
}

QString DocumentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString UserPaletteFolder()
{
    return StripTrailingBackslashes(
               QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) +
           QStringLiteral("/jov/Palettes");
}

QString DefaultPaletteFolder(const QString &programFolder, const QString &userFolder)
{
    const QString beside = programFolder + PathDelim + QStringLiteral("Palettes");
    const QFileInfo info(beside);
    return info.isDir() && info.isWritable() ? beside : userFolder;
}

void MakeUserPaletteFolder(const QString &folder)
{
    if (!folder.isEmpty() && StripTrailingBackslashes(folder) == UserPaletteFolder())
        QDir().mkpath(folder);
}

int ScaleToScreen(int size, int ppi)
{
    if (ppi == 96)
        return size;
    const double scaled = double(size) * double(ppi - 2) / 96.0;
    if (!std::isfinite(scaled) || std::fabs(scaled) > 2147483647.0)
        return size;
    // The default rounding mode rounds halves to even.
    return int(std::lrint(scaled));
}

bool UseWinHelp(const QStringList &arguments)
{
    return arguments.size() > 1 && arguments[1].toLower() == QLatin1String("/noversion");
}

namespace {

QString HelpFileName(bool winHelp)
{
    return QLatin1String(winHelp ? HelpSinglePageFileName : HelpIndexFileName);
}

} // namespace

QString HelpFilePath(bool winHelp, QLocale::Language language)
{
    return HelpFilePathIn(ProgramFolder(), winHelp, language);
}

QString HelpFilePathIn(const QString &programFolder, bool winHelp, QLocale::Language language)
{
    if (programFolder.isEmpty())
        return QString();
    const QString folders[] = {
        programFolder + PathDelim + QLatin1String(HelpFolderName),
        QDir::cleanPath(programFolder + PathDelim + QLatin1String(InstalledHelpDir)),
    };
    const QString name = PathDelim + HelpFileName(winHelp);
    const QString english = PathDelim + QLatin1String(HelpEnglishFolderName) + name;
    QStringList candidates;
    if (language == QLocale::English) {
        for (const QString &folder : folders)
            candidates << folder + english;
    }
    for (const QString &folder : folders)
        candidates << folder + name;
    for (const QString &path : std::as_const(candidates)) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString HelpMissingText(bool winHelp)
{
    return QCoreApplication::translate("Systeme", " Aide introuvable : %1")
        .arg(HelpFileName(winHelp));
}

} // namespace jov
