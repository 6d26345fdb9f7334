#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace jov {

// The program speaks French, the language of its texts in the code, and English from the
// catalogue ":/i18n/jov_en.qm". It speaks English when the user's first UI language
// (QLocale::uiLanguages: LANGUAGE, LC_ALL, LC_MESSAGES, LANG) is English, and French for
// French, for "C" and "POSIX", and for every language it has no catalogue for.
QLocale::Language ProgramLanguage(const QStringList &uiLanguages);

// The locale of numbers, dates and sizes in `language`: the user's own (`system`) when it is of
// that language (en_GB stays en_GB), else the language's main country (en_US, fr_FR).
QLocale ProgramLocale(const QLocale &system, QLocale::Language language);

// The resource path of the program's catalogue for `language`; empty for French, which needs
// none.
QString CatalogueFor(QLocale::Language language);

} // namespace jov
