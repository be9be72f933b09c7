#include "platform/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <memory>
#include <vector>

#include "platform/installed_data.h"

// Set by the build: where lrelease writes the .qm files, for programs run uninstalled.
#ifndef TAVREL_BUILD_TRANSLATIONS_DIR
#define TAVREL_BUILD_TRANSLATIONS_DIR ""
#endif

namespace tavrel {

namespace {

const char* const kChineseSuffix = "_zh_CN";

// Loads one translation file and installs it; the translator lives as long as the
// application and is deleted with it.
QTranslator* InstallTranslator(const QString& baseName, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (folder.isEmpty() || !translator->load(baseName + QLatin1String(kChineseSuffix), folder)) {
        return nullptr;
    }
    translator->setParent(QCoreApplication::instance());
    return QCoreApplication::installTranslator(translator.get()) ? translator.release() : nullptr;
}

// The translators SetWindowLanguage installed, to be replaced by its next call.
std::vector<QPointer<QTranslator>>& WindowTranslators() {
    static std::vector<QPointer<QTranslator>> translators;
    return translators;
}

}  // namespace

bool LocaleIsChinese() {
    // POSIX precedence: the first of these that is set and not empty decides.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty()) {
            return value.startsWith("zh_") || value == "zh";
        }
    }
    return false;
}

QString TranslationsFolder() {
    const QString installed = InstalledDataFolder();
    const QString folder = installed.isEmpty() ? QString::fromUtf8(TAVREL_BUILD_TRANSLATIONS_DIR)
                                               : installed + QStringLiteral("/translations");
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QString();
}

bool InstallTranslations(Language language) {
    if (QCoreApplication::instance() == nullptr) {
        return false;
    }
    if (language == Language::FromLocale && !LocaleIsChinese()) {
        return true;  // English is the source language
    }
    if (language == Language::Chinese) {
        // Qt's own texts: file dialogs, standard buttons, context menus of edit boxes.
        InstallTranslator(QStringLiteral("qtbase"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    return InstallTranslator(QStringLiteral("tavrel"), TranslationsFolder()) != nullptr;
}

bool SetWindowLanguage(bool chinese) {
    if (QCoreApplication::instance() == nullptr) {
        return false;
    }
    for (const QPointer<QTranslator>& translator : WindowTranslators()) {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            translator->deleteLater();
        }
    }
    WindowTranslators().clear();
    // Qt's dialogs write dates, sizes and numbers the default locale's way: the system's,
    // unless its language is not the window's.
    const QLocale system = QLocale::system();
    if (chinese != (system.language() == QLocale::Chinese)) {
        QLocale::setDefault(chinese ? QLocale(QLocale::Chinese, QLocale::China)
                                    : QLocale(QLocale::English, QLocale::UnitedStates));
    } else {
        QLocale::setDefault(system);
    }
    if (!chinese) {
        return true;
    }
    WindowTranslators().emplace_back(InstallTranslator(
        QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QTranslator* ours = InstallTranslator(QStringLiteral("tavrel"), TranslationsFolder());
    WindowTranslators().emplace_back(ours);
    return ours != nullptr;
}

}  // namespace tavrel
