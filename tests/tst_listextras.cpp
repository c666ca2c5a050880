#include "ThreeLists.h"
#include "document/ListDocument.h"
#include "document/ListExtras.h"
#include "document/ListFile.h"

#include <QFile>
#include <QFont>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

using namespace korbana;

Q_DECLARE_METATYPE(korbana::ListExtras::State)

namespace {

const QByteArray kLists = "1\r\nAldi\r\n1\r\nMilch\r\nAldi\r\n0,99 EUR\r\n1\r\n2\r\nMilch\r\nAldi\r\n0,99 EUR\r\n";

// Each record as its kind and fields joined by "|".
QStringList recordTexts(const ListExtras& extras)
{
    QStringList result;
    for (const ListExtras::Record& record : extras.allRecords())
        result << (QStringList { record.kind } + record.fields).join(u'|');
    return result;
}

ListExtras::Record record(const QString& kind, const QStringList& fields)
{
    return { kind, fields };
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestListExtras : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reading_data();
    void reading();
    void writing_data();
    void writing();
    void setRecordsKeepsOtherKinds();
    void documentKeepsBlockAndUndoesChanges();
    void damagedBlockIsReportedAndKeptAside();
    void ticks_data();
    void ticks();
    void removeTickedIsOneStep();
    void mergeKeepsBothSides();
    void reloadTakesTheFilesRecords();
};

void TestListExtras::reading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<ListExtras::State>("state");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<bool>("complete");

    using State = ListExtras::State;
    const QByteArray marker = "#korbana-extras 1\r\n";
    const QByteArray tick = "tick\t1\t2\tMilch\tAldi\t0,99 EUR\r\n";
    const QStringList tickRecord { "tick|1|2|Milch|Aldi|0,99 EUR" };
    QTest::newRow("no block") << kLists << State::Absent << QStringList() << true;
    QTest::newRow("sound block") << kLists + marker + tick + "#end 1\r\n" << State::Read << tickRecord << true;
    QTest::newRow("unknown kind and no fields kept") << kLists + marker + "zukunft-2\tx\r\nleer\r\n#end 2\r\n"
                                                     << State::Read << QStringList { "zukunft-2|x", "leer" } << true;
    QTest::newRow("escapes") << kLists + marker + "x\ta\\tb\\\\c\\nd\\re\\z\t\r\n#end 1\r\n"
                             << State::Read << QStringList { "x|a\tb\\c\nd\re\x1A|" } << true;
    QTest::newRow("Windows-1252 text") << kLists + marker + "walk\tB\xE4" + "cker\r\n#end 1\r\n"
                                       << State::Read << QStringList { "walk|Bäcker" } << true;
    QTest::newRow("UTF-8 file") << "\xEF\xBB\xBF" + kLists + marker + "walk\t\xC5\x81\xC3\xB3"
            + "d\xC5\xBA\r\n#end 1\r\n"
                                << State::Read << QStringList { "walk|Łódź" } << true;
    QByteArray lfOnly = kLists + marker + tick + "#end 1\r\n";
    lfOnly.replace("\r\n", "\n");
    QTest::newRow("LF line ends") << lfOnly << State::Read << tickRecord << true;
    QTest::newRow("last line without its end")
        << kLists + marker + tick + "#end 1" << State::Read << tickRecord << true;
    QTest::newRow("lines after the end: read, not written back") << kLists + marker + tick + "#end 1\r\nnoch was\r\n"
                                                                 << State::Read << tickRecord << false;
    QTest::newRow("foreign lines after the lists") << kLists + "Notiz\r\n" + marker + tick + "#end 1\r\n"
                                                   << State::Absent << QStringList() << false;
    QTest::newRow("cut short: no end") << kLists + marker + tick << State::Damaged << QStringList() << false;
    QTest::newRow("a record lost") << kLists + marker + tick + "#end 2\r\n" << State::Damaged << QStringList() << false;
    QTest::newRow("end count not a number") << kLists + marker + tick + "#end eins\r\n"
                                            << State::Damaged << QStringList() << false;
    QTest::newRow("unknown escape") << kLists + marker + "x\ta\\qb\r\n#end 1\r\n"
                                    << State::Damaged << QStringList() << false;
    QTest::newRow("backslash at the end") << kLists + marker + "x\ta\\\r\n#end 1\r\n"
                                          << State::Damaged << QStringList() << false;
    QTest::newRow("empty line") << kLists + marker + "\r\n#end 1\r\n" << State::Damaged << QStringList() << false;
    QTest::newRow("kind in capitals") << kLists + marker + "Tick\t1\r\n#end 1\r\n"
                                      << State::Damaged << QStringList() << false;
    QTest::newRow("byte 26 inside") << kLists + marker + "x\ta\x1A" + "b\r\n#end 1\r\n"
                                    << State::Damaged << QStringList() << false;
    QTest::newRow("version not a number") << kLists + "#korbana-extras eins\r\n#end 0\r\n"
                                          << State::Damaged << QStringList() << false;
    QTest::newRow("version 0") << kLists + "#korbana-extras 0\r\n#end 0\r\n"
                               << State::Damaged << QStringList() << false;
    QTest::newRow("newer version") << kLists + "#korbana-extras 2\r\nneu\tx\r\n#end 1\r\n"
                                   << State::Newer << QStringList() << false;
    QTest::newRow("lists cut short: no block") << QByteArray("1\r\nAldi\r\nx\r\n") + marker + "#end 0\r\n"
                                               << State::Absent << QStringList() << false;
}

