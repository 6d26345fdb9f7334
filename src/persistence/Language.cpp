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

const QString French = QStringLiteral("fr");

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

QString LanguageCode(const QString &uiLanguage)
{
    return Parse(uiLanguage).language;
}

QString ProgramLanguage(const QString &firstUiLanguage,
                        const std::function<bool(const QString &code)> &hasCatalogue)
{
    const QString code = Parse(firstUiLanguage).language;
    return code != French && !code.isEmpty() && hasCatalogue(code) ? code : French;
}

QString ProgramLocaleName(const QString &firstUiLanguage, const QString &code)
{
    const LocaleName user = Parse(firstUiLanguage);
    const bool territory = user.territory.size() == 2 && user.territory.at(0).isLetter() &&
                           user.territory.at(1).isLetter();
    return user.language == code && territory ? code + QLatin1Char('_') + user.territory : code;
}

QString ProgramCatalogue(const QString &code)
{
    return QStringLiteral(":/i18n/jov_%1.qm").arg(code);
}

QStringList CataloguesFor(const QString &code)
{
    if (code == French)
        return {QStringLiteral(":/i18n/qt_fr.qm")};
    return {ProgramCatalogue(code)};
}

} // namespace jov
