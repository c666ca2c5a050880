// Inputs the fuzz targets found faults with, kept as regression tests: what the list file reader reads must come
// back unchanged through the writer and a second read.
#include "SampleLists.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korbana;

namespace {

QStringList texts(const ListModel& list)
{
    QStringList out;
    for (int row = 0; row < list.count(); ++row) {
        const Entry& e = list.entryAt(row);
        out << e.caption << e.subItems[0] << e.subItems[1] << e.subItems[2];
    }
    return out;
}

void compareLists(const sample::Lists& actual, const sample::Lists& expected)
{
    QCOMPARE(texts(*actual.stores), texts(*expected.stores));
    QCOMPARE(texts(*actual.products), texts(*expected.products));
    QCOMPARE(texts(*actual.shopping), texts(*expected.shopping));
}

QString dataFolder()
{
    const QString dir = qEnvironmentVariable("KORBANA_TEST_DATA");
    return (dir.isEmpty() ? QFINDTESTDATA("data") : dir) + QStringLiteral("/fuzz");
}

} // namespace

class TestFuzzFindings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readSaveReadKeepsTexts_data();
    void readSaveReadKeepsTexts();
    void fieldStartingWithZeroWidthNoBreakSpace();
};

void TestFuzzFindings::readSaveReadKeepsTexts_data()
{
    QTest::addColumn<QString>("path");
    const QDir folder(dataFolder());
    const QStringList files = folder.entryList({ QStringLiteral("listfile-*") }, QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString& file : files)
        QTest::newRow(qPrintable(file)) << folder.filePath(file);
}

void TestFuzzFindings::readSaveReadKeepsTexts()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    sample::Lists first;
    korbana::parseListFile(file.readAll(), first.set());

    sample::Lists second;
    QCOMPARE(korbana::parseListFile(korbana::encodeListFile(first.set()), second.set()), korbana::ReadResult::Ok);
    compareLists(second, first);
}

// A text beyond Windows-1252 makes the file UTF-8 with a byte-order mark; a field of its own that begins with
// U+FEFF must not lose it as if it were another mark.
void TestFuzzFindings::fieldStartingWithZeroWidthNoBreakSpace()
{
    sample::Lists saved;
    saved.stores->append(QStringLiteral("\uFEFFMarkt"));
    saved.stores->append(QStringLiteral("Sklep Łódź"));
    saved.products->append(
        QStringLiteral("\uFEFF"), { QStringLiteral("\uFEFF\uFEFFMarkt"), QStringLiteral("1,99 EUR") });
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bom.kbl"));
    QCOMPARE(korbana::writeListFile(path, saved.set()), korbana::WriteResult::Ok);

    sample::Lists loaded;
    QCOMPARE(korbana::readListFile(path, loaded.set()), korbana::ReadResult::Ok);
    compareLists(loaded, saved);
}

QTEST_GUILESS_MAIN(TestFuzzFindings)
#include "tst_fuzzfindings.moc"