void TestListExtras::reading()
{
    QFETCH(QByteArray, file);
    QFETCH(ListExtras::State, state);
    QFETCH(QStringList, records);
    QFETCH(bool, complete);

    ThreeLists lists;
    ListExtras extras;
    ListSet set = lists.set();
    set.extras = &extras;
    const ListContent content = parseListContent(file);
    QCOMPARE(content.facts.extras, state);
    QCOMPARE(content.facts.complete, complete);
    const ReadResult result = parseListFile(file, set);
    QCOMPARE(recordTexts(extras), records);
    // Whatever the block holds, the lists read as they would without it.
    if (result == ReadResult::Ok) {
        QCOMPARE(lists.stores.count(), 1);
        QCOMPARE(lists.shopping.count(), 1);
        QCOMPARE(lists.shopping.subItem(0, 2), QStringLiteral("0,99 EUR"));
    }
}

void TestListExtras::writing_data()
{
    QTest::addColumn<QList<ListExtras::Record>>("records");
    QTest::addColumn<QByteArray>("block");

    QTest::newRow("none: the lists alone") << QList<ListExtras::Record>() << QByteArray();
    QTest::newRow("Windows-1252") << QList { record("tick", { "1", "2", "Milch", "Aldi", "0,99 EUR" }),
        record("walk", { "B\u00e4cker", "Brot" }) }
                                  << QByteArray("#korbana-extras 1\r\ntick\t1\t2\tMilch\tAldi\t0,99 EUR\r\n"
                                                "walk\tB\xE4"
                                                "cker\tBrot\r\n#end 2\r\n");
    QTest::newRow("characters that would end a field") << QList { record("x", { "a\tb", "c\\d\r\n\x1A", "" }) }
                                                       << QByteArray("#korbana-extras 1\r\nx\ta\\tb\tc\\\\d\\r\\n\\z\t"
                                                                     "\r\n#end 1\r\n");
}

