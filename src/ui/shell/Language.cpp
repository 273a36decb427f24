#include "ui/shell/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ui/shell/Settings.h"

// Outside any namespace, as Q_INIT_RESOURCE must be.
static void InitTranslationResource() {
    Q_INIT_RESOURCE(morvane_translations);
}

namespace morvane {

namespace {

const QString kRussian = QStringLiteral("ru");
const QString kEnglish = QStringLiteral("en");

}  // namespace

LanguageChoice ParseLanguageChoice(const QString& stored) {
    const QString key = stored.trimmed().toLower();
    if (key == kRussian) return LanguageChoice::Russian;
    if (key == kEnglish) return LanguageChoice::English;
    return LanguageChoice::System;
}

QString LanguageChoiceKey(LanguageChoice choice) {
    switch (choice) {
        case LanguageChoice::Russian:
            return kRussian;
        case LanguageChoice::English:
            return kEnglish;
        case LanguageChoice::System:
            break;
    }
    return QStringLiteral("system");
}

QString InterfaceLanguage(LanguageChoice choice, const QString& localeName,
                          const QString& environmentOverride) {
    const LanguageChoice forced = ParseLanguageChoice(environmentOverride);
    if (forced != LanguageChoice::System) choice = forced;
    if (choice == LanguageChoice::Russian) return kRussian;
    if (choice == LanguageChoice::English) return kEnglish;
    return localeName.startsWith(kRussian) ? kRussian : kEnglish;
}

bool InstallTranslations(QCoreApplication& app, const QString& language) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_") + language,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    if (language == kRussian) return true;
    InitTranslationResource();
    auto* own = new QTranslator(&app);
    if (!own->load(QStringLiteral(":/i18n/morvane_") + language)) return false;
    return QCoreApplication::installTranslator(own);
}

void InstallInterfaceLanguage(QCoreApplication& app) {
    SettingsStore store(DefaultIniPath());
    // The locale's first language for messages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
    const QLocale system = QLocale::system();
    const QString locale = system.uiLanguages().value(0, system.name());
    InstallTranslations(app, InterfaceLanguage(store.ReadLanguage(), locale,
                                               qEnvironmentVariable("MORVANE_LANGUAGE")));
}

}  // namespace morvane
