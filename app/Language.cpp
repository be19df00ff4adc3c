#include "app/Language.h"

#include "core/Words.h"

#include <QCoreApplication>
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

// For the texts of the layers without Qt (core/): rendered on the GUI thread, by the front ends.
std::string Translate(const char* context, const char* source)
{
    const QString text = Own().translate(context, source);
    return text.isEmpty() ? std::string(source) : text.toStdString();
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
    (void)Qts().load(session, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
