// Never lose a list: changes made to the file elsewhere, files that did not load completely, recovery after a
// crash, durable saves, hostile files.
#include "FaultTools.h"
#include "MainWindowFixture.h"
#include "WindowWidgets.h"
#include "document/Csv.h"
#include "document/DurableFile.h"
#include "document/KeptVersions.h"
#include "document/ListFile.h"
#include "document/RecoveryStore.h"
#include "lists/ListModel.h"
#include "lists/ListView.h"
#include "settings/SettingsStore.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScopeGuard>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

using namespace korbana;

namespace {

const QString kChangedTitle = QStringLiteral("Datei geändert");
const QString kRecoverTitle = QStringLiteral("Wiederherstellen");
const QByteArray kOtherList("1\r\nAnderswo\r\n0\r\n0\r\n");

QStringList titles(const ScriptedDialogs& dialogs)
{
    QStringList result;
    for (const ScriptedDialogs::Message& message : dialogs.messages)
        result.append(message.title);
    return result;
}

// The window over korbana.kbl with the sample lists, past its start.
MainWindow& startOnSample(MainWindowFixture& f)
{
    const QByteArray sample = sampleListFile();
    MainWindow& form = f.start(&sample);
    f.dialogs.messages.clear();
    return form;
}

} // namespace

class TestDataSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changedElsewhereBeforeSave_data();
    void changedElsewhereBeforeSave();
    void saveAsElsewhereNeverAsks();
    void conflictCopies_data();
    void conflictCopies();
    void foreignConflictCopiesSetAsideOnce_data();
    void foreignConflictCopiesSetAsideOnce();
    void reloadOffer_data();
    void reloadOffer();
    void mergeBarCountsConflicts_data();
    void mergeBarCountsConflicts();
    void incompleteFileIsKept_data();
    void incompleteFileIsKept();
    void failedBackupStopsTheSave();
    void recoveryCopy_data();
    void recoveryCopy();
    void recoveryCopyGoesWithSaveOrNo();
    void failedDiskSyncFailsTheSave();
    void nonRegularTargetsAreRefused_data();
    void nonRegularTargetsAreRefused();
    void settingsPipeNeitherHangsNorIsReplaced();
    void staleSaveTemporariesAreRemoved_data();
    void staleSaveTemporariesAreRemoved();
    void paneWidthAtIntegerLimit();
    void missingListOnCommandLineStartsEmpty();
    void listOpenInAnotherWindow_data();
    void listOpenInAnotherWindow();
};

namespace {
QMessageBox::StandardButton overwriteAnswer()
{
    return QMessageBox::Save; // "Überschreiben"
}
} // namespace

void TestDataSafety::changedElsewhereBeforeSave_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("written");
    // The stores afterwards, when the answer was to merge.
    QTest::addColumn<QStringList>("merged");

    const auto cancel = QMessageBox::Cancel;
    const auto overwrite = QMessageBox::Save; // "Überschreiben"
    const auto merge = QMessageBox::Yes; // "Zusammenführen"
    QTest::newRow("rewritten, Abbrechen keeps it") << "rewrite" << cancel << true << false << QStringList();
    QTest::newRow("rewritten, Überschreiben overwrites") << "rewrite" << overwrite << true << true << QStringList();
    QTest::newRow("rewritten, Zusammenführen keeps both sides' entries")
        << "rewrite" << merge << true << false << QStringList { "Neu hier", "Anderswo" };
    QTest::newRow("replaced by rename, merged")
        << "rename" << merge << true << false << QStringList { "Bäcker", "Kiosk", "Neu hier" };
    QTest::newRow("replaced by rename") << "rename" << cancel << true << false << QStringList();
    QTest::newRow("same bytes touched") << "touch" << cancel << false << true << QStringList();
    QTest::newRow("deleted is simply written") << "delete" << cancel << false << true << QStringList();
    QTest::newRow("unchanged") << "none" << cancel << false << true << QStringList();
}

