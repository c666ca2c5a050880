#include <QProcess>
#include <QTest>

namespace {
const QString kMoreHelp = QStringLiteral("Mehr dazu: korbana --help");
}

// The real program's command line, started without any display: what it prints and how it ends.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersWithoutWindow_data();
    void answersWithoutWindow();
};

void TestCommandLine::answersWithoutWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("expectedOut"); // a line of standard output, or "" for none
    QTest::addColumn<QString>("expectedError"); // a line of standard error, or "" for none

    QTest::newRow("--version") << QStringList { "--version" } << 0 << "korbana 1.3"
                               << "";
    QTest::newRow("-v") << QStringList { "-v" } << 0 << "korbana 1.3"
                        << "";
    QTest::newRow("--help") << QStringList { "--help" } << 0
                            << "  DATEI          Die Listendatei (.kbl), die statt der Standardliste geöffnet"
                            << "";
    QTest::newRow("-h with a file") << QStringList { "-h", "woche.kbl" } << 0
                                    << "Einkaufsliste mit Läden, Produkten und Preisen."
                                    << "";
    QTest::newRow("--help-all") << QStringList { "--help-all" } << 0
                                << "Einkaufsliste mit Läden, Produkten und Preisen."
                                << "";
    QTest::newRow("unknown long option") << QStringList { "--drucken" } << 2 << ""
                                         << "korbana: Unbekannte Option 'drucken'.";
    QTest::newRow("unknown short option") << QStringList { "-x", "woche.kbl" } << 2 << ""
                                          << "korbana: Unbekannte Option 'x'.";
    QTest::newRow("Qt option without its value") << QStringList { "-platform" } << 2 << "" << kMoreHelp;
    QTest::newRow("two files") << QStringList { "a.kbl", "b.kbl" } << 2 << ""
                               << "korbana: Nur eine Listendatei kann geöffnet werden.";
    QTest::newRow("empty file name") << QStringList { "" } << 2 << ""
                                     << "korbana: Der Dateiname ist leer.";
}

void TestCommandLine::answersWithoutWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, expectedOut);
    QFETCH(QString, expectedError);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    // No session bus, so none is started that would outlive the test.
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KORBANA_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);

    const QStringList out = QString::fromUtf8(program.readAllStandardOutput()).split(u'\n');
    const QStringList error = QString::fromUtf8(program.readAllStandardError()).split(u'\n');
    QCOMPARE(program.exitCode(), exitCode);
    if (expectedOut.isEmpty())
        QCOMPARE(out, QStringList { QString() });
    else
        QVERIFY2(out.contains(expectedOut), qPrintable(out.join(u'\n')));
    if (expectedError.isEmpty())
        QCOMPARE(error, QStringList { QString() });
    else
        QVERIFY2(error.contains(expectedError) && error.contains(kMoreHelp), qPrintable(error.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
