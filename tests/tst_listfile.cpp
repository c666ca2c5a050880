#include "ThreeLists.h"
#include "document/Csv.h"
#include "document/DocumentFileState.h"
#include "document/DurableFile.h"
#include "document/ListFile.h"
#include "document/RecoveryStore.h"
#include "document/Windows1252.h"
#include "lists/ListModel.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <future>

#include <sys/stat.h>
#include <unistd.h>

using namespace korbana;

namespace {

using Lists = ThreeLists;

// Each row as its fields joined by "|".
QStringList rows(const ListModel& list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row) {
        QStringList fields { list.caption(row) };
        for (int s = 0; s < list.subItemCount(); ++s)
            fields << list.subItem(row, s);
        result << fields.join(u'|');
    }
    return result;
}

// The rows of all three lists, each marked with its list.
QStringList allRows(const Lists& lists)
{
    QStringList result;
    for (const QString& row : rows(lists.stores))
        result << "Laden: " + row;
    for (const QString& row : rows(lists.products))
        result << "Produkt: " + row;
    for (const QString& row : rows(lists.shopping))
        result << "Einkauf: " + row;
    return result;
}

// The worked example: two shops, one product, one shopping entry.
void fillExample(Lists& lists)
{
    lists.stores.append("Bäcker");
    lists.stores.append("Markt");
    lists.products.append("Brot", { "Bäcker", "1,99 EUR" });
    lists.shopping.append("1", { "Brot", "Bäcker", "1,99 EUR" });
}

const QByteArray kExampleBytes = "2\r\nB\xE4"
                                 "cker\r\nMarkt\r\n1\r\nBrot\r\nB\xE4"
                                 "cker\r\n1,99 EUR\r\n1\r\n1\r\nBrot\r\nB\xE4"
                                 "cker\r\n1,99 EUR\r\n";

// Also found when the test runs outside ctest.
QString testData(const QString& name)
{
    const QString dir = qEnvironmentVariable("KORBANA_TEST_DATA");
    return (dir.isEmpty() ? QFINDTESTDATA("data") : dir) + '/' + name;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// A tmpfs mounted for the length of one test (root only); unmounted again on every way out.
class TmpfsMount
{
public:
    TmpfsMount(const QString& dir, const QString& options)
        : m_dir(dir)
    {
        m_mounted
            = geteuid() == 0 && QProcess::execute("mount", { "-t", "tmpfs", "-o", options, "korbana-test", dir }) == 0;
    }
    ~TmpfsMount()
    {
        if (m_mounted)
            QProcess::execute("umount", { m_dir });
    }
    bool mounted() const { return m_mounted; }

private:
    QString m_dir;
    bool m_mounted = false;
};

// A save file whose writes fail once a byte budget is used up, as on a full or vanished medium.
class FailingSaveFile final : public SaveFile
{
public:
    FailingSaveFile(const QString& path, qint64 budget)
        : SaveFile(path)
        , m_budget(budget)
    {
    }

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        if (m_budget <= 0)
            return -1;
        const qint64 n = std::min(len, m_budget);
        m_budget -= n;
        return SaveFile::writeData(data, n);
    }

private:
    qint64 m_budget;
};

} // namespace

class TestListFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codecTable_data();
    void codecTable();
    void codecRoundTripsEveryByte();
    void codecRefusesForeignCharacters();

    void readingRules_data();
    void readingRules();
    void countSyntax_data();
    void countSyntax();
    void hugeCountStopsAtBound();
    void streamedReadMatchesWholeRead_data();
    void streamedReadMatchesWholeRead();
    void loadLeavesRoomToAdd();
    void repeatedTextsShareStorage();
    void shoppingSharesCatalogueTexts_data();
    void shoppingSharesCatalogueTexts();
    void exampleByteForByte();
    void sampleFileLoadsAndSavesUnchanged();
    void emptyListsSaveAsThreeZeros();
    void lineCountMatchesEntries();
    void saveThenOpenRoundTrip();
    void everyByteSurvivesLoadAndSave();
    void textBeyondWindows1252SavesAsUtf8();
    void utf8WithoutMarkSavesByTheUsualRule_data();
    void utf8WithoutMarkSavesByTheUsualRule();
    void textsThatLookLikeUtf8SurviveSave();
    void blockwiseSaveMatchesEncoding_data();
    void blockwiseSaveMatchesEncoding();

    void openMissingFileLeavesLists();
    void openReplacesLoadedLists();
    void saveIntoMissingFolder();
    void saveIntoReadOnlyFolder();
    void failedWriteKeepsOldFile();
    void sideCopiesNoMoreReadable_data();
    void sideCopiesNoMoreReadable();
    void recoveryCopyRefusesLink();
    void unchangedSaveLeavesFile_data();
    void unchangedSaveLeavesFile();
    void fullDiskKeepsOldFile();
    void messages();
};

void TestListFile::codecTable_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");
    QTest::newRow("ascii") << 0x41 << 0x41;
    QTest::newRow("nul") << 0x00 << 0x00;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("undefined 81") << 0x81 << 0x81;
    QTest::newRow("undefined 8D") << 0x8D << 0x8D;
    QTest::newRow("undefined 8F") << 0x8F << 0x8F;
    QTest::newRow("undefined 90") << 0x90 << 0x90;
    QTest::newRow("undefined 9D") << 0x9D << 0x9D;
    QTest::newRow("S caron") << 0x8A << 0x0160;
    QTest::newRow("left quote") << 0x93 << 0x201C;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("nbsp") << 0xA0 << 0xA0;
    QTest::newRow("a umlaut") << 0xE4 << 0xE4;
    QTest::newRow("sharp s") << 0xDF << 0xDF;
    QTest::newRow("y diaeresis") << 0xFF << 0xFF;
}

