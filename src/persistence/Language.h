#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace jov {

// The user's first UI language as the environment names it ("en_GB.UTF-8", "de", "C"), read in
// the order Qt reads it: the first entry of LANGUAGE, else LC_ALL, LC_MESSAGES, LANG; "C" when
// none is set.
QString FirstUiLanguage(const QString &language, const QString &lcAll, const QString &lcMessages,
                        const QString &lang);

// The program speaks French, the language of its texts in the code, and English from the
// catalogue ":/i18n/jov_en.qm". It speaks English when the user's first UI language (as
// FirstUiLanguage names it) is English, and French for French, for "C" and "POSIX", and for
// every language it has no catalogue for.
QLocale::Language ProgramLanguage(const QString &firstUiLanguage);

// The name of the locale of numbers, dates and sizes in the program's language: the user's own
// when it is of that language ("en_GB", "fr_CA"), else the language's main country ("en_US",
// "fr_FR"). Read without QLocale, which would read the system locale for good.
QString ProgramLocaleName(const QString &firstUiLanguage);

// The resource paths of the catalogues for `language`, beside Qt's own: the program's texts
// (none for French, their language in the code) and Qt's texts that Qt's catalogue lacks.
QStringList CataloguesFor(QLocale::Language language);

} // namespace jov