void TestDataSafety::changedElsewhereBeforeSave()
{
    QFETCH(QString, change);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, asked);
    QFETCH(bool, written);
    QFETCH(QStringList, merged);

    MainWindowFixture f;
    MainWindow& form = startOnSample(f);
    const QString path = f.path(QStringLiteral("korbana.kbl"));
    form.stores()->append(QStringLiteral("Neu hier"));
    QByteArray onDisk = sampleListFile();
    if (change == QLatin1String("rewrite")) {
        onDisk = kOtherList;
        f.writeFile(path, onDisk);
    } else if (change == QLatin1String("rename")) {
        onDisk = sampleListFile().replace("Markt", "Kiosk");
        f.writeFile(path + QStringLiteral(".neu"), onDisk);
        QVERIFY(::rename(QFile::encodeName(path + ".neu").constData(), QFile::encodeName(path).constData()) == 0);
    } else if (change == QLatin1String("touch")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    } else if (change == QLatin1String("delete")) {
        QVERIFY(QFile::remove(path));
    }

    f.dialogs.answers = { answer };
    QCOMPARE(form.saveFile(path), written);
    QCOMPARE(titles(f.dialogs).contains(kChangedTitle), asked);
    if (asked) {
        const ScriptedDialogs::Message& question = f.dialogs.messages.constFirst();
        QVERIFY(question.text.startsWith(
            "Die Datei wurde seit dem letzten Öffnen oder Speichern von einem anderen Programm geändert."));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::Save | QMessageBox::Cancel);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);
    }
    if (!merged.isEmpty()) {
        // Merged as an unsaved change, nothing written; the merged file is the base now: the save asks no more.
        QStringList stores;
        for (int row = 0; row < form.stores()->count(); ++row)
            stores.append(form.stores()->caption(row));
        stores.sort();
        merged.sort();
        QCOMPARE(stores, merged);
        QVERIFY(form.isModified());
        // One step of the history: undone, the window's own lists are back, still unsaved.
        form.document()->undo();
        QCOMPARE(form.stores()->count(), 3);
        QCOMPARE(form.stores()->caption(2), QStringLiteral("Neu hier"));
        QVERIFY(form.isModified());
        form.document()->redo();
        f.dialogs.messages.clear();
        QVERIFY(form.saveFile(path));
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(f.readFile(path).contains("Neu hier"));
        return;
    }
    if (written)
        QVERIFY(f.readFile(path).contains("Neu hier"));
    else
        QCOMPARE(f.readFile(path), onDisk);
    if (answer == overwriteAnswer()) {
        // "Überschreiben" keeps the replaced version, says where, and "Frühere Fassungen..." merges it back.
        const std::vector<KeptVersions::Kept> kept = KeptVersions().versionsOf(path);
        QCOMPARE(kept.size(), size_t(1));
        QCOMPARE(f.readFile(kept.front().path), onDisk);
        QCOMPARE(kept.front().counts, (std::array<int, 3> { 1, 0, 0 }));
        QVERIFY(QFileInfo(kept.front().path).permissions() == QFileInfo(path).permissions());
        QVERIFY(form.statusBar()->currentMessage().startsWith(
            "Die Listen sind gespeichert. Die ersetzte Fassung wurde aufbewahrt"));
        f.dialogs.execAnswer = [](QDialog* dialog) {
            const auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("keptVersionsTable"));
            return table && table->rowCount() == 1 && table->item(0, 1)->text() == "1" ? int(QDialog::Accepted)
                                                                                       : int(QDialog::Rejected);
        };
        windowWidget<QAction>(form, QStringLiteral("earlierVersionsAction"))->trigger();
        QCOMPARE(f.dialogs.executed.size(), 1);
        QCOMPARE(form.stores()->caption(form.stores()->count() - 1), QStringLiteral("Anderswo"));
        QVERIFY(form.isModified());
        // One step: undone, the saved lists are back.
        const int stores = form.stores()->count();
        form.document()->undo();
        QCOMPARE(form.stores()->count(), stores - 1);
        QVERIFY(!form.stores()->caption(stores - 2).isEmpty() && form.stores()->caption(stores - 2) != "Anderswo");
        QVERIFY(QFileInfo::exists(kept.front().path));
        QFile::remove(kept.front().path);
        return;
    }

    // After a write the file is ours again: the next save does not ask.
    f.dialogs.messages.clear();
    if (written) {
        QVERIFY(form.saveFile(path));
        QVERIFY(f.dialogs.messages.isEmpty());
    }
}

void TestDataSafety::conflictCopies_data()
{
    QTest::addColumn<bool>("atStart");
    QTest::addColumn<QMessageBox::StandardButton>("answer"); // Yes: "Zusammenführen", No: "Später"
    // Two computers saved at once, this window's with an entry of its own: the sync engine kept this one's version
    // ("kept", the copy is the other's) or the other's ("lost": this one's is the copy, the file the other's, and
    // the reload offered first is taken).
    QTest::addColumn<QString>("bothSaved");

    QTest::newRow("at start, merged") << true << QMessageBox::Yes << QString();
    QTest::newRow("at start, later") << true << QMessageBox::No << QString();
    QTest::newRow("arriving, merged") << false << QMessageBox::Yes << QString();
    QTest::newRow("both saved, kept") << false << QMessageBox::Yes << QStringLiteral("kept");
    QTest::newRow("both saved, lost") << false << QMessageBox::Yes << QStringLiteral("lost");
}

