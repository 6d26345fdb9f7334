#include "persistence/Language.h"

namespace jov {

QLocale::Language ProgramLanguage(const QStringList &uiLanguages)
{
    if (uiLanguages.isEmpty())
        return QLocale::French;
    // "C" and "POSIX" read as English to QLocale: they name no language at all here.
    const QString first = uiLanguages.first();
    if (first == QLatin1String("C") || first == QLatin1String("POSIX"))
        return QLocale::French;
    return QLocale(first).language() == QLocale::English ? QLocale::English : QLocale::French;
}

QLocale ProgramLocale(const QLocale &system, QLocale::Language language)
{
    if (system.language() == language && system.territory() != QLocale::AnyTerritory)
        return system;
    return language == QLocale::English ? QLocale(QLocale::English, QLocale::UnitedStates)
                                        : QLocale(QLocale::French, QLocale::France);
}

QString CatalogueFor(QLocale::Language language)
{
    return language == QLocale::English ? QStringLiteral(":/i18n/jov_en.qm") : QString();
}

} // namespace jov
