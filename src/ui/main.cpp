#include "AboutDialog.h"
#include "Dialogs.h"
#include "ErrorReport.h"
#include "MainWindow.h"
#include "ProductDialog.h"
#include "controls/Pictures.h"

#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

#include <thread>

int main(int argc, char* argv[])
{
    KorbanaApplication app(argc, argv);
    // The font database is filled on a worker thread while the window is built: the first text measured would
    // otherwise wait for fontconfig to read the description of every font.
    std::thread fontDatabase([] { QFontDatabase::families(); });
    // The same style, chosen as ever, with the menu bar's overflow icon made when it is first drawn.
    QApplication::setStyle(new Pictures::DeferredIconsStyle(QStyleFactory::create(QApplication::style()->name())));
    // The application's title ("Einkaufsliste 1.2") captions the error reports; as a display name Qt would append
    // it to every window title on X11.
    QCoreApplication::setApplicationName(QStringLiteral("korbana"));
    QGuiApplication::setDesktopFileName(QStringLiteral("korbana"));

    // Standard buttons in the system's language: "Ja", "Nein", "Abbrechen" under a German locale.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    QtDialogs dialogs;
    app.setDialogs(&dialogs);

    MainWindow mainWindow(dialogs);
    AboutDialog aboutDialog(dialogs, &mainWindow);
    ProductDialog productDialog(&mainWindow);
    mainWindow.setAboutDialog(&aboutDialog);
    mainWindow.setProductDialog(&productDialog);

    mainWindow.show();
    const int exitCode = QApplication::exec();
    fontDatabase.join();
    return exitCode;
}
