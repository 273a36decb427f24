// The language of the window: the choice kept in Morvane.ini (section "Interface", key
// "Language"), the rule that turns it and the system's locale into the language shown,
// and the translators that show it. The window's texts are written in Russian; English
// comes from translations/morvane_en.ts, built into the program. Qt's own dialogs and
// buttons follow through Qt's translations (qtbase_XX.qm) where the system has them.
#pragma once

#include <QString>

class QCoreApplication;

namespace morvane {

enum class LanguageChoice { System, Russian, English };

// "ru" and "en" name a language; anything else (absent, "system", unknown) follows the
// system.
LanguageChoice ParseLanguageChoice(const QString& stored);
QString LanguageChoiceKey(LanguageChoice choice);

// "ru" or "en". MORVANE_LANGUAGE (ru or en) outranks the stored choice, which outranks the
// system's locale: Russian for a Russian locale, English for every other.
QString InterfaceLanguage(LanguageChoice choice, const QString& localeName,
                          const QString& environmentOverride = {});

// Installs the translators of `language` on the application: the program's own (English
// only; Russian is the source) and Qt's. Returns false when the program's translation
// could not be loaded (the texts then stay Russian).
bool InstallTranslations(QCoreApplication& app, const QString& language);

// The start of the program: the language from the settings file, the environment and the
// system's locale, installed.
void InstallInterfaceLanguage(QCoreApplication& app);

}  // namespace morvane
