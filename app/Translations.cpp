#include "Translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
// Where the build embeds the program's translations: tarvon_<code>.qm.
const QString ownTranslations = QStringLiteral(":/i18n");

QString ownFile(const QString& language) {
    return QStringLiteral("tarvon_") + language;
}

QString shippedLanguage() {
    for (const QString& name : QLocale::system().uiLanguages()) {
        const QString code = QLocale::languageToCode(QLocale(name).language());
        if (QFile::exists(ownTranslations + u'/' + ownFile(code) + QStringLiteral(".qm")))
            return code;
    }
    return QStringLiteral("en");
}

void install(const QString& file, const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(file, folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
} // namespace

QString installTranslations() {
    const QString language = shippedLanguage();
    install(ownFile(language), ownTranslations);
#ifdef TARVON_QT_TRANSLATIONS
    const QString qtTranslations = QStringLiteral(TARVON_QT_TRANSLATIONS);
#else
    const QString qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
    install(QStringLiteral("qtbase_") + language, qtTranslations);
    return language;
}