void TestDataSafety::conflictCopies()
{
    QFETCH(bool, atStart);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, bothSaved);
    const bool lost = bothSaved == QLatin1String("lost");

    MainWindowFixture f;
    const QString name = QStringLiteral("korbana.sync-conflict-20261208-112107-HNLTJCB.kbl");
    const QString copy = f.path(name);
    QByteArray copyBytes = sampleListFile().replace("Markt\r\n", "Markt\r\nVonDort\r\n");
    copyBytes[0] = '3';
    if (atStart)
        f.writeFile(copy, copyBytes);
    f.dialogs.answers = { answer };
    MainWindow& form = startOnSample(f);
    if (!bothSaved.isEmpty()) {
        form.stores()->append(QStringLiteral("VonHier"));
        QVERIFY(form.saveFile(form.documentName()));
    }
    if (lost) {
        const QString list = form.documentName();
        // As the engine does: this window's save becomes the copy, the other's takes its place.
        QVERIFY(QFile::rename(list, copy));
        f.writeFile(list, copyBytes);
        copyBytes = f.readFile(copy);
        f.dialogs.answers.prepend(QMessageBox::Yes);
    } else if (!atStart) {
        f.writeFile(copy, copyBytes);
    }
    QTRY_VERIFY_WITH_TIMEOUT(titles(f.dialogs).contains(QStringLiteral("Konfliktkopie")), 5000);
    QVERIFY(f.dialogs.messages.at(titles(f.dialogs).indexOf(QStringLiteral("Konfliktkopie"))).text.contains(name));
    const bool merged = answer == QMessageBox::Yes;
    // Neither side's entry is taken for removed by the other.
    QCOMPARE(form.stores()->count(), (merged ? 3 : 2) + (bothSaved.isEmpty() ? 0 : 1));
    QCOMPARE(form.isModified(), merged);

    // Kept, not deleted: once the merged lists are saved the copy moves to the program's own folder.
    const QString kept = ListDocument::conflictCopyFolder() + u'/' + name;
    QFile::remove(kept);
    QVERIFY(form.saveFile(form.documentName()));
    QCOMPARE(QFileInfo::exists(copy), !merged);
    QCOMPARE(QFileInfo::exists(kept), merged);
    if (merged) {
        QCOMPARE(f.readFile(kept), copyBytes);
        QVERIFY(
            form.statusBar()->currentMessage().contains(QDir::toNativeSeparators(ListDocument::conflictCopyFolder())));
        QVERIFY(form.statusBar()->currentMessage().startsWith("Die Listen sind gespeichert. "));
        QFile::remove(kept);
    }
    // Asked once: the next look at the folder leaves it alone.
    form.document()->checkFile();
    QCOMPARE(titles(f.dialogs).count(QStringLiteral("Konfliktkopie")), 1);
}

void TestDataSafety::foreignConflictCopiesSetAsideOnce_data()
{
    // Files named like conflict copies of the list: what each holds, or the file a link there points to.
    QTest::addColumn<QStringList>("copies"); // "text", "cut", "link:<target>", "list"
    QTest::addColumn<bool>("lineBreakInName");
    QTest::newRow("a text file") << QStringList { "text" } << false;
    QTest::newRow("a list cut short") << QStringList { "cut" } << false;
    QTest::newRow("a link to a system file") << QStringList { "link:/etc/passwd" } << false;
    QTest::newRow("three at once, one message") << QStringList { "text", "cut", "link:/etc/hostname" } << false;
    QTest::newRow("a line break in the name") << QStringList { "text" } << true;
    QTest::newRow("a list with a line break in the name") << QStringList { "list" } << true;
}

void TestDataSafety::foreignConflictCopiesSetAsideOnce()
{
    QFETCH(QStringList, copies);
    QFETCH(bool, lineBreakInName);
    MainWindowFixture f;
    QStringList names;
    int number = 0;
    for (const QString& copy : copies) {
        const QString name = lineBreakInName
            ? QStringLiteral("korbana (Anna\nB conflicted copy %1).kbl").arg(++number)
            : QStringLiteral("korbana.sync-conflict-20261208-11210%1-HNLTJCB.kbl").arg(++number);
        names.append(name);
        const QString path = f.path(name);
        if (copy.startsWith(QLatin1String("link:")))
            QVERIFY(QFile::link(copy.mid(5), path));
        else if (copy == QLatin1String("cut"))
            f.writeFile(path, sampleListFile().chopped(6));
        else if (copy == QLatin1String("list"))
            f.writeFile(path, kOtherList);
        else
            f.writeFile(path, "Einkaufszettel\nMilch\nBrot\n");
    }
    const bool readable = copies == QStringList { "list" };
    f.dialogs.answers = { QMessageBox::No };
    MainWindow& form = startOnSample(f);
    QTRY_VERIFY_WITH_TIMEOUT(titles(f.dialogs).contains(QStringLiteral("Konfliktkopie")), 5000);
    QCOMPARE(titles(f.dialogs).count(QStringLiteral("Konfliktkopie")), 1);
    const ScriptedDialogs::Message& told = f.dialogs.messages.at(titles(f.dialogs).indexOf("Konfliktkopie"));
    QCOMPARE(told.icon, readable ? QMessageBox::Question : QMessageBox::Warning);
    // Every name on a line of its own, and no name breaks a line.
    for (const QString& name : std::as_const(names))
        QVERIFY2(told.text.contains(QDir::toNativeSeparators(f.path(name)).replace(u'\n', QChar::ReplacementCharacter)),
            qPrintable(told.text));
    QCOMPARE(told.text.count(u'\n'), (readable ? 3 : 1) + (readable ? 0 : names.size() - 1));
    QCOMPARE(form.stores()->count(), 2);
    QVERIFY(!form.isModified());

    // The next start offers what can be merged again, and says nothing of what was set aside; all stay in place.
    f.form.reset();
    f.dialogs.messages.clear();
    f.dialogs.answers = { QMessageBox::No };
    // Whether or not the start has looked already, after this look every copy has been offered or passed over.
    startOnSample(f).document()->lookForConflictCopies();
    QCOMPARE(titles(f.dialogs).count(QStringLiteral("Konfliktkopie")), readable ? 1 : 0);
    for (const QString& name : std::as_const(names))
        QVERIFY(QFileInfo(f.path(name)).isSymLink() || QFileInfo::exists(f.path(name)));
}

