// The document without a window: open, save, reload, changes made elsewhere, backups, recovery copies, and what
// it tells by its signals.
#include "MainWindowFixture.h"
#include "SampleLists.h"
#include "document/Csv.h"
#include "document/ListDocument.h"
#include "document/RecoveryStore.h"
#include "lists/ListModel.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QUndoStack>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using korbana::ListDocument;
using korbana::ListKind;
using korbana::ReadResult;
using korbana::WriteResult;

namespace {

const QByteArray kOtherList("1\r\nAnderswo\r\n0\r\n0\r\n");

QByteArray readFile(const QString& path)
{
    return MainWindowFixture::readFile(path);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    MainWindowFixture::writeFile(path, bytes);
}

// Nothing is pending: no recovery copy on its way, no look at the file.
bool isIdle(const ListDocument& document)
{
    const QList<QTimer*> timers = document.findChildren<QTimer*>();
    return std::none_of(timers.begin(), timers.end(), [](const QTimer* timer) { return timer->isActive(); });
}

// The three lists as "shops / products / shopping entries", each row's texts joined by "|".
QString listsText(const ListDocument& document)
{
    QStringList lists;
    for (const korbana::ListModel* model : { document.stores(), document.products(), document.shopping() }) {
        QStringList rows;
        for (int row = 0; row < model->count(); ++row) {
            QStringList texts { model->caption(row) };
            for (int i = 0; i < model->subItemCount(); ++i)
                texts.append(model->subItem(row, i));
            rows.append(texts.join(u'|'));
        }
        lists.append(rows.join(u','));
    }
    return lists.join(QStringLiteral(" / "));
}

using Change = std::function<void(ListDocument&)>;

} // namespace

class TestListDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void open_data();
    void open();
    void changes_data();
    void changes();
    void addingTakesItsNaming();
    void undoneMergeAsksAgain();
    void saveAndClear();
    void changedOnDiskAndReload();
    void cutFileIsNeitherMergedNorReloaded_data();
    void cutFileIsNeitherMergedNorReloaded();
    void incompleteFileNeedsBackup();
    void recoveryCopy();
    void recoveryCopyInSlices_data();
    void recoveryCopyInSlices();
    void savedFileReadsBackWhole_data();
    void savedFileReadsBackWhole();
    void loadingStaysWithinMemory_data();
    void loadingStaysWithinMemory();
};

void TestListDocument::open_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: no file
    QTest::addColumn<bool>("nameEvenIfUnreadable");
    QTest::addColumn<bool>("readAhead");
    QTest::addColumn<ReadResult>("result");
    QTest::addColumn<int>("shopping");

    QTest::newRow("whole file") << sampleListFile() << false << false << ReadResult::Ok << 1;
    QTest::newRow("read ahead") << sampleListFile() << false << true << ReadResult::Ok << 1;
    QTest::newRow("bad format keeps what was read")
        << QByteArray("1\r\nAldi\r\nx\r\n") << false << false << ReadResult::BadFormat << 0;
    QTest::newRow("missing keeps the lists") << QByteArray() << false << false << ReadResult::CannotOpen << 2;
    QTest::newRow("missing, its recovery copy follows") << QByteArray() << true << false << ReadResult::CannotOpen << 2;
}

