#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace jov {

// The user's first UI language as the environment names it ("en_GB.UTF-8", "de", "C"), read in
// the order Qt reads it: the first entry of LANGUAGE, else LC_ALL, LC_MESSAGES, LANG; "C" when
// none is set.
QString FirstUiLanguage(const QString &language, const QString &lcAll, const QString &lcMessages,
                        const QString &lang);

// The language code of a UI language or locale name: "en" for "en_GB.UTF-8" or "en-GB", "c" for
// "C".
QString LanguageCode(const QString &uiLanguage);

// The program speaks French, the language of its texts in the code, and every language it has
// a catalogue for (":/i18n/jov_<code>.qm", English today). The code of the language it speaks
// for a user whose first UI language is `firstUiLanguage`: that language's code ("en") when
// `hasCatalogue` says the program has its catalogue, else "fr" (for French, "C", "POSIX" and
// every other language).
QString ProgramLanguage(const QString &firstUiLanguage,
                        const std::function<bool(const QString &code)> &hasCatalogue);

// The name of the locale of numbers, dates and sizes in the program's language `code`: the
// user's own when it is of that language ("en_GB", "fr_CA"), else the language alone, which
// stands for its main country ("en": en_US, "fr": fr_FR). Read without QLocale, which would read
// the system locale for good.
QString ProgramLocaleName(const QString &firstUiLanguage, const QString &code);

// The resource path of the program's catalogue for the language `code`.
QString ProgramCatalogue(const QString &code);
// The resource paths of the catalogues for the language `code`, beside Qt's own: the program's
// texts (none for French, their language in the code) and Qt's texts that Qt's catalogue
// lacks.
QStringList CataloguesFor(const QString &code);

} // namespace jov