void TestDataSafety::saveAsElsewhereNeverAsks()
{
    MainWindowFixture f;
    MainWindow& form = startOnSample(f);
    f.writeFile(f.path(QStringLiteral("korbana.kbl")), kOtherList);
    const QString other = f.path(QStringLiteral("andere.kbl"));
    f.writeFile(other, "0\r\n0\r\n0\r\n");
    f.dialogs.fileAnswers = { other };
    form.saveAs();
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(f.readFile(other), sampleListFile());
    QCOMPARE(form.documentName(), other);
}

void TestDataSafety::reloadOffer_data()
{
    QTest::addColumn<bool>("changedHere");
    QTest::addColumn<bool>("typing"); // a shop's name is being typed when the change arrives
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("barButton"); // the button pressed on the bar, if any

    // No box ever: unchanged lists take the file at once, as one step; the bar says so and offers "Rückgängig".
    QTest::newRow("unchanged: loaded at once") << false << false << kOtherList << QString();
    QTest::newRow("unchanged: loaded, then Rückgängig")
        << false << false << kOtherList << QStringLiteral("undoReloadButton");
    QTest::newRow("changed here too: the bar, Zusammenführen")
        << true << false << kOtherList << QStringLiteral("mergeButton");
    QTest::newRow("changed here too: the bar, Später") << true << false << kOtherList << QStringLiteral("laterButton");
    QTest::newRow("typing: the bar waits, the typing goes on") << false << true << kOtherList << QString();
    QTest::newRow("typing, then Zusammenführen") << false << true << kOtherList << QStringLiteral("mergeButton");
    QTest::newRow("does not read: the lists stay")
        << false << false << QByteArray("1\r\nAnderswo\r\nx\r\n") << QString();
    QTest::newRow("cut short: the lists stay") << false << false << kOtherList.chopped(2) << QString();
}

void TestDataSafety::reloadOffer()
{
    QFETCH(bool, changedHere);
    QFETCH(bool, typing);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, barButton);

    MainWindowFixture f;
    MainWindow& form = startOnSample(f);
    if (changedHere)
        form.shopping()->deleteAt(0);
    QVERIFY(form.isModified() == changedHere);
    if (typing)
        form.storesView()->beginEdit(0);
    const QString path = f.path(QStringLiteral("korbana.kbl"));
    // Replaced by rename, as synchronising programs do: the watch must follow the new file.
    f.writeFile(path + QStringLiteral(".tmp"), bytes);
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::rename(path + QStringLiteral(".tmp"), path));
    auto* bar = windowWidget<QWidget>(form, QStringLiteral("mergeBar"));
    const auto* text = windowWidget<QLabel>(form, QStringLiteral("mergeBarText"));
    QTRY_VERIFY_WITH_TIMEOUT(!bar->isHidden(), 5000);
    QVERIFY(f.dialogs.messages.isEmpty());
    // One line: the lists below move no further than a tool bar's height.
    QVERIFY(bar->sizeHint().height() <= windowWidget<QWidget>(form, QStringLiteral("toolBar"))->sizeHint().height());
    QCOMPARE(bar->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    const bool readable = bytes == kOtherList;
    const bool waits = changedHere || typing;
    QCOMPARE(text->text() == QStringLiteral("Die Liste wurde anderswo geändert."), waits);
    QCOMPARE(text->text() == QStringLiteral("Von anderswo neu geladen"), !waits && readable);
    QCOMPARE(form.storesView()->isEditing(), typing);
    if (!barButton.isEmpty()) {
        windowWidget<QAbstractButton>(form, barButton)->click();
        QVERIFY(bar->isHidden());
    }
    QVERIFY(f.dialogs.messages.isEmpty());
    const bool merged = barButton == QLatin1String("mergeButton");
    const bool reloaded = !waits && readable && barButton.isEmpty();
    if (changedHere) {
        // The sample's entries went elsewhere, the removal here stays: only the other side's store is left.
        QCOMPARE(form.stores()->count() == 1 && form.shopping()->count() == 0, merged);
        QCOMPARE(form.stores()->count() == 2 && form.shopping()->count() == 0, !merged);
    } else {
        QCOMPARE(form.stores()->count() == 1 && form.stores()->caption(0) == "Anderswo", reloaded || merged);
        QCOMPARE(form.stores()->count(), reloaded || merged ? 1 : 2);
    }
    QCOMPARE(form.isModified(), !reloaded && (changedHere || merged || barButton == "undoReloadButton"));
    // A reloaded or merged file is saved without a question; a change not taken in still asks.
    f.dialogs.messages.clear();
    f.dialogs.answers = { QMessageBox::Cancel };
    QCOMPARE(form.saveFile(path), reloaded || merged);
    QCOMPARE(f.dialogs.messages.isEmpty(), reloaded || merged);
    // Saved: nothing says otherwise any more.
    if (merged)
        QCOMPARE(form.statusBar()->currentMessage(), QStringLiteral("Die Listen sind gespeichert."));
}

