#include "form/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtTranslations(QString *why)
{
    const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool complete = true;
    for (const char *catalogue : { "qtbase_ru", "qtserialport_ru" }) {
        // The translator is a child of the application: it stays installed for the
        // program's lifetime and goes with the application object.
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QLatin1String(catalogue), directory)) {
            QCoreApplication::installTranslator(translator);
            continue;
        }
        delete translator;
        if (why && complete)
            *why = QStringLiteral("%1.qm not found in %2 (Debian package qt6-translations-l10n)")
                       .arg(QLatin1String(catalogue), directory);
        complete = false;
    }
    return complete;
}