void TestListDocument::open()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, nameEvenIfUnreadable);
    QFETCH(bool, readAhead);
    QFETCH(ReadResult, result);
    QFETCH(int, shopping);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.kbl"));
    if (!bytes.isNull())
        writeFile(path, bytes);
    ListDocument document;
    if (readAhead) {
        document.readAhead(path);
        document.finishReadingAhead();
        // What was read ahead is what opens, however the file changed since.
        writeFile(path, kOtherList);
    }
    document.shopping()->append(QStringLiteral("1"));
    document.shopping()->append(QStringLiteral("2"));
    QVERIFY(document.isModified());
    QSignalSpy named(&document, &ListDocument::fileNameChanged);
    QSignalSpy modified(&document, &ListDocument::modifiedChanged);
    QSignalSpy count(&document, &ListDocument::shoppingCountChanged);

    QCOMPARE(document.open(path, nameEvenIfUnreadable), result);
    const bool opened = result != ReadResult::CannotOpen;
    QCOMPARE(named.size(), opened || nameEvenIfUnreadable ? 1 : 0);
    QCOMPARE(document.fileName(), opened || nameEvenIfUnreadable ? path : QString());
    QCOMPARE(document.shopping()->count(), shopping);
    QCOMPARE(count.isEmpty() ? 2 : count.last().at(0).toInt(), shopping);
    // Filling the lists is no change of the user's: the document ends unmodified with nothing pending.
    QCOMPARE(document.isModified(), !opened);
    QCOMPARE(modified.isEmpty() ? true : modified.last().at(0).toBool(), !opened);
    if (!readAhead) {
        QVERIFY(!opened || isIdle(document));
        return;
    }
    // The file changed after it was read and before it was watched: the comparison after the read tells.
    QSignalSpy changed(&document, &ListDocument::changedOnDisk);
    QVERIFY(changed.wait(5000));
    QCOMPARE(document.reload(), ReadResult::Ok);
    QCOMPARE(document.stores()->caption(0), QStringLiteral("Anderswo"));
    QVERIFY(isIdle(document));
}

void TestListDocument::changes_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("lists");
    QTest::addColumn<QString>("stepName"); // empty: no step

    const QString sample = QStringLiteral("Bäcker,Markt / Brot|Bäcker|1,99 EUR / 1|Brot|Bäcker|1,99 EUR");
    QTest::newRow("add a shop") << Change([](ListDocument& d) { QCOMPARE(d.addStore(), 2); })
                                << "Bäcker,Markt,Laden / Brot|Bäcker|1,99 EUR / 1|Brot|Bäcker|1,99 EUR"
                                << "Laden hinzufügen";
    QTest::newRow("add a product of the second shop")
        << Change([](ListDocument& d) { QCOMPARE(d.addProduct(1, QStringLiteral("0,50 EUR")), 1); })
        << "Bäcker,Markt / Brot|Bäcker|1,99 EUR,Produkt|Markt|0,50 EUR / 1|Brot|Bäcker|1,99 EUR"
        << "Produkt hinzufügen";
    QTest::newRow("put a product on the Shopping list")
        << Change([](ListDocument& d) { QCOMPARE(d.addToShoppingList(0), 1); })
        << "Bäcker,Markt / Brot|Bäcker|1,99 EUR / 1|Brot|Bäcker|1,99 EUR,1|Brot|Bäcker|1,99 EUR"
        << "Eintrag hinzufügen";
    QTest::newRow("rename") << Change([](ListDocument& d) { d.renameEntry(ListKind::Stores, 1, "Kiosk\r\n24"); })
                            << "Bäcker,Kiosk 24 / Brot|Bäcker|1,99 EUR / 1|Brot|Bäcker|1,99 EUR"
                            << "Umbenennen";
    QTest::newRow("rename to the shown caption is no step")
        << Change([](ListDocument& d) { d.renameEntry(ListKind::Stores, 1, "Markt"); }) << sample << QString();
    QTest::newRow("rename of a row not there is no step")
        << Change([](ListDocument& d) { d.renameEntry(ListKind::Shopping, 1, "2"); }) << sample << QString();
    QTest::newRow("remove") << Change([](ListDocument& d) { d.removeEntry(ListKind::Stores, 0); })
                            << "Markt / Brot|Bäcker|1,99 EUR / 1|Brot|Bäcker|1,99 EUR"
                            << "Eintrag entfernen";
    QTest::newRow("remove a row not there is no step")
        << Change([](ListDocument& d) { d.removeEntry(ListKind::Products, 1); }) << sample << QString();
    QTest::newRow("clear a list") << Change([](ListDocument& d) { d.clearList(ListKind::Products); })
                                  << "Bäcker,Markt /  / 1|Brot|Bäcker|1,99 EUR"
                                  << "Liste löschen";
    QTest::newRow("edit a product") << Change([](ListDocument& d) {
        d.editProduct(0, QStringLiteral("Vollkornbrot"), QStringLiteral("2,49 EUR"));
    }) << "Bäcker,Markt / Vollkornbrot|Bäcker|2,49 EUR / 1|Brot|Bäcker|1,99 EUR"
                                    << "Produkt bearbeiten";
    QTest::newRow("sort by a header, the same column as before turns round")
        << Change([](ListDocument& d) { d.sortByColumn(ListKind::Stores, 0); })
        << "Markt,Bäcker / Brot|Bäcker|1,99 EUR / 1|Brot|Bäcker|1,99 EUR"
        << "Sortieren";
    QTest::newRow("move to a shop") << Change([](ListDocument& d) {
        QVERIFY(d.addProduct(1, QStringLiteral("0,99 EUR")) == 1);
        d.moveToShops({ { 0, 1 } });
    }) << "Bäcker,Markt / Brot|Bäcker|1,99 EUR,Produkt|Markt|0,99 EUR / 1|Brot|Markt|0,99 EUR"
                                    << "Günstigste Läden wählen";
    QTest::newRow("import") << Change([](ListDocument& d) {
        korbana::CsvContent content;
        content.stores.push_back(d.stores()->makeEntry(QStringLiteral("Hofladen")));
        content.shopping.push_back(d.shopping()->makeEntry(QStringLiteral("3"), { QStringLiteral("Eier") }));
        QVERIFY(d.importEntries(std::move(content)));
    }) << "Bäcker,Markt,Hofladen / Brot|Bäcker|1,99 EUR / 1|Brot|Bäcker|1,99 EUR,3|Eier||"
                            << "CSV importieren";
    QTest::newRow("import of nothing is no step")
        << Change([](ListDocument& d) { QVERIFY(!d.importEntries({})); }) << sample << QString();
}

