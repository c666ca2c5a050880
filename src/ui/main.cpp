#include "AboutDialog.h"
#include "CommandLine.h"
#include "Dialogs.h"
#include "ErrorReport.h"
#include "MainWindow.h"
#include "ProductDialog.h"
#include "QtTranslations.h"
#include "controls/Pictures.h"
#include "document/DefaultList.h"
#include "lists/ListModel.h"

#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

#include <thread>

using namespace korbana;

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
    // The font database is filled on a worker thread while the window is built: the first text measured would
    // otherwise wait for fontconfig to read the description of every font.
    std::thread fontDatabase([] { QFontDatabase::families(); });
    // The same style, chosen as ever, with the menu bar's overflow icon made when it is first drawn.
    QApplication::setStyle(new Pictures::DeferredIconsStyle(QStyleFactory::create(QApplication::style()->name())));
    QGuiApplication::setDesktopFileName(QStringLiteral("de.talven.korbana"));

    installGermanQtTranslations();

    QString defaultFile;
    if (commandLine.listFile.isEmpty()) {
        const korbana::DefaultList defaultList(
            QCoreApplication::applicationDirPath(), korbana::DefaultList::userDataDir());
        // A failed first start needs no message of its own: the list then cannot be opened, which is reported.
        defaultList.prepare();
        defaultFile = defaultList.filePath();
    }

    QtDialogs dialogs;
    app.setDialogs(&dialogs);

    MainWindow mainWindow(dialogs, {}, StartList::atStart(commandLine.listFile, defaultFile));
    AboutDialog aboutDialog(dialogs, &mainWindow);
    ProductDialog productDialog(&mainWindow);
    mainWindow.setAboutDialog(&aboutDialog);
    mainWindow.setProductDialog(&productDialog);

    mainWindow.show();
    const int exitCode = QApplication::exec();
    // The window is gone and the lists saved: what they hold goes with the process.
    ListModel::leaveRowsToProcessEnd();
    fontDatabase.join();
    return exitCode;
}