void TestDataSafety::mergeBarCountsConflicts_data()
{
    // Here, the sample's one shopping entry "1 Brot" is changed ("2"), removed ("-") or left ("" and a shop added);
    // elsewhere it became "3 Brot".
    QTest::addColumn<QString>("here");
    QTest::addColumn<QString>("sideBySide"); // the conflict's row in "Anzeigen", empty when none
    QTest::newRow("changed differently") << "2"
                                         << "Einkaufsliste|2 | Brot | Bäcker | 1,99 EUR|3 | Brot | Bäcker | 1,99 EUR";
    QTest::newRow("removed here, changed there") << "-"
                                                 << "Einkaufsliste|(gelöscht)|3 | Brot | Bäcker | 1,99 EUR";
    QTest::newRow("no conflict") << ""
                                 << "";
}

void TestDataSafety::mergeBarCountsConflicts()
{
    QFETCH(QString, here);
    QFETCH(QString, sideBySide);
    MainWindowFixture f;
    MainWindow& form = startOnSample(f);
    if (here.isEmpty()) {
        form.stores()->append(QStringLiteral("Kiosk"));
    } else {
        form.shopping()->deleteAt(0);
        if (here != QLatin1String("-"))
            form.shopping()->append(
                here, { QStringLiteral("Brot"), QStringLiteral("Bäcker"), QStringLiteral("1,99 EUR") });
    }
    const QString path = f.path(QStringLiteral("korbana.kbl"));
    f.writeFile(path, sampleListFile().replace("1\r\n1\r\nBrot", "1\r\n3\r\nBrot"));
    auto* bar = windowWidget<QWidget>(form, QStringLiteral("mergeBar"));
    QTRY_VERIFY_WITH_TIMEOUT(!bar->isHidden(), 5000);
    windowWidget<QAbstractButton>(form, QStringLiteral("mergeButton"))->click();
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(bar->isHidden(), sideBySide.isEmpty());
    QCOMPARE(
        form.statusBar()->currentMessage(), QStringLiteral("Zusammengeführt. Die Listen sind noch nicht gespeichert."));
    if (sideBySide.isEmpty())
        return;
    QCOMPARE(windowWidget<QLabel>(form, QStringLiteral("mergeBarText"))->text(),
        QStringLiteral("Zusammengeführt: 1 Eintrag auf beiden Seiten verschieden geändert."));
    QVERIFY(bar->sizeHint().height() <= windowWidget<QWidget>(form, QStringLiteral("toolBar"))->sizeHint().height());
    QStringList rows;
    f.dialogs.execAnswer = [&rows](QDialog* dialog) {
        const auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("conflictTable"));
        for (int row = 0; table && row < table->rowCount(); ++row)
            rows.append(
                table->item(row, 0)->text() + u'|' + table->item(row, 1)->text() + u'|' + table->item(row, 2)->text());
        return int(QDialog::Rejected);
    };
    windowWidget<QAbstractButton>(form, QStringLiteral("showConflictsButton"))->click();
    QCOMPARE(rows, QStringList { sideBySide });
    // Both forms stand in the list until the user picks; saved, the bar goes.
    QCOMPARE(form.shopping()->count(), here == QLatin1String("-") ? 1 : 2);
    QVERIFY(form.saveFile(path));
    QVERIFY(bar->isHidden());
}