// Each change is a step of the history, made by the document alone, after the text being typed is asked for;
// undoing all of it brings back the file's lists unmodified.
void TestListDocument::changes()
{
    QFETCH(Change, change);
    QFETCH(QString, lists);
    QFETCH(QString, stepName);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.kbl"));
    writeFile(path, sampleListFile());
    ListDocument document;
    QCOMPARE(document.open(path), ReadResult::Ok);
    const QString before = listsText(document);
    // Asked before the lists change, so that a name being typed is a step of its own ahead of it.
    QStringList seenAtRequest;
    connect(&document, &ListDocument::editsWanted, this, [&] { seenAtRequest.append(listsText(document)); });
    QSignalSpy modified(&document, &ListDocument::modifiedChanged);

    change(document);
    QCOMPARE(listsText(document), lists);
    // A rename is the text typed itself.
    QCOMPARE(seenAtRequest.isEmpty(),
        QTest::currentDataTag() == QByteArrayView("rename")
            || QByteArrayView(QTest::currentDataTag()).startsWith("rename "));
    QVERIFY(seenAtRequest.isEmpty() || seenAtRequest.constFirst() == before);
    QCOMPARE(document.isModified(), !stepName.isEmpty());
    QCOMPARE(document.history()->undoText(), stepName);
    if (stepName.isEmpty())
        return;
    QCOMPARE(modified.size(), 1);
    while (document.history()->canUndo())
        document.undo();
    QCOMPARE(listsText(document), before);
    QVERIFY(!document.isModified());
    QCOMPARE(modified.size(), 2);
    while (document.history()->canRedo())
        document.redo();
    QCOMPARE(listsText(document), lists);
    QVERIFY(document.isModified());
}

void TestListDocument::addingTakesItsNaming()
{
    ListDocument document;
    const int row = document.addStore();
    document.renameEntry(ListKind::Stores, row, QStringLiteral("Markt"));
    // The name typed over the default is part of the add: one step takes both back.
    QCOMPARE(document.history()->count(), 1);
    // Renamed again once its edit box closed: a step of its own.
    document.endNaming();
    document.renameEntry(ListKind::Stores, row, QStringLiteral("Kiosk"));
    QCOMPARE(document.history()->count(), 2);
    document.undo();
    QCOMPARE(document.stores()->caption(row), QStringLiteral("Markt"));
    document.undo();
    QCOMPARE(document.stores()->count(), 0);
    QVERIFY(!document.isModified());

    // Another step between the add and the naming: the naming is its own step.
    document.redo();
    const int second = document.addStore();
    document.sortByColumn(ListKind::Stores, 0);
    document.renameEntry(ListKind::Stores, second, QStringLiteral("Aldi"));
    QCOMPARE(document.history()->count(), 4);
}

