#include "app/Language.h"

#include "core/Words.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

QTranslator& Own()
{
    static QTranslator translator;
    return translator;
}

QTranslator& Qts()
{
    static QTranslator translator;
    return translator;
}

QLocale& Loaded()
{
    static QLocale locale = QLocale::c();
    return locale;
}

// The writing system a font must have for the language's texts.
QFontDatabase::WritingSystem WritingSystemOf(const QLocale& locale)
{
    switch (locale.script()) {
    case QLocale::JapaneseScript: return QFontDatabase::Japanese;
    case QLocale::SimplifiedHanScript: return QFontDatabase::SimplifiedChinese;
    case QLocale::TraditionalHanScript: return QFontDatabase::TraditionalChinese;
    case QLocale::KoreanScript:
    case QLocale::HangulScript: return QFontDatabase::Korean;
    case QLocale::CyrillicScript: return QFontDatabase::Cyrillic;
    case QLocale::GreekScript: return QFontDatabase::Greek;
    default: return QFontDatabase::Latin;
    }
}

// For the texts of the layers without Qt (core/): rendered on the GUI thread, by the front ends.
std::string Translate(const char* context, const char* source, const char* disambiguation, int n)
{
    const QString text = Own().translate(context, source, disambiguation, n);
    if (!text.isEmpty())
        return text.toStdString();
    // A text the catalog lacks stands in English, in the English form for the count.
    return std::string(n == 1 && disambiguation ? disambiguation : source);
}

void InstallIntoApplication()
{
    if (!Qts().isEmpty())
        QCoreApplication::installTranslator(&Qts());
    if (!Own().isEmpty())
        QCoreApplication::installTranslator(&Own());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallIntoApplication)

void LoadSessionLanguage()
{
    const QLocale session = QLocale::system();
    // The C library shows no other language while the locale is C or POSIX, whatever LANGUAGE
    // says; neither does the program.
    if (session.language() == QLocale::C || session.language() == QLocale::English)
        return;
    // Qt's texts only beside the program's own: a language the program has no catalog for stays
    // English throughout rather than half in it.
    if (!Own().load(session, QStringLiteral("qz7-updater"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        return;
    Words::InstallTranslation(&Translate);
    Loaded() = session;
    (void)Qts().load(session, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool SessionLanguageHasFont()
{
    if (Own().isEmpty())
        return true;
    const QFontDatabase::WritingSystem needed = WritingSystemOf(Loaded());
    return needed == QFontDatabase::Latin || !QFontDatabase::families(needed).isEmpty();
}

const char* SessionLanguageName()
{
    static const QByteArray name = QLocale::languageToString(Loaded().language()).toUtf8();
    return Own().isEmpty() ? "" : name.constData();
}

void DropSessionLanguage()
{
    QCoreApplication::removeTranslator(&Own());
    QCoreApplication::removeTranslator(&Qts());
    Words::InstallTranslation(nullptr);
    (void)Own().load(QString());
    (void)Qts().load(QString());
}