void TestListFile::codecTable()
{
    QFETCH(int, byte);
    QFETCH(int, unicode);
    const QByteArray bytes(1, static_cast<char>(byte));
    const QString text = decodeWindows1252(bytes);
    QCOMPARE(text.size(), 1);
    QCOMPARE(int(text.at(0).unicode()), unicode);
    bool ok = false;
    QCOMPARE(encodeWindows1252(text, &ok), bytes);
    QVERIFY(ok);
}

void TestListFile::codecRoundTripsEveryByte()
{
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(static_cast<char>(byte));
    const QString text = decodeWindows1252(all);
    QCOMPARE(text.size(), 256);
    QVERIFY(canEncodeWindows1252(text));
    QCOMPARE(encodeWindows1252(text), all);
}

void TestListFile::codecRefusesForeignCharacters()
{
    // U+0080 is no Windows-1252 character: its byte means the euro sign.
    for (const QString& text : { QString("Łódź"), QString(QChar(0x80)), QString("a\u20ACb\u0100") }) {
        QVERIFY2(!canEncodeWindows1252(text), qPrintable(text));
        bool ok = true;
        QVERIFY(encodeWindows1252(text, &ok).isEmpty());
        QVERIFY(!ok);
    }
    QByteArray out = "x";
    QVERIFY(!appendWindows1252(u"ab\u0141c", out));
    QCOMPARE(out, QByteArray("xab"));
}

void TestListFile::readingRules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("stores");
    QTest::addColumn<QStringList>("products");
    QTest::addColumn<QStringList>("shopping");

    const QStringList none;
    const QStringList exampleStores { "Bäcker", "Markt" };
    const QStringList exampleProducts { "Brot|Bäcker|1,99 EUR" };
    const QStringList exampleShopping { "1|Brot|Bäcker|1,99 EUR" };
    QTest::newRow("CR LF") << kExampleBytes << true << exampleStores << exampleProducts << exampleShopping;
    QByteArray crOnly = kExampleBytes;
    crOnly.replace("\r\n", "\r");
    QTest::newRow("CR only") << crOnly << true << exampleStores << exampleProducts << exampleShopping;
    QTest::newRow("CR and CR LF mixed") << QByteArray("1\rA\r\n0\r0\r\n") << true << QStringList { "A" } << none
                                        << none;
    QTest::newRow("lone LF stays in text")
        << QByteArray("1\r\nA\nB\r\n0\r\n0\r\n") << true << QStringList { "A\nB" } << none << none;
    QByteArray lfOnly = kExampleBytes;
    lfOnly.replace("\r\n", "\n");
    QTest::newRow("LF only") << lfOnly << true << exampleStores << exampleProducts << exampleShopping;
    QTest::newRow("LF only, blank texts") << QByteArray("2\n\n B\n1\nBrot\n\n\n0") << true << QStringList { "", " B" }
                                          << QStringList { "Brot||" } << none;
    QTest::newRow("LF only, CR after byte 26")
        << QByteArray("1\nA\n0\n0\n\x1A\r") << true << QStringList { "A" } << none << none;
    QTest::newRow("LF with one CR at the end: the first line is no count")
        << QByteArray("1\nA\n0\n0\n\r") << false << none << none << none;
    QTest::newRow("empty file") << QByteArray() << false << none << none << none;
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n\r\n") << false << none << none << none;
    QTest::newRow("byte 26 after the end") << QByteArray("1\r\nA\r\n0\r\n0\r\n\x1A"
                                                         "5\r\nX\r\n")
                                           << true << QStringList { "A" } << none << none;
    QTest::newRow("byte 26 inside a text") << QByteArray("2\r\nA\r\nB\x1A"
                                                         "C\r\n0\r\n0\r\n")
                                           << false << QStringList { "A", "B" } << none << none;
    QTest::newRow("byte 26 at the start") << QByteArray("\x1A"
                                                        "0\r\n0\r\n0\r\n")
                                          << false << none << none << none;
    QTest::newRow("negative count skips section")
        << QByteArray("-1\r\n1\r\nBrot\r\nB\r\nP\r\n0\r\n") << true << none << QStringList { "Brot|B|P" } << none;
    QTest::newRow("zero count skips section") << QByteArray("0\r\n0\r\n1\r\n2\r\nMilch\r\nM\r\n0,99 EUR\r\n") << true
                                              << none << none << QStringList { "2|Milch|M|0,99 EUR" };
    QTest::newRow("ends inside last section")
        << QByteArray("0\r\n0\r\n2\r\n1\r\nBrot") << true << none << none << QStringList { "1|Brot||", "|||" };
    QTest::newRow("ends before a count") << QByteArray("2\r\nA") << false << QStringList { "A", "" } << none << none;
    QTest::newRow("ends inside product") << QByteArray("1\r\nA\r\n1\r\nBrot\r\n") << false << QStringList { "A" }
                                         << QStringList { "Brot||" } << none;
    QTest::newRow("bad product count keeps stores")
        << QByteArray("1\r\nA\r\nzwei\r\n0\r\n") << false << QStringList { "A" } << none << none;
    QTest::newRow("bad shopping count keeps products")
        << QByteArray("0\r\n1\r\nBrot\r\nB\r\nP\r\n1 \r\n") << false << none << QStringList { "Brot|B|P" } << none;
    QTest::newRow("extra lines ignored") << QByteArray("1\r\nA\r\n0\r\n0\r\nmehr\r\nnoch mehr\r\n") << true
                                         << QStringList { "A" } << none << none;
    QTest::newRow("blanks and empty fields") << QByteArray("2\r\n  Markt \r\n\r\n1\r\n\r\n \r\n\r\n0\r\n") << true
                                             << QStringList { "  Markt ", "" } << QStringList { "| |" } << none;
    QTest::newRow("Windows-1252 letters")
        << QByteArray("1\r\n\x80 \xDF\x9F\r\n0\r\n0\r\n") << true << QStringList { "€ ßŸ" } << none << none;
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF"
                                                   "1\r\nKrak\xC3\xB3w \xC3\xA4\r\n0\r\n0\r\n")
                                     << true << QStringList { "Kraków ä" } << none << none;
    // Without a mark, a file that is UTF-8 throughout and has a character of more than one byte is UTF-8, as phone
    // apps write it; anything else is Windows-1252.
    QTest::newRow("UTF-8 without mark") << QByteArray("1\r\nK\xC3\xA4se \xE2\x82\xAC \xF0\x9F\x8D\x9E\r\n0\r\n0\r\n")
                                        << true << QStringList { "Käse € \U0001F35E" } << none << none;
    QTest::newRow("UTF-8 without mark, LF only")
        << QByteArray("1\nK\xC3\xA4se\n0\n0\n") << true << QStringList { "Käse" } << none << none;
    QTest::newRow("UTF-8 form and a Windows-1252 letter")
        << QByteArray("2\r\n\xC3\xA4\r\nK\xE4se\r\n0\r\n0\r\n") << true << QStringList { "Ã¤", "Käse" } << none << none;
    QTest::newRow("Windows-1252 letter after the lists")
        << QByteArray("1\r\n\xC3\xA4\r\n0\r\n0\r\n\xE4\r\n") << true << QStringList { "Ã¤" } << none << none;
    QTest::newRow("UTF-8 sequence cut at the end of the file")
        << QByteArray("1\r\n\xC3\xA4\r\n0\r\n0\r\n\xC3") << true << QStringList { "Ã¤" } << none << none;
    QTest::newRow("what follows byte 26 is not looked at")
        << QByteArray("1\r\n\xC3\xA4\r\n0\r\n0\r\n\x1A\xE4") << true << QStringList { "ä" } << none << none;
    QTest::newRow("overlong form is no UTF-8")
        << QByteArray("1\r\n\xC0\xAE\xE0\x80\xAE\r\n0\r\n0\r\n") << true << QStringList { "À®à€®" } << none << none;
    QTest::newRow("surrogate is no UTF-8")
        << QByteArray("1\r\n\xED\xA0\x80\r\n0\r\n0\r\n") << true << QStringList { "í\u00A0€" } << none << none;
    QTest::newRow("past U+10FFFF is no UTF-8")
        << QByteArray("1\r\n\xF4\x90\x80\x80\r\n0\r\n0\r\n") << true << QStringList { "ô\u0090€€" } << none << none;
    QTest::newRow("lone continuation byte is no UTF-8")
        << QByteArray("1\r\n\xA4\xC3\xA4\r\n0\r\n0\r\n") << true << QStringList { "¤Ã¤" } << none << none;
}