void TestListDocument::undoneMergeAsksAgain()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.kbl"));
    writeFile(path, sampleListFile());
    ListDocument document;
    QCOMPARE(document.open(path), ReadResult::Ok);
    document.addStore();
    writeFile(path, kOtherList);
    QVERIFY(document.isChangedOnDisk(path));

    QVERIFY(document.mergeFile(path));
    QVERIFY(!document.isChangedOnDisk(path));
    // Undone, the lists hold nothing of the other side's change: the save must ask again before it overwrites it.
    document.undo();
    QVERIFY(document.isChangedOnDisk(path));
    QCOMPARE(document.stores()->count(), 3);
    document.redo();
    QVERIFY(!document.isChangedOnDisk(path));
    QVERIFY(document.isModified());
}

void TestListDocument::saveAndClear()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.kbl"));
    ListDocument document;
    document.stores()->append(QStringLiteral("Markt"));
    QSignalSpy named(&document, &ListDocument::fileNameChanged);
    QSignalSpy modified(&document, &ListDocument::modifiedChanged);

    // A folder cannot be written: the document keeps its name and its change.
    QCOMPARE(document.save(dir.path()), WriteResult::CannotCreate);
    QVERIFY(named.isEmpty() && modified.isEmpty());
    QVERIFY(document.isModified());

    QCOMPARE(document.save(path), WriteResult::Ok);
    QCOMPARE(readFile(path), korbana::encodeListFile(document.lists()));
    QCOMPARE(named.takeFirst().at(0).toString(), path);
    QCOMPARE(modified.takeFirst().at(0).toBool(), false);
    QVERIFY(isIdle(document));

    document.clear();
    QCOMPARE(named.takeFirst().at(0).toString(), QString());
    QCOMPARE(document.stores()->count(), 0);
    QVERIFY(!document.isModified());
    QVERIFY(!document.isChangedOnDisk(path));

    // A name whose file is not there yet: empty lists under it, saved without a question.
    const QString fresh = dir.filePath(QStringLiteral("neu.kbl"));
    document.stores()->append(QStringLiteral("Alt"));
    document.startNamed(fresh);
    QCOMPARE(named.last().at(0).toString(), fresh);
    QCOMPARE(document.stores()->count(), 0);
    QVERIFY(!document.isModified() && !document.isChangedOnDisk(fresh) && !document.needsBackup(fresh));
}

void TestListDocument::changedOnDiskAndReload()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.kbl"));
    writeFile(path, sampleListFile());
    ListDocument document;
    QCOMPARE(document.open(path), ReadResult::Ok);
    QSignalSpy changed(&document, &ListDocument::changedOnDisk);

    // Replaced by rename, as synchronising programs do: the watch follows the new file.
    writeFile(path + QStringLiteral(".tmp"), kOtherList);
    QVERIFY(std::rename(QFile::encodeName(path + ".tmp").constData(), QFile::encodeName(path).constData()) == 0);
    QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, 5000);
    QVERIFY(document.isChangedOnDisk(path));
    QVERIFY(!document.isChangedOnDisk(dir.filePath(QStringLiteral("andere.kbl"))));

    // Changed here too: nothing is offered, the save asks instead.
    document.stores()->append(QStringLiteral("Hier"));
    document.checkFile();
    QCOMPARE(changed.size(), 1);

    QCOMPARE(document.reload(), ReadResult::Ok);
    QCOMPARE(document.stores()->caption(0), QStringLiteral("Anderswo"));
    QVERIFY(!document.isModified());
    QVERIFY(!document.isChangedOnDisk(path));
    QVERIFY(isIdle(document));

    // A file that does not read keeps the lists, and the save still asks before it overwrites it.
    writeFile(path, "2\r\nNur\r\n");
    QCOMPARE(document.reload(), ReadResult::BadFormat);
    QCOMPARE(document.stores()->count(), 1);
    QVERIFY(document.isChangedOnDisk(path));
}