void TestDataSafety::incompleteFileIsKept_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("backupsBefore");

    QTest::newRow("LF line ends, one CR LF") << QByteArray("2\nAldi\nLidl\n0\n0\r\n") << 0;
    QTest::newRow("UTF-16") << QByteArray("\xff\xfe"
                                          "1\0\r\0\n\0A\0\r\0\n\0",
        14) << 0;
    QTest::newRow("damaged product count") << sampleListFile().replace("\r\n1\r\nBrot", "\r\nx\r\nBrot") << 0;
    QTest::newRow("count past the end") << QByteArray("1\r\nAldi\r\n5\r\nBrot\r\n") << 0;
    QTest::newRow("backups exist already") << QByteArray("2\nAldi\nLidl\n0\n0\r\n") << 2;
    QTest::newRow("lines after the lists") << sampleListFile() + "Notiz\r\n" << 0;
    QTest::newRow("byte 26 before the end") << sampleListFile()
            + "\x1a"
              "Notiz" << 0;
    QTest::newRow("bytes that are no UTF-8") << QByteArray("\xEF\xBB\xBF"
                                                           "1\r\nK\xE4se\r\n0\r\n0\r\n")
                                             << 0;
}

void TestDataSafety::incompleteFileIsKept()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, backupsBefore);

    MainWindowFixture f;
    const QString path = f.path(QStringLiteral("korbana.kbl"));
    for (int i = 1; i <= backupsBefore; ++i)
        f.writeFile(path + (i == 1 ? QStringLiteral(".bak") : QStringLiteral(".bak%1").arg(i)), "alt");
    MainWindow& form = f.start(&bytes);
    f.dialogs.messages.clear();

    // Beenden > Ja, as a household would answer.
    f.dialogs.answers = { QMessageBox::Yes };
    QVERIFY(form.queryClose());
    const QString backup = path + (backupsBefore ? QStringLiteral(".bak%1").arg(backupsBefore + 1) : ".bak");
    QCOMPARE(f.readFile(backup), bytes);
    QCOMPARE(f.readFile(path), korbana::encodeListFile({ form.stores(), form.products(), form.shopping() }));
    QCOMPARE(f.dialogs.messages.size(), 2);
    QVERIFY(f.dialogs.messages.last().text.contains(QDir::toNativeSeparators(backup)));
    if (backupsBefore)
        QCOMPARE(f.readFile(path + ".bak"), QByteArray("alt"));

    // The file written is whole: later saves keep no further copies.
    f.dialogs.messages.clear();
    QVERIFY(form.saveFile(path));
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(QDir(f.dir.path()).entryList({ "*.bak*" }).size(), backupsBefore + 1);
}

void TestDataSafety::failedBackupStopsTheSave()
{
    QTemporaryDir folder;
    faults::TmpfsMount mount(folder.path(), "1m");
    if (!mount.whyNot().isEmpty())
        QSKIP(qPrintable(mount.whyNot()));
    const QString path = folder.filePath(QStringLiteral("korbana.kbl"));
    const QByteArray damaged("2\nAldi\nLidl\n0\n0\r\n");
    MainWindowFixture::writeFile(path, damaged);
    ScriptedDialogs dialogs;
    MainWindow form(dialogs, folder.path());
    dialogs.messages.clear();
    QVERIFY(mount.remountReadOnly());
    QVERIFY(!form.saveFile(path));
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages.front().title, QString("Fehler beim Speichern"));
    QCOMPARE(MainWindowFixture::readFile(path), damaged);
}

void TestDataSafety::recoveryCopy_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<bool>("damaged"); // the copy was cut to nothing

    QTest::newRow("Ja shows the edit") << QMessageBox::Yes << true << false;
    QTest::newRow("Nein keeps the file and sets the copy aside") << QMessageBox::No << true << false;
    QTest::newRow("Ja for a file that is gone") << QMessageBox::Yes << false << false;
    QTest::newRow("damaged: kept aside, never applied") << QMessageBox::Yes << true << true;
}