void TestListFile::readingRules()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, ok);
    QFETCH(QStringList, stores);
    QFETCH(QStringList, products);
    QFETCH(QStringList, shopping);

    Lists lists;
    QCOMPARE(parseListFile(file, lists.set()), ok ? ReadResult::Ok : ReadResult::BadFormat);
    QCOMPARE(rows(lists.stores), stores);
    QCOMPARE(rows(lists.products), products);
    QCOMPARE(rows(lists.shopping), shopping);
}

void TestListFile::countSyntax_data()
{
    // The count stands in the last section, so a valid one gives that many (empty) shopping entries.
    QTest::addColumn<QByteArray>("count");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("entries");

    QTest::newRow("plain") << QByteArray("3") << true << 3;
    QTest::newRow("leading zeros") << QByteArray("007") << true << 7;
    QTest::newRow("leading blanks") << QByteArray("  2") << true << 2;
    QTest::newRow("plus") << QByteArray("+2") << true << 2;
    QTest::newRow("blanks then sign") << QByteArray(" -3") << true << 0;
    QTest::newRow("minus one") << QByteArray("-1") << true << 0;
    QTest::newRow("zero") << QByteArray("0") << true << 0;
    QTest::newRow("dollar hex") << QByteArray("$a") << true << 10;
    QTest::newRow("x hex") << QByteArray("x0B") << true << 11;
    QTest::newRow("X hex") << QByteArray("XC") << true << 12;
    QTest::newRow("0x hex") << QByteArray("0x0d") << true << 13;
    QTest::newRow("0X hex") << QByteArray("0XE") << true << 14;
    QTest::newRow("signed hex") << QByteArray("+$F") << true << 15;
    QTest::newRow("negative hex") << QByteArray("-$7FFFFFFF") << true << 0;
    QTest::newRow("lowest int") << QByteArray("-2147483648") << true << 0;
    QTest::newRow("lowest int hex") << QByteArray("-0x80000000") << true << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("blanks only") << QByteArray("  ") << false << 0;
    QTest::newRow("trailing blank") << QByteArray("2 ") << false << 0;
    QTest::newRow("tab") << QByteArray("\t2") << false << 0;
    QTest::newRow("sign only") << QByteArray("-") << false << 0;
    QTest::newRow("two signs") << QByteArray("+-2") << false << 0;
    QTest::newRow("blank after sign") << QByteArray("- 2") << false << 0;
    QTest::newRow("letter") << QByteArray("2a") << false << 0;
    QTest::newRow("exponent") << QByteArray("1e1") << false << 0;
    QTest::newRow("decimal point") << QByteArray("1.0") << false << 0;
    QTest::newRow("hex digits without prefix") << QByteArray("A") << false << 0;
    QTest::newRow("prefix only") << QByteArray("$") << false << 0;
    QTest::newRow("0x only") << QByteArray("0x") << false << 0;
    QTest::newRow("sign after prefix") << QByteArray("$-1") << false << 0;
    QTest::newRow("bad hex digit") << QByteArray("0xG") << false << 0;
    QTest::newRow("above int") << QByteArray("2147483648") << false << 0;
    QTest::newRow("below int") << QByteArray("-2147483649") << false << 0;
    QTest::newRow("above int hex") << QByteArray("$80000000") << false << 0;
    QTest::newRow("far above int") << QByteArray("99999999999999999999999") << false << 0;
    QTest::newRow("unsigned wrap hex") << QByteArray("$FFFFFFFF") << false << 0;
    QTest::newRow("NUL after digits") << QByteArray("2\0", 2) << false << 0;
}