void TestListDocument::cutFileIsNeitherMergedNorReloaded_data()
{
    // The file as another computer saved it, arriving whole or cut short (a sync still writing, a full disk).
    const QByteArray theirs("1\r\nAnderswo\r\n1\r\nMilch\r\nAnderswo\r\n0,99 EUR\r\n0\r\n");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("whole");
    QTest::newRow("whole") << theirs << true;
    QTest::newRow("LF only, whole") << QByteArray(theirs).replace("\r\n", "\n") << true;
    QTest::newRow("last line without its end") << theirs.chopped(2) << false;
    QTest::newRow("cut inside the price") << theirs.left(theirs.indexOf(" EUR")) + "\r\n0" << false;
    QTest::newRow("cut before the price") << theirs.left(theirs.indexOf("0,99")) << false;
    QTest::newRow("cut after a line end inside an entry")
        << QByteArray("1\r\nAnderswo\r\n0\r\n1\r\n2\r\nMilch\r\n") << false;
    QTest::newRow("byte 26 inside the lists") << QByteArray(theirs).insert(theirs.indexOf("Milch"), '\x1A') << false;
}

void TestListDocument::cutFileIsNeitherMergedNorReloaded()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, whole);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.kbl"));
    writeFile(path, sampleListFile());
    for (const bool changedHere : { true, false }) {
        ListDocument document;
        QCOMPARE(document.open(path), ReadResult::Ok);
        if (changedHere)
            document.stores()->append(QStringLiteral("Hier"));
        const int stores = document.stores()->count();
        const int products = document.products()->count();
        writeFile(path, bytes);
        if (changedHere)
            QCOMPARE(document.mergeFile(path).has_value(), whole);
        else
            QCOMPARE(document.reload() == ReadResult::Ok, whole);
        // Nothing of a cut file is taken for the other side's removal: the lists stay as they were.
        if (!whole) {
            QCOMPARE(document.stores()->count(), stores);
            QCOMPARE(document.products()->count(), products);
            QCOMPARE(document.isModified(), changedHere);
            QVERIFY(document.isChangedOnDisk(path));
        } else {
            QVERIFY(document.products()->count() > 0);
            QCOMPARE(
                document.products()->entryAt(document.products()->count() - 1).subItems[1], QStringLiteral("0,99 EUR"));
        }
        writeFile(path, sampleListFile());
    }
}

void TestListDocument::incompleteFileNeedsBackup()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.kbl"));
    // Holds a CR, so its lone LFs stay inside one text and the counts do not add up.
    const QByteArray damaged("2\nAldi\nLidl\n0\n0\r\n");
    writeFile(path, damaged);
    writeFile(path + QStringLiteral(".bak"), "alt");
    ListDocument document;
    QCOMPARE(document.open(path), ReadResult::BadFormat);
    QVERIFY(document.needsBackup(path));
    QVERIFY(!document.needsBackup(dir.filePath(QStringLiteral("andere.kbl"))));

    // Never over an earlier backup.
    QCOMPARE(document.keepBackup(), std::optional<QString>(path + QStringLiteral(".bak2")));
    QCOMPARE(readFile(path + QStringLiteral(".bak2")), damaged);
    QCOMPARE(readFile(path + QStringLiteral(".bak")), QByteArray("alt"));
    QCOMPARE(document.save(path), WriteResult::Ok);
    QVERIFY(!document.needsBackup(path));
}

