// The programs' languages. Texts are written in English in the source and wrapped with
// QCoreApplication::translate("tavrel", ...); the Chinese translation comes from
// tavrel_zh_CN.qm (installed in share/tavrel/translations, or in the build tree).
#pragma once

#include <QString>

namespace tavrel {

enum class Language {
    Chinese,     // Chinese, Qt's own texts (dialog buttons) included
    FromLocale,  // tavrel-gif: Chinese under a zh_* locale, English otherwise
};

// True when the messages locale (LC_ALL, else LC_MESSAGES, else LANG) is a Chinese one.
bool LocaleIsChinese();

// Installs the translators for `language` on the running application. False when Chinese was
// wanted but our translation could not be loaded (the texts then stay English).
bool InstallTranslations(Language language);

// The window's language: Chinese (Qt's own texts and dates included) when `chinese`, else
// English, the source language. A second call replaces what the first one installed.
bool SetWindowLanguage(bool chinese);

// The folder our .qm files are read from; empty when none is found.
QString TranslationsFolder();

}  // namespace tavrel