void TestListFile::countSyntax()
{
    QFETCH(QByteArray, count);
    QFETCH(bool, ok);
    QFETCH(int, entries);

    Lists lists;
    QCOMPARE(parseListFile("0\r\n0\r\n" + count + "\r\n", lists.set()), ok ? ReadResult::Ok : ReadResult::BadFormat);
    QCOMPARE(lists.shopping.count(), entries);
    for (int row = 0; row < lists.shopping.count(); ++row)
        QCOMPARE(rows(lists.shopping).at(row), QString("|||"));
}

void TestListFile::hugeCountStopsAtBound()
{
    // A damaged count must neither exhaust memory nor run for ages: padding stops with the format error.
    Lists lists;
    QCOMPARE(parseListFile("2147483647\r\nA\r\n", lists.set()), ReadResult::BadFormat);
    QVERIFY(lists.stores.count() > 10000);
    QVERIFY(lists.stores.count() < 1000000);
    QCOMPARE(lists.stores.caption(0), QString("A"));
    QVERIFY(lists.stores.caption(1).isEmpty());

    // Padding up to the bound itself is still a valid, if short, file.
    Lists padded;
    QCOMPARE(parseListFile("0\r\n0\r\n10000\r\n", padded.set()), ReadResult::Ok);
    QCOMPARE(padded.shopping.count(), 10000);
}

void TestListFile::streamedReadMatchesWholeRead_data()
{
    // A file is read in blocks of this size: what stands at the seam must read as if the file were read whole.
    constexpr int kBlock = 1 << 20;
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray head = "3\r\n";
    const struct
    {
        const char* name;
        QByteArray tail;
        QByteArray head = "3\r\n";
    } tails[] = {
        { "CR LF", "\r\nB\r\nC\r\n0\r\n0\r\n" },
        { "lone CR", "\rB\rC\r0\r0\r" },
        { "LF inside a line", "\nx\r\nB\r\nC\r\n0\r\n0\r\n" },
        { "byte 26", "\r\nB\x1A\r\nC\r\n0\r\n0\r\n" },
        { "file ends in CR", "\r\nB\r\nC\r\n0\r\n0\r" },
        { "LF only", "\nB\nC\n0\n0\n", "3\n" },
        { "LF, then one CR in the next block", "\nB\nC\n0\n0\n\r", "3\n" },
        { "UTF-8 character", "\xC3\xA4\r\nB\r\nC\r\n0\r\n0\r\n" },
        { "Windows-1252 letter after UTF-8", "\r\nB\r\nK\xE4se\r\n0\r\n0\r\n", "3\r\n\xC3\xA4 " },
        { "UTF-8, LF only", "\nB\xC3\xA4\nC\n0\n0\n", "3\n" },
    };
    for (const auto& tail : tails) {
        for (int shift = -2; shift <= 2; ++shift) {
            const QByteArray name(kBlock - tail.head.size() + shift, 'A');
            QTest::addRow("%s at the seam %+d", tail.name, shift) << tail.head + name + tail.tail;
        }
    }
    QTest::newRow("line over three blocks") << "2\r\n" + QByteArray(3 * kBlock + 5, 'x') + "\r\ny\r\n0\r\n0\r\n";
    QTest::newRow("UTF-8 mark") << "\xEF\xBB\xBF" + head + QByteArray("\xC3\xA4").repeated(kBlock / 2)
            + "\r\n\xC3\xA4\r\nC\r\n0\r\n0\r\n";
}

void TestListFile::streamedReadMatchesWholeRead()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("seam.kbl");
    QVERIFY(writeBytes(path, bytes));
    Lists whole;
    Lists streamed;
    QCOMPARE(readListFile(path, streamed.set()), parseListFile(bytes, whole.set()));
    QCOMPARE(allRows(streamed), allRows(whole));
    // Read on a worker thread, as at start, and put into the lists afterwards: the same again.
    Lists onWorker;
    auto read = std::async(std::launch::async, readListContent, path);
    QCOMPARE(applyListContent(read.get(), onWorker.set()), parseListFile(bytes, whole.set()));
    QCOMPARE(allRows(onWorker), allRows(whole));
}