void TestListExtras::writing()
{
    QFETCH(QList<ListExtras::Record>, records);
    QFETCH(QByteArray, block);

    ThreeLists lists;
    lists.stores.append("Aldi");
    lists.products.append("Milch", { "Aldi", "0,99 EUR" });
    lists.shopping.append("2", { "Milch", "Aldi", "0,99 EUR" });
    ListExtras extras;
    for (const ListExtras::Record& r : records)
        extras.setRecords(r.kind, extras.records(r.kind) << r);
    ListSet set = lists.set();
    set.extras = &extras;
    const QByteArray bytes = encodeListFile(set);
    QCOMPARE(bytes, kLists + block);

    ListExtras back;
    ThreeLists loaded;
    ListSet loadedSet = loaded.set();
    loadedSet.extras = &back;
    QCOMPARE(parseListFile(bytes, loadedSet), ReadResult::Ok);
    QCOMPARE(back, extras);
    QVERIFY(parseListContent(bytes).facts.complete);

    // A text that Windows-1252 cannot hold turns the whole file, block included, into UTF-8.
    extras.setRecords("walk", { record("walk", { "\u0141\u00f3d\u017a" }) });
    const QByteArray utf8 = encodeListFile(set);
    QVERIFY(utf8.startsWith("\xEF\xBB\xBF" + kLists));
    QVERIFY(utf8.contains("walk\t\xC5\x81\xC3\xB3"
                          "d\xC5\xBA\r\n"));
    QCOMPARE(parseListFile(utf8, loadedSet), ReadResult::Ok);
    QCOMPARE(back, extras);
}

void TestListExtras::setRecordsKeepsOtherKinds()
{
    ListExtras extras;
    extras.setRecords("a", { record("", { "1" }) });
    extras.setRecords("b", { record("", { "2" }), record("", { "3" }) });
    extras.setRecords("c", { record("", { "4" }) });
    extras.setRecords("b", { record("", { "5" }) });
    QCOMPARE(recordTexts(extras), (QStringList { "a|1", "b|5", "c|4" }));
    extras.setRecords("a", {});
    QCOMPARE(recordTexts(extras), (QStringList { "b|5", "c|4" }));
    QCOMPARE(extras.records(u"c").size(), 1);
    QVERIFY(ListExtras::isValidKind(u"version-2"));
    QVERIFY(!ListExtras::isValidKind(u"Tick"));
    QVERIFY(!ListExtras::isValidKind(u""));
}

void TestListExtras::documentKeepsBlockAndUndoesChanges()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("woche.kbl");
    const QByteArray file = kLists + "#korbana-extras 1\r\nzukunft\t\\\\x\r\n#end 1\r\n";
    QVERIFY(writeBytes(path, file));

    ListDocument document;
    QCOMPARE(document.open(path), ReadResult::Ok);
    QCOMPARE(recordTexts(document.extras()), QStringList { "zukunft|\\x" });
    QVERIFY(!document.needsBackup(path));
    QCOMPARE(document.save(path), WriteResult::Ok);
    QCOMPARE(readBytes(path), file);

    QSignalSpy changed(&document, &ListDocument::extrasChanged);
    document.changeExtraRecords("tick", { record("tick", { "1", "2", "Milch", "Aldi", "0,99 EUR" }) }, "Abhaken");
    QCOMPARE(changed.size(), 1);
    QVERIFY(document.isModified());
    QCOMPARE(document.history()->undoText(), QStringLiteral("Abhaken"));
    QCOMPARE(document.extras().records(u"tick").size(), 1);
    document.undo();
    QVERIFY(!document.isModified());
    QCOMPARE(recordTexts(document.extras()), QStringList { "zukunft|\\x" });
    document.redo();
    QCOMPARE(document.save(path), WriteResult::Ok);
    QCOMPARE(readBytes(path),
        kLists + "#korbana-extras 1\r\nzukunft\t\\\\x\r\ntick\t1\t2\tMilch\tAldi\t0,99 EUR\r\n#end 2\r\n");

    // Set by a save itself: no step, no change of the modified state.
    document.setExtraRecordsQuietly("version", { record("version", { "abc" }) });
    QVERIFY(!document.isModified());
    QCOMPARE(document.history()->count(), 1);

    document.clear();
    QVERIFY(document.extras().isEmpty());
}

void TestListExtras::damagedBlockIsReportedAndKeptAside()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("woche.kbl");
    QVERIFY(writeBytes(path, kLists + "#korbana-extras 1\r\ntick\t1\r\n#end 7\r\n"));

    ListDocument document;
    QSignalSpy read(&document, &ListDocument::extrasRead);
    QCOMPARE(document.open(path), ReadResult::Ok);
    QCOMPARE(read.size(), 1);
    QCOMPARE(read.first().first().value<ListExtras::State>(), ListExtras::State::Damaged);
    QVERIFY(document.extras().isEmpty());
    QCOMPARE(document.shopping()->count(), 1);
    // The file's own bytes are kept before a save drops what could not be read.
    QVERIFY(document.needsBackup(path));
}