void TestListDocument::recoveryCopy()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.kbl"));
    writeFile(path, sampleListFile());
    {
        ListDocument document;
        document.open(path);
        document.stores()->append(QStringLiteral("Nach dem Absturz"));
        // The recovery timer starts the copy; a document that goes waits for the copy's write.
        QTRY_VERIFY_WITH_TIMEOUT(isIdle(document), 10000);
    }
    const std::vector<korbana::LeftCopy> left = korbana::RecoveryStore::leftCopies(path);
    QCOMPARE(left.size(), size_t(1));
    const std::optional<QByteArray> copy = korbana::RecoveryStore::read(left.front());
    QVERIFY(copy);
    QVERIFY(QFile::remove(path));

    ListDocument document;
    QCOMPARE(document.open(path, true), ReadResult::CannotOpen);
    QCOMPARE(document.fileName(), path);
    QSignalSpy modified(&document, &ListDocument::modifiedChanged);
    document.applyRecoveryCopy(left.front(), *copy);
    QCOMPARE(document.stores()->caption(2), QStringLiteral("Nach dem Absturz"));
    QCOMPARE(modified.size(), 1);
    QVERIFY(document.isModified());
    // One step of the history: undone, the lists are those before, and still unsaved.
    document.undo();
    QCOMPARE(document.stores()->count(), 0);
    QVERIFY(document.isModified());
    document.redo();
    QCOMPARE(document.stores()->caption(2), QStringLiteral("Nach dem Absturz"));
    // The next save goes to the file without a question and ends the copy.
    QVERIFY(!document.isChangedOnDisk(path));
    QCOMPARE(document.save(path), WriteResult::Ok);
    QVERIFY(!QFile::exists(left.front().copyPath));

    // A copy that cannot be written is reported, until one can be written again.
    QSignalSpy failing(&document, &ListDocument::recoveryFailingChanged);
    const QString folder = korbana::RecoveryStore::folder();
    korbana::RecoveryStore::setFolderOverride(path + QStringLiteral("/recovery"));
    for (const bool blocked : { true, true, false }) {
        if (!blocked)
            korbana::RecoveryStore::setFolderOverride(folder);
        document.stores()->append(QStringLiteral("Noch eins"));
        document.writeRecoveryCopy();
        document.waitForRecoveryCopy();
        QTRY_COMPARE(document.isRecoveryFailing(), blocked);
    }
    QCOMPARE(failing.size(), 2);

    QVERIFY(document.save(path) == WriteResult::Ok);

    // A document without a name keeps a copy too. While its owner runs, no other start takes it.
    {
        ListDocument unnamed;
        unnamed.stores()->append(QStringLiteral("Ohne Namen"));
        unnamed.writeRecoveryCopy();
        unnamed.waitForRecoveryCopy();
        QVERIFY(QFile::exists(unnamed.recoveryCopyPath()));
        QVERIFY(korbana::RecoveryStore::leftCopies().empty());
    }
    const std::vector<korbana::LeftCopy> unnamed = korbana::RecoveryStore::leftCopies();
    QCOMPARE(unnamed.size(), size_t(1));
    QCOMPARE(unnamed.front().documentPath, QString());
    QVERIFY(QFile::remove(unnamed.front().copyPath));
}

void TestListDocument::recoveryCopyInSlices_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("midway");
    QTest::newRow("one slice") << 10 << QString();
    QTest::newRow("several slices") << 120000 << QString();
    QTest::newRow("changed between slices") << 120000 << "change";
    QTest::newRow("saved between slices") << 120000 << "save";
    // Found in the last slice, after the others went to the file in Windows-1252: the copy starts again in UTF-8.
    QTest::newRow("text beyond Windows-1252 at the end") << 120000 << "utf8";
}

void TestListDocument::recoveryCopyInSlices()
{
    QFETCH(int, rows);
    QFETCH(QString, midway);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("korbana.kbl"));
    writeFile(path, sampleListFile());
    ListDocument document;
    document.open(path);
    const QString copy = document.recoveryCopyPath();
    const int products = document.products()->count() + rows;
    document.products()->appendAll(std::vector<Entry>(static_cast<size_t>(rows), Entry { QStringLiteral("Mehl"), {} }));
    const QString lastName = midway == "utf8" ? QStringLiteral("Łódź-Mehl") : QStringLiteral("Mehl");
    document.products()->setCaption(products - 1, lastName);
    document.writeRecoveryCopy();
    QCoreApplication::processEvents();
    if (midway == "change")
        document.stores()->append(QStringLiteral("Zwischendurch"));
    if (midway == "save")
        QCOMPARE(document.save(path), WriteResult::Ok);
    document.waitForRecoveryCopy();
    if (midway == "save") {
        // A copy begun before the save must not outlive it.
        QVERIFY(!QFile::exists(copy));
        return;
    }
    if (midway == "change") {
        // The half-made copy was given up; the next one holds the change.
        QVERIFY(!QFile::exists(copy));
        document.writeRecoveryCopy();
        document.waitForRecoveryCopy();
    }
    sample::Lists recovered;
    QCOMPARE(korbana::parseListFile(readFile(copy), recovered.set()), korbana::ReadResult::Ok);
    QCOMPARE(recovered.products->count(), products);
    QCOMPARE(recovered.products->caption(products - 1), lastName);
    QCOMPARE(recovered.stores->caption(recovered.stores->count() - 1) == "Zwischendurch", midway == "change");
    document.discardRecoveryCopy();
}