void TestListFile::loadLeavesRoomToAdd()
{
    Lists lists;
    fillExample(lists);
    for (int i = 0; i < 1000; ++i)
        lists.shopping.append(QString::number(i), { "Brot", "Bäcker", "1,99 EUR" });
    Lists loaded;
    QCOMPARE(parseListFile(encodeListFile(lists.set()), loaded.set()), ReadResult::Ok);
    // The first entry added after a load finds room: no row of the list has to move for it.
    for (ListModel* list : { &loaded.stores, &loaded.products, &loaded.shopping }) {
        const Entry* first = &list->entryAt(0);
        list->append("neu", { "Laden", "1,00 EUR" });
        QCOMPARE(&list->entryAt(0), first);
    }
}

void TestListFile::repeatedTextsShareStorage()
{
    // More distinct shops than the pool holds, each named twice: every text right, the early ones shared.
    constexpr int kShops = 70000;
    QByteArray file = "0\r\n" + QByteArray::number(2 * kShops) + "\r\n";
    for (int i = 0; i < 2 * kShops; ++i)
        file += "P\r\nLaden " + QByteArray::number(i % kShops) + "\r\n1,00 EUR\r\n";
    file += "0\r\n";
    Lists lists;
    QCOMPARE(parseListFile(file, lists.set()), ReadResult::Ok);
    QCOMPARE(lists.products.count(), 2 * kShops);
    for (int i = 0; i < 2 * kShops; ++i) {
        if (lists.products.subItem(i, 0) != QString("Laden %1").arg(i % kShops))
            QFAIL(qPrintable(QString("row %1: %2").arg(i).arg(lists.products.subItem(i, 0))));
    }
    const Entry& first = lists.products.entryAt(0);
    const Entry& again = lists.products.entryAt(kShops);
    QCOMPARE(first.subItems[0].constData(), again.subItems[0].constData());
    QCOMPARE(first.subItems[1].constData(), lists.products.entryAt(2 * kShops - 1).subItems[1].constData());
    // The same product at many shops: one name.
    QCOMPARE(first.caption.constData(), lists.products.entryAt(2 * kShops - 1).caption.constData());
}

void TestListFile::shoppingSharesCatalogueTexts_data()
{
    // Shopping entries after a catalogue of more distinct names and prices than the pool holds: a text equal to a
    // product's shares its string, any other keeps its own bytes (case, blanks and umlauts count).
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("price");
    QTest::addColumn<int>("sharesNameOf"); // the product row, or -1
    QTest::addColumn<int>("sharesPriceOf");
    QTest::newRow("the last product") << "Produkt 69999"
                                      << "699,99 EUR" << 69999 << 69999;
    QTest::newRow("the first product") << "Produkt 0"
                                       << "0,00 EUR" << 0 << 0;
    QTest::newRow("name of one, price of another") << "Produkt 12"
                                                   << "400,00 EUR" << 12 << 40000;
    QTest::newRow("other case") << "produkt 69999"
                                << "699,99 eur" << -1 << -1;
    QTest::newRow("blank at the end") << "Produkt 69998 "
                                      << " 699,98 EUR" << -1 << -1;
    QTest::newRow("umlaut written out") << "Produkt 5 Baeckerei"
                                        << "0,05 EUR" << -1 << 5;
    QTest::newRow("umlaut") << "Produkt 5 Bäckerei"
                            << "1,00 EUR" << 5 << 100;
    QTest::newRow("not in the catalogue") << "Brot"
                                          << "" << -1 << -1;
    QTest::newRow("a price as name") << "0,07 EUR"
                                     << "Produkt 7" << -1 << -1;
}

void TestListFile::shoppingSharesCatalogueTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, price);
    QFETCH(int, sharesNameOf);
    QFETCH(int, sharesPriceOf);
    constexpr int kProducts = 70000;
    Lists lists;
    for (int i = 0; i < kProducts; ++i) {
        const QString own = i == 5 ? QStringLiteral(" Bäckerei") : QString();
        lists.products.append(QStringLiteral("Produkt %1").arg(i) + own,
            { "Laden", QStringLiteral("%1,%2 EUR").arg(i / 100).arg(i % 100, 2, 10, QChar(u'0')) });
    }
    lists.shopping.append("1", { name, "Laden", price });
    Lists loaded;
    QCOMPARE(parseListFile(encodeListFile(lists.set()), loaded.set()), ReadResult::Ok);
    const Entry& entry = loaded.shopping.entryAt(0);
    QCOMPARE(entry.subItems[0], name);
    QCOMPARE(entry.subItems[2], price);
    if (sharesNameOf >= 0)
        QCOMPARE(entry.subItems[0].constData(), loaded.products.entryAt(sharesNameOf).caption.constData());
    if (sharesPriceOf >= 0)
        QCOMPARE(entry.subItems[2].constData(), loaded.products.entryAt(sharesPriceOf).subItems[1].constData());
}

void TestListFile::exampleByteForByte()
{
    Lists lists;
    fillExample(lists);
    QCOMPARE(encodeListFile(lists.set()), kExampleBytes);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("woche.kbl");
    QCOMPARE(writeListFile(path, lists.set()), WriteResult::Ok);
    QCOMPARE(readBytes(path), kExampleBytes);

    // The same file as another program left it on disk reads back into the same lists.
    const QString stored = testData("beispiel.kbl");
    QCOMPARE(readBytes(stored), kExampleBytes);
    Lists loaded;
    QCOMPARE(readListFile(stored, loaded.set()), ReadResult::Ok);
    QCOMPARE(allRows(loaded), allRows(lists));
}

void TestListFile::sampleFileLoadsAndSavesUnchanged()
{
    const QByteArray sample = readBytes(testData("../../resources/korbana.kbl"));
    QVERIFY(!sample.isEmpty());
    Lists lists;
    QCOMPARE(parseListFile(sample, lists.set()), ReadResult::Ok);
    QVERIFY(lists.shopping.count() > 0);
    QCOMPARE(encodeListFile(lists.set()), sample);
}