void TestDataSafety::recoveryCopy()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, fileThere);
    QFETCH(bool, damaged);

    MainWindowFixture f;
    const QString path = f.path(QStringLiteral("korbana.kbl"));
    QString copy;
    {
        MainWindow& form = startOnSample(f);
        copy = form.document()->recoveryCopyPath();
        form.stores()->append(QStringLiteral("Nach dem Absturz"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(copy), 10000);
        form.document()->waitForRecoveryCopy();
        // The window goes without its close query, as in a crash.
        f.form.reset();
    }
    if (!fileThere)
        QFile::remove(path);
    if (damaged)
        QVERIFY(QFile::resize(copy, 0));

    f.dialogs.messages.clear();
    f.dialogs.answers = { answer };
    MainWindow form(f.dialogs, f.dir.path());
    QCOMPARE(f.dialogs.messages.constFirst().title, kRecoverTitle);
    if (damaged) {
        QVERIFY(f.dialogs.messages.constFirst().text.contains("beschädigt"));
        QCOMPARE(form.stores()->count(), 2);
        QVERIFY(!QFile::exists(copy));
        QCOMPARE(QDir(QFileInfo(copy).path()).entryList({ QFileInfo(copy).fileName() + ".beschaedigt-*" }).size(), 1);
        return;
    }
    QVERIFY(f.dialogs.messages.constFirst().text.startsWith(
        "korbana wurde beendet, ohne die letzten Änderungen zu sichern."));
    QCOMPARE(f.dialogs.messages.constFirst().defaultButton, QMessageBox::Yes);
    const bool recovered = answer == QMessageBox::Yes;
    QCOMPARE(form.stores()->count() == 3 && form.stores()->caption(2) == "Nach dem Absturz", recovered);
    QCOMPARE(form.documentName(), path);
    QCOMPARE(form.windowTitle(), QString("TALVEN Einkaufsliste 1.3 - korbana.kbl"));
    QCOMPARE(QFile::exists(copy), recovered);
    if (!recovered) {
        QCOMPARE(QDir(QFileInfo(copy).path()).entryList({ QFileInfo(copy).fileName() + ".abgelehnt-*" }).size(), 1);
        return;
    }
    // The next save writes the recovered lists to the original file and ends the copy.
    f.dialogs.messages.clear();
    QVERIFY(form.saveFile(path));
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(f.readFile(path).contains("Nach dem Absturz"));
    QVERIFY(!QFile::exists(copy));
    // The file's own version was kept before the recovered lists replaced it, once.
    QCOMPARE(f.readFile(path + QStringLiteral(".bak")), fileThere ? sampleListFile() : QByteArray());
    QVERIFY(form.saveFile(path));
    QVERIFY(!QFile::exists(path + QStringLiteral(".bak2")));
}

void TestDataSafety::recoveryCopyGoesWithSaveOrNo()
{
    MainWindowFixture f;
    MainWindow& form = startOnSample(f);
    const QString copy = form.document()->recoveryCopyPath();
    form.stores()->append(QStringLiteral("X"));
    form.document()->writeRecoveryCopy();
    form.document()->waitForRecoveryCopy();
    QVERIFY(QFile::exists(copy));
    // Back to what the file holds: nothing is unsaved any more.
    form.stores()->deleteAt(2);
    form.document()->writeRecoveryCopy();
    form.document()->waitForRecoveryCopy();
    QVERIFY(!QFile::exists(copy));
    QTRY_VERIFY(!form.isModified());

    form.stores()->append(QStringLiteral("Y"));
    form.document()->writeRecoveryCopy();
    form.document()->waitForRecoveryCopy();
    QVERIFY(QFile::exists(copy));
    f.dialogs.answers = { QMessageBox::No };
    QVERIFY(form.queryClose());
    QVERIFY(!QFile::exists(copy));
}

void TestDataSafety::failedDiskSyncFailsTheSave()
{
    MainWindowFixture f;
    MainWindow& form = startOnSample(f);
    const QString path = f.path(QStringLiteral("korbana.kbl"));
    form.stores()->append(QStringLiteral("Neu"));
    korbana::setDiskSyncForTesting([](int) { return false; });
    const auto restore = qScopeGuard([] { korbana::setDiskSyncForTesting({}); });
    QVERIFY(!form.saveFile(path));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages.front().text, QString("Konnte die Datei nicht vollständig schreiben."));
    QCOMPARE(f.readFile(path), sampleListFile());
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files).size(), 1);
}

void TestDataSafety::nonRegularTargetsAreRefused_data()
{
    QTest::addColumn<bool>("throughLink");
    QTest::addColumn<bool>("csv");

    QTest::newRow("list file is a pipe") << false << false;
    QTest::newRow("list file links to a pipe") << true << false;
    QTest::newRow("CSV export is a pipe") << false << true;
    QTest::newRow("CSV export links to a pipe") << true << true;
}

