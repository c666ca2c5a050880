#include "AboutDialog.h"
#include "Dialogs.h"
#include "ErrorReport.h"
#include "MainWindow.h"
#include "ProductDialog.h"
#include "QtTranslations.h"

int main(int argc, char* argv[])
{
    KorbanaApplication app(argc, argv);
    // The application's title ("Einkaufsliste 1.2") captions the error reports; as a display name Qt would append
    // it to every window title on X11.
    QCoreApplication::setApplicationName(QStringLiteral("korbana"));
    QGuiApplication::setDesktopFileName(QStringLiteral("korbana"));

    installGermanQtTranslations();

    QtDialogs dialogs;
    app.setDialogs(&dialogs);

    MainWindow mainWindow(dialogs);
    AboutDialog aboutDialog(dialogs, &mainWindow);
    ProductDialog productDialog(&mainWindow);
    mainWindow.setAboutDialog(&aboutDialog);
    mainWindow.setProductDialog(&productDialog);

    mainWindow.show();
    return QApplication::exec();
}