// The shopping entries by their quantity and name, "*" before a ticked one.
QStringList tickedRows(const ListDocument& document)
{
    QStringList result;
    for (int row = 0; row < document.shopping()->count(); ++row)
        result << (document.isTicked(row) ? "*" : "") + document.shopping()->caption(row) + ' '
                + document.shopping()->subItem(row, 0);
    return result;
}

void fillWeek(ListDocument& document)
{
    ListModel* shopping = document.shopping();
    shopping->append("2", { "Milch", "Aldi", "0,99 EUR" });
    shopping->append("1", { "Brot", "Bäcker", "2,50 EUR" });
    shopping->append("2", { "Milch", "Aldi", "0,99 EUR" });
    shopping->append("1", { "Käse", "Aldi", "3,00 EUR" });
}

void TestListExtras::ticks_data()
{
    QTest::addColumn<QList<int>>("tick");
    QTest::addColumn<QList<int>>("untick");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("one") << QList { 1 } << QList<int>() << QStringList { "2 Milch", "*1 Brot", "2 Milch", "1 Käse" }
                         << QStringList { "tick|1|1|Brot|Bäcker|2,50 EUR" };
    // Two equal entries are told apart by their occurrence: only the second is ticked.
    QTest::newRow("second of two equal") << QList { 2 } << QList<int>()
                                         << QStringList { "2 Milch", "1 Brot", "*2 Milch", "1 Käse" }
                                         << QStringList { "tick|2|2|Milch|Aldi|0,99 EUR" };
    QTest::newRow("both equal, then the first again")
        << QList { 0, 2 } << QList { 0 } << QStringList { "2 Milch", "1 Brot", "*2 Milch", "1 Käse" }
        << QStringList { "tick|2|2|Milch|Aldi|0,99 EUR" };
    QTest::newRow("ticked twice is one tick")
        << QList { 3, 3 } << QList<int>() << QStringList { "2 Milch", "1 Brot", "2 Milch", "*1 Käse" }
        << QStringList { "tick|1|1|Käse|Aldi|3,00 EUR" };
    QTest::newRow("no such row") << QList { 4, -1 } << QList { 7 }
                                 << QStringList { "2 Milch", "1 Brot", "2 Milch", "1 Käse" } << QStringList();
}