void TestListFile::emptyListsSaveAsThreeZeros()
{
    Lists lists;
    QCOMPARE(encodeListFile(lists.set()), QByteArray("0\r\n0\r\n0\r\n"));
}

void TestListFile::lineCountMatchesEntries()
{
    Lists lists;
    for (int i = 0; i < 5; ++i)
        lists.stores.append(QString::number(i));
    for (int i = 0; i < 7; ++i)
        lists.products.append("P", { "L", "" });
    for (int i = 0; i < 3; ++i)
        lists.shopping.append("", {});
    const QByteArray bytes = encodeListFile(lists.set());
    QCOMPARE(bytes.count("\r\n"), 3 + 5 + 3 * 7 + 4 * 3);
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    QVERIFY(bytes.endsWith("\r\n"));
}

void TestListFile::saveThenOpenRoundTrip()
{
    Lists saved;
    saved.stores.append(" Markt mit Blanks  ");
    saved.stores.append("");
    saved.stores.append("Bäcker & Söhne € ‚Zoll‘");
    saved.products.append("", { "", "" });
    saved.products.append("Käse", { " Markt mit Blanks  ", "ca. 3 EUR" });
    saved.shopping.append("2 Stück", { "Käse", "", " 4,50 EUR " });
    saved.shopping.append("", { "", "", "" });

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("liste.kbl");
    QCOMPARE(writeListFile(path, saved.set()), WriteResult::Ok);
    QVERIFY(!readBytes(path).startsWith("\xEF\xBB\xBF"));

    Lists loaded;
    QCOMPARE(readListFile(path, loaded.set()), ReadResult::Ok);
    QCOMPARE(allRows(loaded), allRows(saved));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { "liste.kbl" });
}

void TestListFile::everyByteSurvivesLoadAndSave()
{
    // Every byte but CR, LF and 26, the five undefined ones and NUL included, comes back as it was.
    QByteArray text;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n' && byte != 26)
            text.append(static_cast<char>(byte));
    }
    const QByteArray file = "1\r\n" + text + "\r\n1\r\n" + text + "\r\n\r\n" + text + "\r\n0\r\n";
    Lists lists;
    QCOMPARE(parseListFile(file, lists.set()), ReadResult::Ok);
    QCOMPARE(lists.stores.caption(0).size(), text.size());
    QCOMPARE(lists.stores.caption(0).at(0), QChar(0));
    QCOMPARE(encodeListFile(lists.set()), file);
}

void TestListFile::textBeyondWindows1252SavesAsUtf8()
{
    Lists saved;
    saved.stores.append("Bäcker");
    saved.products.append("Pierogi", { "Sklep Łódź", "1,99 EUR" });
    saved.shopping.append("1", { "Pierogi", "Sklep Łódź", QString(QChar(0x81)) });
    const QByteArray bytes = encodeListFile(saved.set());
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"
                             "1\r\nB\xC3\xA4"
                             "cker\r\n"));
    QVERIFY(bytes.contains("Sklep \xC5\x81\xC3\xB3\x64\xC5\xBA\r\n"));

    Lists loaded;
    QCOMPARE(parseListFile(bytes, loaded.set()), ReadResult::Ok);
    QCOMPARE(allRows(loaded), allRows(saved));
}

void TestListFile::utf8WithoutMarkSavesByTheUsualRule_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("Windows-1252 letters")
        << QByteArray("1\nK\xC3\xA4se\n0\n0\n") << QByteArray("1\r\nK\xE4se\r\n0\r\n0\r\n");
    QTest::newRow("beyond Windows-1252") << QByteArray("1\r\n\xC5\x81\xC3\xB3\x64\xC5\xBA\r\n0\r\n0\r\n")
                                         << QByteArray("\xEF\xBB\xBF"
                                                       "1\r\n\xC5\x81\xC3\xB3\x64\xC5\xBA\r\n0\r\n0\r\n");
}

void TestListFile::utf8WithoutMarkSavesByTheUsualRule()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, saved);
    QTemporaryDir dir;
    const QString path = dir.filePath("telefon.kbl");
    QVERIFY(writeBytes(path, file));
    Lists lists;
    ReadFacts facts;
    QCOMPARE(readListFile(path, lists.set(), &facts), ReadResult::Ok);
    QVERIFY(facts.complete);
    QCOMPARE(writeListFile(path, lists.set()), WriteResult::Ok);
    QCOMPARE(readBytes(path), saved);
}

// Windows-1252 bytes that are UTF-8 throughout would be read back as other texts ("KÃ¤serei" as "Käserei").
void TestListFile::textsThatLookLikeUtf8SurviveSave()
{
    Lists lists;
    lists.stores.append("KÃ¤serei");
    lists.products.append("Ã¤", { "KÃ¤serei", "1,99 EUR" });
    const QByteArray bytes = encodeListFile(lists.set());
    Lists loaded;
    QCOMPARE(parseListFile(bytes, loaded.set()), ReadResult::Ok);
    QCOMPARE(loaded.stores.caption(0), lists.stores.caption(0));
    QCOMPARE(loaded.products.caption(0), lists.products.caption(0));
    QTemporaryDir dir;
    const QString path = dir.filePath("kaeserei.kbl");
    QCOMPARE(writeListFile(path, lists.set()), WriteResult::Ok);
    QCOMPARE(readBytes(path), bytes);
}

