#include "AboutBoxUnit.h"
#include "ArtikelFUnit.h"
#include "CommandLine.h"
#include "Dialogs.h"
#include "ErrorReport.h"
#include "MainUnit.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    // The application's title ("Einkaufsliste 1.2") captions the error reports; as a display name Qt would append
    // it to every window title on X11.
    QCoreApplication::setApplicationName(QStringLiteral("korbana"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KORBANA_VERSION));

    // --help, --version and a wrong command line are answered without a display.
    CommandLine commandLine;
    {
        QCoreApplication parsing(argc, argv);
        QTranslator parserTranslator; // the program speaks German, its help too
        if (parserTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&parserTranslator);
        commandLine = parseCommandLine(QCoreApplication::arguments());
    }
    if (commandLine.exitCode)
        return *commandLine.exitCode;

    KorbanaApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("de.talven.korbana"));

    // Standard buttons in the system's language: "Ja", "Nein", "Abbrechen" under a German locale.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    QtDialogs dialogs;
    app.setDialogs(&dialogs);

    TMainForm mainForm(dialogs);
    TAboutBox aboutBox(dialogs, &mainForm);
    TArtikelForm artikelForm(&mainForm);
    mainForm.AboutBox = &aboutBox;
    mainForm.ArtikelForm = &artikelForm;

    mainForm.show();
    return QApplication::exec();
}
