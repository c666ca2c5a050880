// No failure loses data: full and read-only filesystems, vanished folders, a program killed while saving,
// an exit whose save fails.
#include "FaultTools.h"
#include "SampleLists.h"
#include "ScriptedDialogs.h"
#include "document/ListFile.h"
#include "lists/ListModel.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>

using namespace korbana;

using namespace faults;

namespace {

const QString kCannotCreate = QStringLiteral("Konnte die Datei nicht erstellen.");
const QString kWriteFailed = QStringLiteral("Konnte die Datei nicht vollständig schreiben.");
const QString kSaveTitle = QStringLiteral("Fehler beim Speichern");

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fullFilesystemKeepsOldFile_data();
    void fullFilesystemKeepsOldFile();
    void readOnlyFolderKeepsOldFile();
    void folderRemovedAfterSaveDialog();
    void killedWhileSavingLeavesWholeFile();
    void exitWithFailedSaveStaysOpen_data();
    void exitWithFailedSaveStaysOpen();

private:
    QTemporaryDir m_config;
};

void TestFaults::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // The window keeps its settings when it closes: never in the user's own folder.
    QStandardPaths::setTestModeEnabled(true);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
}

void TestFaults::fullFilesystemKeepsOldFile_data()
{
    QTest::addColumn<bool>("toLastByte");
    QTest::addColumn<int>("entries");
    QTest::newRow("new file larger than the room left") << false << 20'000;
    QTest::newRow("filesystem full to the last byte") << true << 200;
}

void TestFaults::fullFilesystemKeepsOldFile()
{
    QFETCH(bool, toLastByte);
    QFETCH(int, entries);
    QTemporaryDir mountPoint;
    const TmpfsMount fs(mountPoint.path(), "256k");
    if (!fs.whyNot().isEmpty())
        QSKIP(qPrintable(fs.whyNot()));

    Program program;
    const QString path = mountPoint.filePath(QStringLiteral("woche.kbl"));
    sample::fill(program.lists(), sample::countsFor(30), 1);
    QVERIFY(program.form->saveFile(path));
    const QByteArray old = contents(path);
    QVERIFY(!old.isEmpty());
    if (toLastByte)
        fillUp(mountPoint.filePath(QStringLiteral("filler")));
    const QStringList before = QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden);

    sample::fill(program.lists(), sample::countsFor(entries), 2);
    program.form->save();

    QCOMPARE(program.dialogs.messages.size(), 1);
    const ScriptedDialogs::Message& told = program.dialogs.messages.first();
    QVERIFY2(told.text == kWriteFailed || told.text == kCannotCreate, qPrintable(told.text));
    QCOMPARE(told.title, kSaveTitle);
    QCOMPARE(told.icon, QMessageBox::Critical);
    QVERIFY(contents(path) == old);
    QCOMPARE(program.form->documentName(), path);
    // A failed save leaves no half-written file of its own behind either.
    QCOMPARE(QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden), before);
}