void TestListFile::blockwiseSaveMatchesEncoding_data()
{
    QTest::addColumn<QString>("lastShop");
    QTest::newRow("Windows-1252") << "Bäcker";
    // Found only after the first blocks went to the file: the file starts again in UTF-8.
    QTest::newRow("UTF-8 found late") << "Bäcker \u0141\u00f3d\u017a";
}

void TestListFile::blockwiseSaveMatchesEncoding()
{
    QFETCH(QString, lastShop);
    Lists lists;
    fillExample(lists);
    for (int i = 0; i < 150000; ++i)
        lists.products.append("Produkt " + QString::number(i), { "Bäcker", "1,99 EUR" });
    lists.shopping.append("2", { "Brot", lastShop, "1,99 EUR" });

    QTemporaryDir dir;
    const QString path = dir.filePath("gross.kbl");
    QVERIFY(writeBytes(path, QByteArray(8 << 20, 'x'))); // an older, longer file is replaced whole
    QCOMPARE(writeListFile(path, lists.set()), WriteResult::Ok);
    const QByteArray written = readBytes(path);
    QVERIFY(written.size() > 2 << 20);
    QCOMPARE(written, encodeListFile(lists.set()));
    Lists loaded;
    QCOMPARE(readListFile(path, loaded.set()), ReadResult::Ok);
    QCOMPARE(allRows(loaded), allRows(lists));
}

void TestListFile::openMissingFileLeavesLists()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Lists lists;
    fillExample(lists);
    QStringList paths { dir.filePath("fehlt.kbl"), dir.path() };
#ifdef Q_OS_UNIX
    // Neither a pipe (its open would wait for a writer) nor an endless device may hang the program.
    const QString fifo = dir.filePath("pipe.kbl");
    QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    paths << fifo << QStringLiteral("/dev/zero");
#endif
    for (const QString& path : paths) {
        QCOMPARE(readListFile(path, lists.set()), ReadResult::CannotOpen);
        QCOMPARE(lists.stores.count(), 2);
        QCOMPARE(lists.products.count(), 1);
        QCOMPARE(lists.shopping.count(), 1);
    }
}

void TestListFile::openReplacesLoadedLists()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("kurz.kbl");
    QVERIFY(writeBytes(path, "1\r\nNeu\r\n0\r\nkaputt\r\n"));
    Lists lists;
    fillExample(lists);
    QCOMPARE(readListFile(path, lists.set()), ReadResult::BadFormat);
    QCOMPARE(rows(lists.stores), QStringList { "Neu" });
    QCOMPARE(lists.products.count(), 0);
    QCOMPARE(lists.shopping.count(), 0);
}

void TestListFile::saveIntoMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.filePath("datei"), "x"));
    Lists lists;
    fillExample(lists);
    for (const QString& path : { dir.filePath("fehlt/liste.kbl"), dir.filePath("datei/liste.kbl") })
        QCOMPARE(writeListFile(path, lists.set()), WriteResult::CannotCreate);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { "datei" });
}

void TestListFile::saveIntoReadOnlyFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("nurlesen");
    QVERIFY(QDir().mkdir(folder));
    // Root ignores permission bits, so as root the folder becomes a read-only medium instead.
    TmpfsMount readOnly(folder, "ro,size=64k");
    if (geteuid() == 0 && !readOnly.mounted())
        QSKIP("running as root without permission to mount a read-only tmpfs");
    if (!readOnly.mounted())
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));

    Lists lists;
    fillExample(lists);
    QCOMPARE(writeListFile(folder + "/liste.kbl", lists.set()), WriteResult::CannotCreate);
    QVERIFY(QDir(folder).isEmpty());
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestListFile::failedWriteKeepsOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("alt.kbl");
    QVERIFY(writeBytes(path, kExampleBytes));
    const QByteArray newBytes(100000, 'x');
    for (const qint64 budget : { qint64(0), qint64(1), qint64(65536) }) {
        FailingSaveFile file(path, budget);
        QCOMPARE(saveWholeFile(file, newBytes), WriteResult::WriteFailed);
        QCOMPARE(readBytes(path), kExampleBytes);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { "alt.kbl" });

    FailingSaveFile roomy(path, newBytes.size());
    QCOMPARE(saveWholeFile(roomy, newBytes), WriteResult::Ok);
    QCOMPARE(readBytes(path), newBytes);
}

unsigned modeOf(const QString& path)
{
    struct stat status
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777u : 0u;
}

void TestListFile::sideCopiesNoMoreReadable_data()
{
    QTest::addColumn<QString>("copy");
    QTest::addColumn<unsigned>("listMode");
    QTest::addColumn<unsigned>("copyMode");
    for (const unsigned mode : { 0600u, 0640u, 0664u }) {
        const QString octal = QString::number(mode, 8);
        QTest::newRow(qPrintable("saved list " + octal)) << "list" << mode << mode;
        QTest::newRow(qPrintable("backup " + octal)) << "backup" << mode << mode;
        QTest::newRow(qPrintable("recovery copy " + octal)) << "recovery" << mode << 0600u;
        // A conflict copy moved away, a printed PDF: made by others, then limited to the list's readers.
        QTest::newRow(qPrintable("file made open to all " + octal)) << "limited" << mode << mode;
        // New files take the umask's bits first (never more than 0664), then the list's.
        if (mode != 0664u)
            QTest::newRow(qPrintable("CSV export " + octal)) << "csv" << mode << mode;
    }
}