void TestListDocument::savedFileReadsBackWhole_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty lists") << 0 << QString();
    QTest::newRow("Windows-1252") << 3 << QStringLiteral("Käse für 2 €");
    QTest::newRow("UTF-8, several blocks") << 60000 << QStringLiteral("Grüner Tee 緑茶");
}

void TestListDocument::savedFileReadsBackWhole()
{
    QFETCH(int, entries);
    QFETCH(QString, text);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("liste.kbl"));
    sample::Lists lists;
    for (int i = 0; i < entries; ++i)
        lists.products->append(text + QString::number(i), { QStringLiteral("Markt"), QStringLiteral("1,99") });
    QByteArray written;
    QCOMPARE(korbana::writeListFile(path, lists.set(), &written), korbana::WriteResult::Ok);

    // The hash of what was written, of the file, and of what was read agree, however the bytes came in pieces.
    const korbana::ListContent read = korbana::readListContent(path);
    QCOMPARE(read.result, korbana::ReadResult::Ok);
    QVERIFY(read.facts.complete);
    QCOMPARE(read.facts.contentHash, written);
    QCOMPARE(korbana::ContentHash::ofFile(path), written);
    QCOMPARE(korbana::ContentHash::of(readFile(path)), written);
    QVERIFY(korbana::ContentHash::of(readFile(path) + "x") != written);
}

void TestListDocument::loadingStaysWithinMemory_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("filler");

    QTest::newRow("largest count, then empty lines") << QByteArray("2147483647\r") << QByteArray("\r");
    QTest::newRow("empty products") << QByteArray("0\r\n2147483647\r") << QByteArray("\r");
    QTest::newRow("empty shopping entries, hexadecimal count")
        << QByteArray("0\r\n0\r\n$7FFFFFFF\r") << QByteArray("\r");
    QTest::newRow("one-letter shops") << QByteArray("2147483647\r") << QByteArray("a\r");
    QTest::newRow("one-letter products, LF line ends") << QByteArray("0\n2147483647\n") << QByteArray("a\nb\nc\n");
}

void TestListDocument::loadingStaysWithinMemory()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, filler);
    constexpr qsizetype kSize = 16 << 20;
    QByteArray data = head;
    data.append(filler.repeated(kSize / filler.size()));

    // In a child of its own, so that its peak memory can be read alone.
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        rusage before {};
        ::getrusage(RUSAGE_SELF, &before);
        ListModel stores({ "Name" });
        ListModel products({ "Name", "Laden", "Preis" });
        ListModel shopping({ "Menge", "Name", "Laden", "Preis" });
        const korbana::ReadResult result = korbana::parseListFile(data, { &stores, &products, &shopping });
        rusage after {};
        ::getrusage(RUSAGE_SELF, &after);
        const long grownKiB = after.ru_maxrss - before.ru_maxrss;
        const bool empty = stores.count() == 0 && products.count() == 0 && shopping.count() == 0;
#if defined(__SANITIZE_ADDRESS__)
        const long allowedKiB = LONG_MAX; // the sanitizer's own bookkeeping grows with every allocation
#else
        const long allowedKiB = (5 * kSize + (2 << 20)) / 1024; // and the reader's own buffers
#endif
        ::_exit(result == korbana::ReadResult::BadFormat && empty && grownKiB < allowedKiB ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
}

QTEST_MAIN(TestListDocument)
#include "tst_listdocument.moc"
