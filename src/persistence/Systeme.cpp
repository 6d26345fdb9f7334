#include "persistence/Systeme.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <cmath>

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

QString HelpFilePath(bool winHelp)
{
    return ProgramFolder() + PathDelim +
           (winHelp ? QStringLiteral("JOV.hlp") : QStringLiteral("JOV.chm"));
}

} // namespace jov
