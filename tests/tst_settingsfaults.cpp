// A damaged settings file or a settings folder without write access costs neither the design values nor the
// list file.
#include "FaultTools.h"
#include "SampleLists.h"
#include "WindowWidgets.h"
#include "settings/SettingsStore.h"
#include "ui/SpinEdit.h"

#include <QDir>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>

#include <sys/stat.h>

using namespace korbana;

using namespace faults;

class TestSettingsFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void damagedSettingsFile_data();
    void damagedSettingsFile();
    void settingsFolderWithoutWriteAccess_data();
    void settingsFolderWithoutWriteAccess();

private:
    // The program folder with a korbana.kbl of realistic lists, and its bytes.
    QString makeProgramFolder();

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_listFile;
};

void TestSettingsFaults::init()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestSettingsFaults::cleanup()
{
    korbana::SettingsStore::setFileOverride(QString());
    m_dir.reset();
}

QString TestSettingsFaults::makeProgramFolder()
{
    const QString folder = m_dir->filePath(QStringLiteral("programm"));
    QDir().mkpath(folder);
    sample::Lists lists;
    sample::fill(lists.set(), sample::countsFor(300), 3);
    m_listFile = korbana::encodeListFile(lists.set());
    QFile file(folder + QStringLiteral("/korbana.kbl"));
    if (!file.open(QIODevice::WriteOnly) || file.write(m_listFile) != m_listFile.size())
        qFatal("cannot write the list file");
    return folder;
}

void TestSettingsFaults::damagedSettingsFile_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe\x01[TM\x00"
                                                  "ainForm]\n\x80\x81=\xff\n",
        22);
    QTest::newRow("cut in the middle of a line") << QByteArray("[TMainForm]\nFormVersion=0\nleftREd_Va");
    QTest::newRow("section header broken")
        << QByteArray("[TMainForm\nleftREd_Value=40\nCurrEd_Text=USD\nFontDialog1_FontName=Courier\n");
    QTest::newRow("words where numbers belong")
        << QByteArray("[TMainForm]\nFormVersion=null\nleftREd_Value=zwölf\nTopREd_Value=\nRightREd_Value=1,2,3\n"
                      "BottomREd_Value=--5\nPreisED_Value=teuer\nShowCmd=x\n");
    QTest::newRow("numbers beyond range")
        << QByteArray("[TMainForm]\nleftREd_Value=1E400\nTopREd_Value=-1E400\nRightREd_Value=nan\n"
                      "BottomREd_Value=inf\nPreisED_Value=1E99999\n"
                      "NormPos=99999999999,1,2\nPixelsPerInch=-99999999999999\n");
    QTest::newRow("only blanks and line ends") << QByteArray("\r\r\n \n\t\n\r\n");
}

void TestSettingsFaults::damagedSettingsFile()
{
    QFETCH(QByteArray, settings);
    const QString settingsPath = m_dir->filePath(QStringLiteral("config/korbana.conf"));
    QDir().mkpath(QFileInfo(settingsPath).path());
    QFile file(settingsPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(settings);
    file.close();
    korbana::SettingsStore::setFileOverride(settingsPath);
    const QString programFolder = makeProgramFolder();

    Program program(programFolder);
    MainWindow& form = *program.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QCOMPARE(form.leftMargin(), 15);
    QCOMPARE(form.topMargin(), 15);
    QCOMPARE(form.rightMargin(), 15);
    QCOMPARE(form.bottomMargin(), 15);
    QCOMPARE(priceEdit(form)->value(), 0.0);
    QCOMPARE(currencyEdit(form)->text(), QStringLiteral("EUR"));
    QCOMPARE(form.printFont().name, QStringLiteral("Arial"));
    QCOMPARE(form.printFont().size, 11);
    QCOMPARE(program.snapshot(), m_listFile);

    program.dialogs.answers << QMessageBox::No;
    form.quit();
    QVERIFY(!form.isVisible());
    QCOMPARE(contents(programFolder + QStringLiteral("/korbana.kbl")), m_listFile);
}

void TestSettingsFaults::settingsFolderWithoutWriteAccess_data()
{
    QTest::addColumn<bool>("saveLists");
    QTest::addColumn<bool>("pipe");
    QTest::newRow("exit saving the lists") << true << false;
    QTest::newRow("exit without saving") << false << false;
    QTest::newRow("settings file is a pipe") << false << true;
}

void TestSettingsFaults::settingsFolderWithoutWriteAccess()
{
    QFETCH(bool, saveLists);
    QFETCH(bool, pipe);
    const QString settingsFolder = m_dir->filePath(QStringLiteral("config"));
    QVERIFY(QDir().mkpath(settingsFolder));
    std::unique_ptr<TmpfsMount> fs;
    if (pipe) {
        QVERIFY(::mkfifo(QFile::encodeName(settingsFolder + QStringLiteral("/korbana.conf")).constData(), 0600) == 0);
    } else if (geteuid() == 0) {
        // Permission bits do not stop root: a read-only filesystem does.
        fs = std::make_unique<TmpfsMount>(settingsFolder, "64k");
        if (!fs->whyNot().isEmpty())
            QSKIP(qPrintable(fs->whyNot()));
        QVERIFY(fs->remountReadOnly());
    } else {
        QVERIFY(QFile::setPermissions(settingsFolder, QFile::ReadOwner | QFile::ExeOwner));
    }
    const auto writable
        = qScopeGuard([&] { QFile::setPermissions(settingsFolder, QFile::permissions(m_dir->path())); });
    korbana::SettingsStore::setFileOverride(settingsFolder + QStringLiteral("/korbana.conf"));
    const QString programFolder = makeProgramFolder();
    const QString listPath = programFolder + QStringLiteral("/korbana.kbl");

    Program program(programFolder);
    MainWindow& form = *program.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.leftMargin(), 15);
    QVERIFY(program.dialogs.messages.isEmpty());
    form.stores()->append(QStringLiteral("Hofladen Grünwiese"));
    const QByteArray changed = program.snapshot();

    program.dialogs.answers << (saveLists ? QMessageBox::Yes : QMessageBox::No);
    form.quit();

    QVERIFY(!form.isVisible());
    QCOMPARE(contents(listPath), saveLists ? changed : m_listFile);
    // The user hears of the settings that could not be kept.
    QCOMPARE(program.dialogs.messages.size(), 2);
    QCOMPARE(program.dialogs.messages[1].title, QStringLiteral("Einkaufsliste 1.2"));
    QCOMPARE(program.dialogs.messages[1].icon, QMessageBox::Critical);
    // Once: the window going after the failed save does not say it again.
    program.form.reset();
    QCOMPARE(program.dialogs.messages.size(), 2);
    const QFileInfo settingsFile(settingsFolder + QStringLiteral("/korbana.conf"));
    QCOMPARE(settingsFile.exists(), pipe);
    QVERIFY(!settingsFile.isFile());
}

QTEST_MAIN(TestSettingsFaults)
#include "tst_settingsfaults.moc"
