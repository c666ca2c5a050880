// The start-up baseline: the smallest Qt Widgets program that shows an empty main window.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(696, 480);
    window.show();
    return QApplication::exec();
}