void TestFaults::readOnlyFolderKeepsOldFile()
{
    QTemporaryDir base;
    const QString folder = base.filePath(QStringLiteral("nurlesen"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/woche.kbl");
    std::unique_ptr<TmpfsMount> fs;
    if (geteuid() == 0) {
        // Permission bits do not stop root: make the filesystem itself read-only.
        fs = std::make_unique<TmpfsMount>(folder, "1m");
        if (!fs->whyNot().isEmpty())
            QSKIP(qPrintable(fs->whyNot()));
    }

    Program program;
    sample::fill(program.lists(), sample::countsFor(30), 1);
    QVERIFY(program.form->saveFile(path));
    const QByteArray old = contents(path);
    const QString title = program.form->windowTitle();
    if (fs) {
        QVERIFY(fs->remountReadOnly());
    } else {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    const auto writable = qScopeGuard([&] { QFile::setPermissions(folder, QFile::permissions(base.path())); });

    program.form->stores()->append(QStringLiteral("Kiosk am Bahnhof"));
    program.form->save();

    QCOMPARE(program.dialogs.texts(), QStringList { kCannotCreate });
    QCOMPARE(program.dialogs.messages.first().title, kSaveTitle);
    QVERIFY(contents(path) == old);
    QCOMPARE(program.form->documentName(), path);
    QCOMPARE(program.form->windowTitle(), title);
}

void TestFaults::folderRemovedAfterSaveDialog()
{
    QTemporaryDir base;
    const QString oldPath = base.filePath(QStringLiteral("woche.kbl"));
    const QString chosenFolder = base.filePath(QStringLiteral("neu"));
    QVERIFY(QDir().mkpath(chosenFolder));

    Program program;
    sample::fill(program.lists(), sample::countsFor(30), 1);
    QVERIFY(program.form->saveFile(oldPath));
    const QByteArray old = contents(oldPath);
    const QString title = program.form->windowTitle();

    // The dialog offered the folder; it is gone by the time the file is written.
    program.dialogs.fileAnswers << chosenFolder + QStringLiteral("/woche.kbl");
    QVERIFY(QDir(chosenFolder).removeRecursively());
    program.form->saveAs();

    QCOMPARE(program.dialogs.texts(), QStringList { kCannotCreate });
    QCOMPARE(program.dialogs.messages.first().title, kSaveTitle);
    QVERIFY(contents(oldPath) == old);
    QCOMPARE(program.form->documentName(), oldPath);
    QCOMPARE(program.form->windowTitle(), title);
    QVERIFY(!QFileInfo::exists(chosenFolder));
}

void TestFaults::killedWhileSavingLeavesWholeFile()
{
    constexpr int kEntries = 100'000;
    const int kills
        = qEnvironmentVariableIsSet("KORBANA_FAULT_KILLS") ? qEnvironmentVariableIntValue("KORBANA_FAULT_KILLS") : 30;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("gross.kbl"));
    QByteArray bytes[2];
    for (unsigned seed = 1; seed <= 2; ++seed) {
        sample::Lists lists;
        sample::fill(lists.set(), sample::countsFor(kEntries), seed);
        bytes[seed - 1] = korbana::encodeListFile(lists.set());
        if (seed == 1)
            QCOMPARE(korbana::writeListFile(path, lists.set()), korbana::WriteResult::Ok);
    }
    QVERIFY(bytes[0] != bytes[1]);

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int keptOld = 0;
    int tookNew = 0;
    QByteArray last = bytes[0];
    for (int i = 0; i < kills; ++i) {
        const int saving = i % 2 == 0 ? 2 : 1;
        QProcess saver;
        saver.start(QStringLiteral(KORBANA_LISTSAVER), { path, QString::number(saving), QString::number(kEntries) });
        QVERIFY2(saver.waitForStarted(), qPrintable(saver.errorString()));
        while (!saver.canReadLine())
            QVERIFY(saver.waitForReadyRead(60'000));
        QCOMPARE(saver.readLine(), QByteArray("ready\n"));
        QThread::msleep(random.bounded(400));
        ::kill(static_cast<pid_t>(saver.processId()), SIGKILL);
        QVERIFY(saver.waitForFinished());

        const QByteArray now = contents(path);
        QVERIFY2(now == bytes[0] || now == bytes[1],
            qPrintable(QStringLiteral("kill %1 (random seed %2) left %3 bytes that are neither file")
                           .arg(i)
                           .arg(seed)
                           .arg(now.size())));
        ++(now == last ? keptOld : tookNew);
        last = now;
    }
    qInfo("%d kills: %d left the old file, %d the new one; %lld other files left in the folder", kills, keptOld,
        tookNew, static_cast<long long>(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size() - 1));
}

void TestFaults::exitWithFailedSaveStaysOpen_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("document's folder removed") << false;
    QTest::newRow("filesystem full") << true;
}

void TestFaults::exitWithFailedSaveStaysOpen()
{
    QFETCH(bool, fullDisk);
    QTemporaryDir base;
    const QString folder = base.filePath(QStringLiteral("listen"));
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<TmpfsMount> fs;
    if (fullDisk) {
        fs = std::make_unique<TmpfsMount>(folder, "256k");
        if (!fs->whyNot().isEmpty())
            QSKIP(qPrintable(fs->whyNot()));
    }
    const QString path = folder + QStringLiteral("/woche.kbl");

    Program program;
    sample::fill(program.lists(), sample::countsFor(50), 1);
    QVERIFY(program.form->saveFile(path));
    program.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(program.form.get()));
    if (fullDisk) {
        fillUp(folder + QStringLiteral("/filler"));
        sample::fill(program.lists(), sample::countsFor(5'000), 2);
    } else {
        QVERIFY(QDir(folder).removeRecursively());
        program.form->shopping()->deleteAt(0);
    }
    const QByteArray lists = program.snapshot();
    program.dialogs.messages.clear();

    program.dialogs.answers << QMessageBox::Yes;
    program.form->quit();

    QVERIFY(program.form->isVisible());
    QCOMPARE(program.dialogs.messages.size(), 2);
    QCOMPARE(program.dialogs.messages[0].title, QStringLiteral("Datei: Beenden..."));
    QCOMPARE(program.dialogs.messages[1].title, kSaveTitle);
    QVERIFY(program.snapshot() == lists);
    QCOMPARE(program.form->documentName(), path);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
