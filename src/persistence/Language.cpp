#include "persistence/Language.h"

namespace jov {

namespace {

// "en_GB.UTF-8@euro" or "en-GB": the language code "en" and the territory "GB" (or empty).
struct LocaleName
{
    QString language;
    QString territory;
};

LocaleName Parse(const QString &name)
{
    QString base = name.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    base.replace(QLatin1Char('-'), QLatin1Char('_'));
    return {base.section(QLatin1Char('_'), 0, 0).toLower(),
            base.section(QLatin1Char('_'), 1, 1).toUpper()};
}

} // namespace

QString FirstUiLanguage(const QString &language, const QString &lcAll, const QString &lcMessages,
                        const QString &lang)
{
    const QString first = language.section(QLatin1Char(':'), 0, 0, QString::SectionSkipEmpty);
    for (const QString &name : {first, lcAll, lcMessages, lang}) {
        if (!name.isEmpty())
            return name;
    }
    return QStringLiteral("C");
}

QLocale::Language ProgramLanguage(const QString &firstUiLanguage)
{
    return Parse(firstUiLanguage).language == QLatin1String("en") ? QLocale::English
                                                                  : QLocale::French;
}

QString ProgramLocaleName(const QString &firstUiLanguage)
{
    const bool english = ProgramLanguage(firstUiLanguage) == QLocale::English;
    const QString code = QLatin1String(english ? "en" : "fr");
    const LocaleName user = Parse(firstUiLanguage);
    const bool territory = user.territory.size() == 2 && user.territory.at(0).isLetter() &&
                           user.territory.at(1).isLetter();
    if (user.language == code && territory)
        return code + QLatin1Char('_') + user.territory;
    return QLatin1String(english ? "en_US" : "fr_FR");
}

QStringList CataloguesFor(QLocale::Language language)
{
    if (language == QLocale::English)
        return {QStringLiteral(":/i18n/jov_en.qm")};
    return {QStringLiteral(":/i18n/qt_fr.qm")};
}

} // namespace jov
