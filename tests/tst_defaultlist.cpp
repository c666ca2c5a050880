#include "MainWindowFixture.h"
#include "ThreeLists.h"
#include "document/DefaultList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korbana;

using korbana::DefaultList;

namespace {

QByteArray contentOf(const QString& path)
{
    return MainWindowFixture::readFile(path);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    MainWindowFixture::writeFile(path, bytes);
    QCOMPARE(contentOf(path), bytes);
}

const QByteArray kOwnList = QByteArrayLiteral("1\r\nMarkt\r\n0\r\n0\r\n");

} // namespace

class TestDefaultList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placeAndFirstStart_data();
    void placeAndFirstStart();
    void sampleIsAValidList();
    void userDataDirFollowsXdg();
};

void TestDefaultList::placeAndFirstStart_data()
{
    QTest::addColumn<bool>("listBesideProgram");
    QTest::addColumn<QString>("existingDataDir"); // "", "empty", "with list", "blocked by a file"
    QTest::addColumn<bool>("expectPortable");
    QTest::addColumn<int>("expectFirstStart");
    QTest::addColumn<QByteArray>("expectListBytes"); // of the default list after prepare; "sample" for the sample

    using F = DefaultList::FirstStart;
    QTest::newRow("portable: list beside the program, data folder untouched")
        << true << "" << true << int(F::NotFirst) << kOwnList;
    QTest::newRow("portable wins over an existing data list")
        << true << "with list" << true << int(F::NotFirst) << kOwnList;
    QTest::newRow("installed, very first start: folder made with the sample")
        << false << "" << false << int(F::Created) << QByteArray("sample");
    QTest::newRow("installed, folder exists without the list: nothing made")
        << false << "empty" << false << int(F::NotFirst) << QByteArray();
    QTest::newRow("installed, the user's own list is kept")
        << false << "with list" << false << int(F::NotFirst) << kOwnList;
    QTest::newRow("installed, data folder cannot be made")
        << false << "blocked by a file" << false << int(F::Failed) << QByteArray();
}

void TestDefaultList::placeAndFirstStart()
{
    QFETCH(bool, listBesideProgram);
    QFETCH(QString, existingDataDir);
    QFETCH(bool, expectPortable);
    QFETCH(int, expectFirstStart);
    QFETCH(QByteArray, expectListBytes);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString programDir = root.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(programDir));
    if (listBesideProgram)
        writeFile(programDir + QStringLiteral("/korbana.kbl"), kOwnList);
    // Two levels that do not exist yet, as ~/.local/share on a fresh account.
    QString dataDir = root.filePath(QStringLiteral("home/.local/share/korbana"));
    if (existingDataDir == QLatin1String("empty") || existingDataDir == QLatin1String("with list"))
        QVERIFY(QDir().mkpath(dataDir));
    if (existingDataDir == QLatin1String("with list"))
        writeFile(dataDir + QStringLiteral("/korbana.kbl"), kOwnList);
    if (existingDataDir == QLatin1String("blocked by a file")) {
        writeFile(root.filePath(QStringLiteral("file")), {});
        dataDir = root.filePath(QStringLiteral("file/korbana"));
    }

    // The program directory comes with a trailing slash from the main window.
    const DefaultList list(programDir + u'/', dataDir);
    QCOMPARE(list.isPortable(), expectPortable);
    QCOMPARE(list.filePath(), (expectPortable ? programDir : dataDir) + QStringLiteral("/korbana.kbl"));
    QCOMPARE(int(list.prepare()), expectFirstStart);

    if (expectListBytes == "sample")
        expectListBytes = contentOf(QStringLiteral(":/sample/korbana.kbl"));
    QCOMPARE(contentOf(list.filePath()), expectListBytes);
    if (expectPortable && existingDataDir.isEmpty())
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("home"))));
    if (expectFirstStart == int(DefaultList::FirstStart::Created)) {
        // The user saves into it, so it must not keep the resource's read-only mode.
        QVERIFY(QFileInfo(list.filePath()).isWritable());
        // A second start finds the folder and leaves the list alone, even after the user changed it.
        writeFile(list.filePath(), kOwnList);
        QCOMPARE(int(list.prepare()), int(DefaultList::FirstStart::NotFirst));
        QCOMPARE(contentOf(list.filePath()), kOwnList);
    }
}

void TestDefaultList::sampleIsAValidList()
{
    ThreeLists lists;
    const QByteArray sample = contentOf(QStringLiteral(":/sample/korbana.kbl"));
    QCOMPARE(korbana::parseListFile(sample, lists.set()), korbana::ReadResult::Ok);
    QVERIFY(lists.stores.count() > 0);
    QVERIFY(lists.products.count() > 0);
}

void TestDefaultList::userDataDirFollowsXdg()
{
    QTemporaryDir dir;
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));
    const QString found = DefaultList::userDataDir();
    if (old.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", old);
    QCOMPARE(found, dir.path() + QStringLiteral("/korbana"));
}

QTEST_GUILESS_MAIN(TestDefaultList)
#include "tst_defaultlist.moc"