void TestListFile::sideCopiesNoMoreReadable()
{
    QFETCH(QString, copy);
    QFETCH(unsigned, listMode);
    QFETCH(unsigned, copyMode);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("liste.kbl");
    QVERIFY(writeBytes(path, "kaputt"));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), listMode) == 0);
    Lists lists;
    fillExample(lists);

    QString written = path;
    if (copy == "list") {
        QCOMPARE(writeListFile(path, lists.set()), WriteResult::Ok);
    } else if (copy == "limited" || copy == "csv") {
        written = dir.filePath("kopie");
        if (copy == "csv") {
            QVERIFY(!exportCsvFile(written, lists.set(), path));
        } else {
            QVERIFY(writeBytes(written, "kopie"));
            QVERIFY(::chmod(QFile::encodeName(written).constData(), 0666) == 0);
            limitReadersTo(written, path);
        }
    } else if (copy == "backup") {
        DocumentFileState state;
        state.loaded(path, FileStamp::of(path), {}, false);
        written = state.keepBackup().value_or(QString());
        QCOMPARE(readBytes(written), QByteArray("kaputt"));
    } else {
        const QString folder = dir.filePath("state/recovery");
        QVERIFY(QDir().mkpath(folder));
        RecoveryStore::setFolderOverride(folder);
        RecoveryStore store;
        Lists copied;
        copied.stores.append(QStringLiteral("Markt"));
        RecoveryCopier copier;
        copier.start(copied.set(), store.begin(path, {}, {}, nullptr, {}));
        while (!copier.copy(RecoveryCopier::kRowsPerTurn)) { }
        store.waitForWrites();
        written = store.copyPath();
        RecoveryStore::setFolderOverride({});
        QCOMPARE(modeOf(folder), 0700u);
    }
    QCOMPARE(QString::number(modeOf(written), 8), QString::number(copyMode, 8));
    QCOMPARE(modeOf(path), listMode);
}

void TestListFile::recoveryCopyRefusesLink()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString elsewhere = dir.filePath("fremd.kbl");
    QVERIFY(writeBytes(elsewhere, "fremd"));
    const QString copy = dir.filePath("kopie.kbl");
    QVERIFY(QFile::link(elsewhere, copy));
    Lists lists;
    fillExample(lists);
    QCOMPARE(writeListFile(copy, lists.set(), nullptr, SaveFile::Kind::Private), WriteResult::CannotCreate);
    QCOMPARE(readBytes(elsewhere), QByteArray("fremd"));
    QVERIFY(QFileInfo(copy).isSymLink());
    // The user's own list may be a link: it is written through, and stays a link.
    QCOMPARE(writeListFile(copy, lists.set()), WriteResult::Ok);
    QCOMPARE(readBytes(elsewhere), kExampleBytes);
    QVERIFY(QFileInfo(copy).isSymLink());
}

void TestListFile::unchangedSaveLeavesFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("rewritten");
    QTest::newRow("same bytes") << kExampleBytes << false;
    QTest::newRow("same size, other bytes") << QByteArray(kExampleBytes).replace("Markt", "Marku") << true;
    QTest::newRow("longer") << kExampleBytes + "\r\n" << true;
    QTest::newRow("LF line ends") << QByteArray(kExampleBytes).replace("\r\n", "\n") << true;
}

void TestListFile::unchangedSaveLeavesFile()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, rewritten);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("liste.kbl");
    QVERIFY(writeBytes(path, before));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime past = QDateTime::currentDateTime().addSecs(-3600);
    QVERIFY(file.setFileTime(past, QFileDevice::FileModificationTime));
    file.close();
    const FileStamp stamp = FileStamp::of(path);

    Lists lists;
    fillExample(lists);
    QByteArray hash;
    QCOMPARE(writeListFile(path, lists.set(), &hash), WriteResult::Ok);
    QCOMPARE(hash, ContentHash::of(kExampleBytes));
    QCOMPARE(readBytes(path), kExampleBytes);
    QCOMPARE(!FileStamp::of(path).sameMetadata(stamp), rewritten);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "liste.kbl" });
}

void TestListFile::fullDiskKeepsOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("klein");
    QVERIFY(QDir().mkdir(folder));
    TmpfsMount small(folder, "size=64k");
    if (!small.mounted())
        QSKIP("filling a disk needs a small tmpfs, which only root may mount");

    const QString path = folder + "/alt.kbl";
    QVERIFY(writeBytes(path, kExampleBytes));
    Lists lists;
    for (int i = 0; i < 20000; ++i)
        lists.stores.append(QString("Laden Nummer %1").arg(i));
    QVERIFY(encodeListFile(lists.set()).size() > 64 * 1024);
    QCOMPARE(writeListFile(path, lists.set()), WriteResult::WriteFailed);
    QCOMPARE(readBytes(path), kExampleBytes);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList { "alt.kbl" });
}

void TestListFile::messages()
{
    QCOMPARE(messageText(ReadResult::CannotOpen), QString("Konnte die Datei nicht öffnen."));
    QCOMPARE(messageText(ReadResult::BadFormat), QString("Fehler beim Öffnen der Datei (Ungültiges Format?)."));
    QCOMPARE(messageTitle(ReadResult::CannotOpen), QString("Fehler beim Öffnen"));
    QCOMPARE(messageTitle(ReadResult::BadFormat), QString("Fehler beim Öffnen"));
    QCOMPARE(messageText(WriteResult::CannotCreate), QString("Konnte die Datei nicht erstellen."));
    QCOMPARE(messageText(WriteResult::WriteFailed), QString("Konnte die Datei nicht vollständig schreiben."));
    QCOMPARE(messageTitle(WriteResult::CannotCreate), QString("Fehler beim Speichern"));
    QCOMPARE(messageTitle(WriteResult::WriteFailed), QString("Fehler beim Speichern"));
}

QTEST_GUILESS_MAIN(TestListFile)
#include "tst_listfile.moc"
