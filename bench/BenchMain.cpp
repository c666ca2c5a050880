#include <QApplication>
#include <QLocale>

#include <benchmark/benchmark.h>

// Cases register themselves from their own files (bench::registerSizes in a static initialiser).
int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Fonts and the PDF writer need a GUI application; no display is needed for either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Price and quantity texts are written with a decimal comma.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