void TestDataSafety::nonRegularTargetsAreRefused()
{
    QFETCH(bool, throughLink);
    QFETCH(bool, csv);

    MainWindowFixture f;
    MainWindow& form = startOnSample(f);
    const QString pipe = f.path(QStringLiteral("rohr"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    QString target = pipe;
    if (throughLink) {
        target = f.path(QStringLiteral("verweis"));
        QVERIFY(QFile::link(pipe, target));
    }
    if (csv) {
        f.dialogs.fileAnswers = { target };
        form.exportCsv();
    } else {
        QVERIFY(!form.saveFile(target));
    }
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.dialogs.messages.front().text, QString("Konnte die Datei nicht erstellen."));
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    QCOMPARE(QFileInfo(target).isSymLink(), throughLink);
}

void TestDataSafety::settingsPipeNeitherHangsNorIsReplaced()
{
    QTemporaryDir folder;
    const QString conf = folder.filePath(QStringLiteral("korbana.conf"));
    QVERIFY(::mkfifo(QFile::encodeName(conf).constData(), 0600) == 0);
    korbana::SettingsStore::setFileOverride(conf);
    const auto restore = qScopeGuard([] { korbana::SettingsStore::setFileOverride({}); });
    korbana::SettingsStore store;
    store.open();
    QCOMPARE(store.readString(QStringLiteral("TMainForm"), QStringLiteral("CurrEd_Text"), QStringLiteral("EUR")),
        QString("EUR"));
    QVERIFY_THROWS_EXCEPTION(korbana::SettingsError,
        store.writeString(QStringLiteral("TMainForm"), QStringLiteral("CurrEd_Text"), QStringLiteral("USD")));
    store.close();
    QVERIFY(!QFileInfo(conf).isFile());
}

void TestDataSafety::staleSaveTemporariesAreRemoved_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minutesOld");
    QTest::addColumn<bool>("kept");

    // The user's own files beside the list, however much their names look like a temporary.
    for (const char* suffix : { "backup", "240101", "before", "kopie1", "bak123", "bak12", "aB3xY9" })
        QTest::newRow(suffix) << QStringLiteral("korbana.kbl.%1").arg(suffix) << 60 << true;
    QTest::newRow("another list's temporary") << ".andere.kbl.korbana-aB3xY9.tmp" << 60 << true;
    QTest::newRow("own temporary, young") << ".korbana.kbl.korbana-Zz9Zz9.tmp" << 0 << true;
    QTest::newRow("own temporary, old") << ".korbana.kbl.korbana-aB3xY9.tmp" << 60 << false;
}

void TestDataSafety::staleSaveTemporariesAreRemoved()
{
    QFETCH(QString, name);
    QFETCH(int, minutesOld);
    QFETCH(bool, kept);
    MainWindowFixture f;
    MainWindow& form = startOnSample(f);
    const QString path = f.path(QStringLiteral("korbana.kbl"));
    f.writeFile(f.path(name), "mine");
    QFile file(f.path(name));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(
        file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesOld), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(form.saveFile(path));
    QCOMPARE(QFileInfo::exists(f.path(name)), kept);
    // Nothing of the save itself is left beside the list.
    const QStringList all = QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(all.filter(QStringLiteral("korbana-")).size(), kept && name.contains(QStringLiteral("korbana-")) ? 1 : 0);
}

void TestDataSafety::paneWidthAtIntegerLimit()
{
    MainWindowFixture f;
    MainWindow& form = startOnSample(f);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const int width : { INT_MAX, INT_MIN, 0 }) {
        storesPanel(form)->setPanelWidth(width);
        productsPanel(form)->setPanelWidth(INT_MAX);
        for (const int size : listSplitter(form)->sizes())
            QVERIFY(size >= 0 && size <= form.width());
    }
}

void TestDataSafety::missingListOnCommandLineStartsEmpty()
{
    MainWindowFixture f;
    const QString path = f.path(QStringLiteral("neu.kbl"));
    MainWindow form(f.dialogs, f.dir.path(), path);
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(form.windowTitle().endsWith(QStringLiteral(" - neu.kbl")));
    form.stores()->append(QStringLiteral("Markt"));
    form.save();
    QVERIFY(f.dialogs.fileRequests.isEmpty() && f.dialogs.messages.isEmpty());
    QCOMPARE(f.readFile(path), QByteArray("1\r\nMarkt\r\n0\r\n0\r\n"));
}

void TestDataSafety::listOpenInAnotherWindow_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("Trotzdem öffnen") << QMessageBox::Open;
    QTest::newRow("Abbrechen") << QMessageBox::Cancel;
}

void TestDataSafety::listOpenInAnotherWindow()
{
    QFETCH(QMessageBox::StandardButton, answer);
    MainWindowFixture f;
    startOnSample(f);
    ScriptedDialogs dialogs;
    dialogs.answers = { answer };
    MainWindow second(dialogs, f.dir.path());
    QCOMPARE(titles(dialogs), QStringList { QStringLiteral("Bereits geöffnet") });
    QCOMPARE(dialogs.messages.constFirst().defaultButton, QMessageBox::Cancel);
    const bool opened = answer == QMessageBox::Open;
    QCOMPARE(second.documentName(), opened ? f.path(QStringLiteral("korbana.kbl")) : QString());
    QCOMPARE(second.stores()->count(), opened ? 2 : 0);
    // The first window's lock goes with it.
    f.form.reset();
    dialogs.messages.clear();
    MainWindow third(dialogs, f.dir.path());
    QVERIFY(dialogs.messages.isEmpty());
}

QTEST_MAIN(TestDataSafety)

#include "tst_datasafety.moc"
