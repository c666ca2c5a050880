// The start-up baseline: the smallest Qt Widgets program that shows an empty main window.
//   bench_emptywindow [FILE]    with a file: reads it and decodes it from Windows-1252 first, as any program that
//                               shows its content must.
//   bench_emptywindow --text    the window shows one line of text: what Qt's fonts cost any window with text.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>

#include <iconv.h>

#include <vector>

namespace {

// The bytes decoded by the C library's iconv into UTF-16, the plain way to read Windows-1252 text.
size_t decodedCharacters(const QByteArray& bytes)
{
    iconv_t decoder = iconv_open("UTF-16LE", "WINDOWS-1252");
    if (decoder == reinterpret_cast<iconv_t>(-1))
        return 0;
    std::vector<char> out(static_cast<size_t>(bytes.size()) * 2 + 16);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* to = out.data();
    size_t outLeft = out.size();
    iconv(decoder, &in, &inLeft, &to, &outLeft);
    iconv_close(decoder);
    return (out.size() - outLeft) / 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool text = argc > 1 && QByteArray(argv[1]) == "--text";
    if (argc > 1 && !text) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::ReadOnly) || decodedCharacters(file.readAll()) == 0)
            return 1;
    }
    QMainWindow window;
    if (text)
        window.setCentralWidget(new QLabel(QStringLiteral("Einkaufsliste")));
    window.resize(696, 480);
    window.show();
    return QApplication::exec();
}