void TestListExtras::ticks()
{
    QFETCH(QList<int>, tick);
    QFETCH(QList<int>, untick);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, records);

    QTemporaryDir dir;
    const QString path = dir.filePath("woche.kbl");
    ListDocument document;
    fillWeek(document);
    QCOMPARE(document.save(path), WriteResult::Ok);
    const QStringList none = tickedRows(document);

    QSignalSpy changed(&document, &ListDocument::ticksChanged);
    for (const int row : tick)
        document.setTicked(row, true);
    for (const int row : untick)
        document.setTicked(row, false);
    QCOMPARE(tickedRows(document), shown);
    QCOMPARE(recordTexts(document.extras()), records);
    QCOMPARE(document.tickedCount(), int(shown.filter("*").size()));
    QCOMPARE(changed.isEmpty(), records.isEmpty());

    // Through the model, as a click on the tick box sets it: struck through, and back by undo.
    ListModel* shopping = document.shopping();
    const QModelIndex first = shopping->index(0, 0);
    QVERIFY(shopping->flags(first) & Qt::ItemIsUserCheckable);
    QVERIFY(shopping->setData(first, Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(shopping->data(first, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QVERIFY(shopping->data(shopping->index(0, 2), Qt::FontRole).value<QFont>().strikeOut());
    document.undo();
    QCOMPARE(tickedRows(document), shown);
    QVERIFY(!shopping->data(shopping->index(0, 2), Qt::FontRole).isValid());

    // Saved and read again, sorted: each tick stays with its entry.
    QCOMPARE(document.save(path), WriteResult::Ok);
    ListDocument reread;
    QCOMPARE(reread.open(path), ReadResult::Ok);
    QCOMPARE(tickedRows(reread), shown);
    reread.shopping()->applyOrder({ 3, 2, 1, 0 });
    QStringList reversed = shown;
    std::reverse(reversed.begin(), reversed.end());
    // Equal entries are one and the same to a tick: the first of them in the new order carries the mark.
    if (QTest::currentDataTag() == QByteArray("second of two equal")
        || QTest::currentDataTag() == QByteArray("both equal, then the first again"))
        std::swap(reversed[1], reversed[3]);
    QCOMPARE(tickedRows(reread), reversed);

    while (document.history()->canUndo())
        document.undo();
    QCOMPARE(tickedRows(document), none);
}

void TestListExtras::removeTickedIsOneStep()
{
    ListDocument document;
    fillWeek(document);
    QCOMPARE(document.removeTicked(), 0);
    QCOMPARE(document.history()->count(), 0);
    document.setTicked(1, true);
    document.setTicked(2, true);
    const int steps = document.history()->count();
    QCOMPARE(document.removeTicked(), 2);
    QCOMPARE(document.history()->count(), steps + 1);
    QCOMPARE(document.history()->undoText(), QStringLiteral("Erledigte entfernen"));
    QCOMPARE(tickedRows(document), (QStringList { "2 Milch", "1 Käse" }));
    QVERIFY(document.extras().records(u"tick").isEmpty());
    document.undo();
    QCOMPARE(tickedRows(document), (QStringList { "2 Milch", "*1 Brot", "*2 Milch", "1 Käse" }));
    document.redo();
    QCOMPARE(document.shopping()->count(), 2);
    QCOMPARE(document.tickedCount(), 0);
}

void TestListExtras::mergeKeepsBothSides()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("woche.kbl");
    ListDocument ours;
    fillWeek(ours);
    ours.changeExtraRecords("walk", { record("walk", { "Aldi", "Milch", "Käse" }) }, "Laufweg");
    QCOMPARE(ours.save(path), WriteResult::Ok);

    // Another window ticks Brot, walks Aldi the other way round and Bäcker at all, and saves.
    ListDocument theirs;
    QCOMPARE(theirs.open(path), ReadResult::Ok);
    theirs.setTicked(1, true);
    theirs.changeExtraRecords(
        "walk", { record("walk", { "Aldi", "Käse", "Milch" }), record("walk", { "Bäcker", "Brot" }) }, "Laufweg");
    theirs.changeExtraRecords("zukunft", { record("zukunft", { "x" }) }, "Neu");
    QCOMPARE(theirs.save(path), WriteResult::Ok);

    ours.setTicked(3, true);
    QVERIFY(ours.mergeFile(path).has_value());
    QCOMPARE(tickedRows(ours), (QStringList { "2 Milch", "*1 Brot", "2 Milch", "*1 Käse" }));
    // Where both sides walk the same shop, this side's walk stands.
    QCOMPARE(recordTexts(ours.extras()).filter("walk|"), (QStringList { "walk|Aldi|Milch|Käse", "walk|Bäcker|Brot" }));
    QVERIFY(recordTexts(ours.extras()).contains("zukunft|x"));
    // The merge is one step: undone, this side's extras alone.
    ours.undo();
    QCOMPARE(tickedRows(ours), (QStringList { "2 Milch", "1 Brot", "2 Milch", "*1 Käse" }));
}

void TestListExtras::reloadTakesTheFilesRecords()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("woche.kbl");
    ListDocument ours;
    fillWeek(ours);
    QCOMPARE(ours.save(path), WriteResult::Ok);
    ListDocument theirs;
    QCOMPARE(theirs.open(path), ReadResult::Ok);
    theirs.setTicked(3, true);
    QCOMPARE(theirs.save(path), WriteResult::Ok);

    QCOMPARE(ours.reload(), ReadResult::Ok);
    QCOMPARE(tickedRows(ours), (QStringList { "2 Milch", "1 Brot", "2 Milch", "*1 Käse" }));
    ours.undo();
    QCOMPARE(ours.tickedCount(), 0);
}

QTEST_GUILESS_MAIN(TestListExtras)
#include "tst_listextras.moc"
