// The stored settings through the real main window: first run, restore rules, damaged files, exit paths.
#include "FileSizeLimit.h"
#include "ScriptedDialogs.h"
#include "SettingsFile.h"
#include "WindowWidgets.h"
#include "settings/SettingsStore.h"
#include "settings/WindowPlacement.h"
#include "settings/WindowStateStore.h"
#include "ui/MainWindow.h"
#include "ui/SidePanel.h"
#include "ui/SpinEdit.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace korbana;

using korbana::SettingsStore;

// Where the window stands and how large it is, as move() and resize() set them.
QRect placement(const QWidget& window)
{
    return QRect(window.pos(), window.size());
}

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void firstRunWritesWholeSection();
    void cancelledExitWritesNothing();
    void marginRestore_data();
    void marginRestore();
    void priceRestore_data();
    void priceRestore();
    void priceStoredWithPoint();
    void paneWidthRestore_data();
    void paneWidthRestore();
    void fontRestore_data();
    void fontRestore();
    void currencyRestore_data();
    void currencyRestore();
    void emptyCurrencyStoredEmpty();
    void positionRestore_data();
    void positionRestore();
    void smallScreen_data();
    void smallScreen();
    void differentPixelsPerInchKeepsPosition();
    void showCommand_data();
    void showCommand();
    void olderFormVersionRestoresNothing();
    void damagedFile_data();
    void damagedFile();
    void destroyWithoutCloseSaves();
    void neverShownSavesNothing();
    void unwritableStoreReportsAndCloses();
    void fullDiskKeepsTheOldSettings();
    void restartBringsEverythingBack();
    void paneWidthSavedFromTheOtherPage();
    void scratchStoreForgetsBetweenWindows();
    void recentFilesSurviveARestart();

private:
    // A started program: the window is built (the default list file is missing) and shown.
    struct Run
    {
        ScriptedDialogs dialogs;
        std::unique_ptr<MainWindow> form;
    };
    std::unique_ptr<Run> start(bool show = true);
    // Closes the window answering the exit question with answer.
    void exit(Run& run, QMessageBox::StandardButton answer = QMessageBox::No);
    QString settingsPath() const { return m_dir->filePath(QStringLiteral("settings/korbana.conf")); }
    void store(const SettingsFile::Values& values);
    SettingsFile::Values stored() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettings::initTestCase()
{
    // Whatever slips past the override must not reach the user's own settings.
    QStandardPaths::setTestModeEnabled(true);
}

void TestSettings::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("program")));
    SettingsStore::setFileOverride(settingsPath());
}

void TestSettings::cleanup()
{
    SettingsStore::setFileOverride(QString());
    m_dir.reset();
}

std::unique_ptr<TestSettings::Run> TestSettings::start(bool show)
{
    auto run = std::make_unique<Run>();
    run->form = std::make_unique<MainWindow>(run->dialogs, m_dir->filePath(QStringLiteral("program")));
    // Only the missing default list file is reported at start.
    if (run->dialogs.messages.size() != 1)
        qWarning() << "unexpected messages at start" << run->dialogs.texts();
    run->dialogs.messages.clear();
    if (show) {
        run->form->show();
        QCoreApplication::processEvents();
    }
    return run;
}

void TestSettings::exit(Run& run, QMessageBox::StandardButton answer)
{
    run.dialogs.answers = { answer };
    run.form->close();
}

void TestSettings::store(const SettingsFile::Values& values)
{
    QVERIFY(QDir().mkpath(QFileInfo(settingsPath()).absolutePath()));
    SettingsFile::write(settingsPath(), QStringLiteral("TMainForm"), values);
}

SettingsFile::Values TestSettings::stored() const
{
    return SettingsFile::read(settingsPath(), QStringLiteral("TMainForm"));
}

void TestSettings::firstRunWritesWholeSection()
{
    auto run = start();
    QVERIFY(run->form->isVisible());
    // The maximized position hides the frame beyond the screen's edges; the minimized one is never set.
    const QRect frame = run->form->frameGeometry();
    const QRect inner = run->form->geometry();
    const QString minMax = QString("-1,-1,%1,%2").arg(frame.left() - inner.left()).arg(inner.bottom() - frame.bottom());
    exit(*run);
    QVERIFY(!run->form->isVisible());
    QVERIFY(run->dialogs.texts() == QStringList { "Wollen Sie die nicht gesicherten Daten speichern?" });

    const QString res = WindowPlacement::resolutionSuffix();
    const QString ppi = QString::number(WindowPlacement::screenPixelsPerInch());
    const SettingsFile::Values expected = {
        { "FormVersion", "0" },
        { "Flags", "0" },
        { "ShowCmd", "1" },
        { "PixelsPerInch", ppi },
        { "MinMaxPos" + res, minMax },
        { "MinMaxPos", minMax },
        { "NormPos" + res, "223,115,919,595" },
        { "NormPos", "223,115,919,595" },
        { "Visible", "0" },
        { "RightREd_Value", "15" },
        { "TopREd_Value", "15" },
        { "leftREd_Value", "15" },
        { "BottomREd_Value", "15" },
        { "FontDialog1_FontCharset", "0" },
        { "FontDialog1_FontColor", "-2147483640" },
        { "FontDialog1_FontHeight", "-15" },
        { "FontDialog1_FontName", "Arial" },
        { "FontDialog1_FontPitch", "fpDefault" },
        { "FontDialog1_FontSize", "11" },
        { "FontDialog1_FontStyle", "[]" },
        { "CurrEd_Text", "EUR" },
        { "PreisED_Value", "0" },
        { "Panel1Laeden_Width", "145" },
        { "Panel1Produkte_Width", "269" },
    };
    QCOMPARE(stored(), expected);

    // The destruction after an allowed close writes nothing more.
    QFile::remove(settingsPath());
    run->form.reset();
    QVERIFY(!QFile::exists(settingsPath()));
}

void TestSettings::cancelledExitWritesNothing()
{
    auto run = start();
    exit(*run, QMessageBox::Cancel);
    QVERIFY(run->form->isVisible());
    QVERIFY(!QFile::exists(settingsPath()));
    exit(*run, QMessageBox::No);
    QVERIFY(!run->form->isVisible());
    QCOMPARE(stored().value("leftREd_Value"), QString("15"));
}

void TestSettings::marginRestore_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("margin");

    QTest::newRow("above the range") << "70"
                                     << "50" << 50;
    QTest::newRow("below the range") << "-3"
                                     << "0" << 0;
    QTest::newRow("half to even down") << "12.5"
                                       << "12" << 12;
    QTest::newRow("half to even up") << "13.5"
                                     << "14" << 14;
    QTest::newRow("nearest") << "12.6"
                             << "13" << 13;
    QTest::newRow("blanks around") << "  20 "
                                   << "20" << 20;
    QTest::newRow("exponent form") << "2.5E1"
                                   << "25" << 25;
    QTest::newRow("decimal comma also read") << "30,2"
                                             << "30" << 30;
    QTest::newRow("no number keeps the value") << "zwanzig"
                                               << "15" << 15;
    QTest::newRow("empty keeps the value") << ""
                                           << "15" << 15;
    QTest::newRow("not a number keeps the value") << "NAN"
                                                  << "15" << 15;
    QTest::newRow("infinity keeps the value") << "INF"
                                              << "15" << 15;
    QTest::newRow("minus infinity keeps the value") << "-INF"
                                                    << "15" << 15;
    QTest::newRow("huge") << "1E300"
                          << "50" << 50;
}

void TestSettings::marginRestore()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(int, margin);
    store({ { "leftREd_Value", text }, { "BottomREd_Value", "7" } });
    auto run = start();
    QCOMPARE(leftMarginEdit(*run->form)->text(), shown);
    QCOMPARE(run->form->leftMargin(), margin);
    QCOMPARE(run->form->bottomMargin(), 7);
    QCOMPARE(run->form->topMargin(), 15);
    QVERIFY(run->dialogs.messages.isEmpty());
}

void TestSettings::priceRestore_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("de point") << "de_DE"
                              << "2.5"
                              << "2,50";
    QTest::newRow("en point") << "en_US"
                              << "2.5"
                              << "2.50";
    QTest::newRow("de exponent") << "de_DE"
                                 << "1E-5"
                                 << "0,00";
    QTest::newRow("de large") << "de_DE"
                              << "1234.567"
                              << "1234,57";
    QTest::newRow("en comma is no number") << "en_US"
                                           << "1,5"
                                           << "0.00";
    QTest::newRow("de no number") << "de_DE"
                                  << "billig"
                                  << "0,00";
    QTest::newRow("de not a number") << "de_DE"
                                     << "NAN"
                                     << "0,00";
    QTest::newRow("en infinite") << "en_US"
                                 << "INF"
                                 << "0.00";
}

void TestSettings::priceRestore()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(locale));
    store({ { "PreisED_Value", text } });
    auto run = start();
    QCOMPARE(priceEdit(*run->form)->text(), shown);
}

void TestSettings::priceStoredWithPoint()
{
    auto run = start();
    priceEdit(*run->form)->findChild<QLineEdit*>()->setText("2,5");
    exit(*run);
    QCOMPARE(stored().value("PreisED_Value"), QString("2.5"));
    run.reset();

    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    run = start();
    QCOMPARE(priceEdit(*run->form)->text(), QString("2.50"));
}

void TestSettings::paneWidthRestore_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");

    QTest::newRow("as stored") << "200" << 200;
    QTest::newRow("blanks around") << " 180 " << 180;
    QTest::newRow("no number") << "breit" << 0;
    QTest::newRow("real") << "180.5" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("negative") << "-5" << 0;
    // Wider than the screen would hide the other lists: the design width.
    const int screenWidth = QGuiApplication::primaryScreen()->availableVirtualGeometry().width();
    QTest::newRow("wider than the screen") << QString::number(screenWidth + 1) << 145;
    QTest::newRow("integer limit") << "2147483647" << 145;
}

void TestSettings::paneWidthRestore()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    store({ { "Panel1Laeden_Width", text }, { "Panel1Produkte_Width", "250" } });
    auto run = start();
    QCOMPARE(storesPanel(*run->form)->panelWidth(), width);
    QCOMPARE(listSplitter(*run->form)->sizes().value(0), width);
    QCOMPARE(productsPanel(*run->form)->panelWidth(), 250);
}

void TestSettings::fontRestore_data()
{
    QTest::addColumn<SettingsFile::Values>("values");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("pitch");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");

    const int fixed = int(PrintFont::Pitch::Fixed);
    const int def = int(PrintFont::Pitch::Default);
    QTest::newRow("bold italic with blank")
        << SettingsFile::Values { { "FontDialog1_FontStyle", "[fsBold, fsItalic]" } } << "Arial" << 11 << -15 << def
        << true << true << false;
    QTest::newRow("unknown word skipped") << SettingsFile::Values { { "FontDialog1_FontStyle", "[fsBold,fsFett]" } }
                                          << "Arial" << 11 << -15 << def << true << false << false;
    QTest::newRow("style any case") << SettingsFile::Values { { "FontDialog1_FontStyle", "[FSUNDERLINE]" } } << "Arial"
                                    << 11 << -15 << def << false << false << true;
    QTest::newRow("pitch in capitals") << SettingsFile::Values { { "FontDialog1_FontPitch", "FPFIXED" } } << "Arial"
                                       << 11 << -15 << fixed << false << false << false;
    QTest::newRow("unknown pitch keeps it") << SettingsFile::Values { { "FontDialog1_FontPitch", "fpWide" } } << "Arial"
                                            << 11 << -15 << def << false << false << false;
    QTest::newRow("size decides over height")
        << SettingsFile::Values { { "FontDialog1_FontSize", "14" }, { "FontDialog1_FontHeight", "-15" } } << "Arial"
        << 14 << -19 << def << false << false << false;
    QTest::newRow("height alone") << SettingsFile::Values { { "FontDialog1_FontHeight", "-20" } } << "Arial" << 15
                                  << -20 << def << false << false << false;
    QTest::newRow("name") << SettingsFile::Values { { "FontDialog1_FontName", " Courier New " } } << "Courier New" << 11
                          << -15 << def << false << false << false;
    // Beyond what a page can show: the design font.
    QTest::newRow("huge size") << SettingsFile::Values { { "FontDialog1_FontSize", "2000000000" } } << "Arial" << 11
                               << -15 << def << false << false << false;
    QTest::newRow("lowest height") << SettingsFile::Values { { "FontDialog1_FontHeight", "-2147483648" } } << "Arial"
                                   << 11 << -15 << def << false << false << false;
    QTest::newRow("largest size") << SettingsFile::Values { { "FontDialog1_FontSize", "144" } } << "Arial" << 144
                                  << -192 << def << false << false << false;
    QTest::newRow("beyond the largest size") << SettingsFile::Values { { "FontDialog1_FontSize", "145" } } << "Arial"
                                             << 11 << -15 << def << false << false << false;
    QTest::newRow("largest height") << SettingsFile::Values { { "FontDialog1_FontHeight", "-192" } } << "Arial" << 144
                                    << -192 << def << false << false << false;
    QTest::newRow("beyond the largest height") << SettingsFile::Values { { "FontDialog1_FontHeight", "193" } }
                                               << "Arial" << 11 << -15 << def << false << false << false;
    QTest::newRow("negative size") << SettingsFile::Values { { "FontDialog1_FontSize", "-12" } } << "Arial" << 11 << -15
                                   << def << false << false << false;
    QTest::newRow("size no number") << SettingsFile::Values { { "FontDialog1_FontSize", "gross" } } << "Arial" << 0 << 0
                                    << def << false << false << false;
}

void TestSettings::fontRestore()
{
    QFETCH(SettingsFile::Values, values);
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(int, height);
    QFETCH(int, pitch);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QCOMPARE(WindowPlacement::screenPixelsPerInch(), 96);
    store(values);
    auto run = start();
    const PrintFont& font = run->form->printFont();
    QCOMPARE(font.name, name);
    QCOMPARE(font.size, size);
    QCOMPARE(font.height, height);
    QCOMPARE(int(font.pitch), pitch);
    QCOMPARE(font.bold, bold);
    QCOMPARE(font.italic, italic);
    QCOMPARE(font.underline, underline);
    QCOMPARE(font.strikeOut, false);
    QCOMPARE(font.charset, 0);
    QCOMPARE(font.color, PrintFont::kWindowTextColor);
}

void TestSettings::currencyRestore_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("trimmed") << "  USD  "
                             << "USD";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("umlaut") << "Währung"
                            << "Währung";
}

void TestSettings::currencyRestore()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    store({ { "CurrEd_Text", text } });
    auto run = start();
    QCOMPARE(currencyEdit(*run->form)->text(), shown);
}

void TestSettings::emptyCurrencyStoredEmpty()
{
    auto run = start();
    currencyEdit(*run->form)->setText("\t CHF \t");
    exit(*run);
    QCOMPARE(stored().value("CurrEd_Text", "missing"), QString("CHF"));
    run.reset();

    run = start();
    currencyEdit(*run->form)->clear();
    exit(*run);
    QCOMPARE(stored().value("CurrEd_Text", "missing"), QString(""));
}

void TestSettings::positionRestore_data()
{
    const QString res = WindowPlacement::resolutionSuffix();
    QTest::addColumn<SettingsFile::Values>("values");
    QTest::addColumn<QRect>("geometry");

    QTest::newRow("plain name") << SettingsFile::Values { { "NormPos", "100,50,700,550" } } << QRect(100, 50, 600, 500);
    QTest::newRow("this screen's name first") << SettingsFile::Values { { "NormPos" + res, "10,20,610,520" },
        { "NormPos", "100,50,700,550" } } << QRect(10, 20, 600, 500);
    QTest::newRow("another screen's name ignored") << SettingsFile::Values { { "NormPos(1x1)", "10,20,610,520" },
        { "NormPos", "100,50,700,550" } } << QRect(100, 50, 600, 500);
    QTest::newRow("blanks as separators")
        << SettingsFile::Values { { "NormPos", " 100 50, 700 ,550" } } << QRect(100, 50, 600, 500);
    QTest::newRow("missing words keep the bounds")
        << SettingsFile::Values { { "NormPos" + res, "100,50" } } << QRect(100, 50, 919 - 100, 595 - 50);
    QTest::newRow("junk word keeps the bound")
        << SettingsFile::Values { { "NormPos", "x,50,700,550" } } << QRect(223, 50, 700 - 223, 500);
    QTest::newRow("right not beyond left")
        << SettingsFile::Values { { "NormPos", "500,50,400,550" } } << QRect(223, 115, 696, 480);
    QTest::newRow("min max alone keeps the place")
        << SettingsFile::Values { { "MinMaxPos", "1,2,3,4" } } << QRect(223, 115, 696, 480);
    QTest::newRow("far off every screen")
        << SettingsFile::Values { { "NormPos" + res, "20000,20000,20600,20500" } } << QRect(0, 0, 600, 500);
    // A damaged value makes the window at most the desktop's size larger than it was, and puts it in sight.
    const QRect desktop = QGuiApplication::primaryScreen()->availableVirtualGeometry();
    const QSize largest = desktop.size() + QSize(696, 480);
    QTest::newRow("huge bounds") << SettingsFile::Values {
        { "NormPos" + res, "-2000000000,-2000000000,2000000000,2000000000" }
    } << QRect(desktop.topLeft(), largest);
    QTest::newRow("huge size") << SettingsFile::Values { { "NormPos" + res, "10,20,2000000000,2000000000" } }
                               << QRect(QPoint(10, 20), largest);
    QTest::newRow("integer limits") << SettingsFile::Values {
        { "NormPos" + res, "-2147483648,-2147483648,2147483647,2147483647" }
    } << QRect(desktop.topLeft(), largest);
    QTest::newRow("at the largest integer")
        << SettingsFile::Values { { "NormPos" + res, "2147483000,0,2147483647,500" } } << QRect(0, 0, 647, 500);
    // Stored on another screen or at another scale (nothing under this screen's name): brought wholly onto this
    // one, shrunk where it is larger.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QString beyond = QString("%1,%2,%3,%4")
                               .arg(area.right() - 99)
                               .arg(area.bottom() - 99)
                               .arg(area.right() + 301)
                               .arg(area.bottom() + 201);
    // What the window's frame adds to its size: the frame too lies within the screen.
    QWidget probe;
    probe.show();
    QVERIFY(QTest::qWaitForWindowExposed(&probe));
    const QSize frame = probe.frameGeometry().size() - probe.size();
    QTest::newRow("this screen: kept beyond the edge") << SettingsFile::Values { { "NormPos" + res, beyond } }
                                                       << QRect(area.right() - 99, area.bottom() - 99, 400, 300);
    QTest::newRow("another screen: beyond the right and bottom edges")
        << SettingsFile::Values { { "NormPos", beyond } }
        << QRect(QPoint(area.right() + 1, area.bottom() + 1) - QPoint(400 + frame.width(), 300 + frame.height()),
               QSize(400, 300));
    QTest::newRow("another screen: larger than this one") << SettingsFile::Values { { "NormPos(1x1)", "10,20,610,520" },
        { "NormPos", QString("-50,-40,%1,%2").arg(area.width() + 100).arg(area.height() + 100) } }
                                                          << QRect(area.topLeft(), area.size() - frame);
    QTest::newRow("another screen: huge bounds")
        << SettingsFile::Values { { "NormPos", "-2147483648,-2147483648,2147483647,2147483647" } }
        << QRect(area.topLeft(), area.size() - frame);
}

void TestSettings::positionRestore()
{
    QFETCH(SettingsFile::Values, values);
    QFETCH(QRect, geometry);
    values.insert("PixelsPerInch", QString::number(WindowPlacement::screenPixelsPerInch()));
    store(values);
    auto run = start();
    QCOMPARE(placement(*run->form), geometry);
    QVERIFY(run->dialogs.messages.isEmpty());
}

void TestSettings::smallScreen_data()
{
    QTest::addColumn<SettingsFile::Values>("values");
    const QString res = WindowPlacement::resolutionSuffix();
    QTest::newRow("nothing stored") << SettingsFile::Values {};
    QTest::newRow("stored at scale 1") << SettingsFile::Values { { "NormPos(1280x1024)", "446,230,1142,710" },
        { "NormPos", "446,230,1142,710" } };
    QTest::newRow("off every screen, under this screen's name")
        << SettingsFile::Values { { "NormPos" + res, "3000,-4000,3600,-3500" } };
}

// Run by its own ctest on a 1280 by 1024 screen at twice the scale; elsewhere the window fits as designed.
void TestSettings::smallScreen()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    if (area.width() >= 696 && area.height() >= 480)
        QSKIP("the screen is large enough for the designed window");
    QFETCH(SettingsFile::Values, values);
    values.insert("PixelsPerInch", QString::number(WindowPlacement::screenPixelsPerInch()));
    store(values);
    auto run = start();
    QVERIFY2(area.contains(run->form->frameGeometry()),
        qPrintable(QString("%1,%2 %3x%4")
                       .arg(run->form->x())
                       .arg(run->form->y())
                       .arg(run->form->width())
                       .arg(run->form->height())));
    exit(*run);
    // Stored as ever: four whole numbers, the place it had.
    const QRect shown = placement(*run->form);
    QCOMPARE(stored().value("NormPos"),
        QString("%1,%2,%3,%4")
            .arg(shown.left())
            .arg(shown.top())
            .arg(shown.left() + shown.width())
            .arg(shown.top() + shown.height()));
}

void TestSettings::differentPixelsPerInchKeepsPosition()
{
    store({ { "NormPos", "100,50,700,550" }, { "PixelsPerInch", "120" }, { "ShowCmd", "3" } });
    auto run = start();
    QVERIFY(run->form->isMaximized());
    exit(*run);
    QCOMPARE(stored().value("ShowCmd"), QString("3"));
    QCOMPARE(stored().value("NormPos"), QString("223,115,919,595"));
}

void TestSettings::showCommand_data()
{
    QTest::addColumn<QString>("showCmd");
    QTest::addColumn<int>("state");

    QTest::newRow("normal") << "1" << int(Qt::WindowNoState);
    QTest::newRow("minimized") << "2" << int(Qt::WindowMinimized);
    QTest::newRow("maximized") << "3" << int(Qt::WindowMaximized);
    QTest::newRow("zero") << "0" << int(Qt::WindowNoState);
    QTest::newRow("four") << "4" << int(Qt::WindowNoState);
    QTest::newRow("restore command") << "9" << int(Qt::WindowNoState);
    QTest::newRow("minimized without activation") << "7" << int(Qt::WindowMinimized);
    QTest::newRow("no number") << "max" << int(Qt::WindowNoState);
}

void TestSettings::showCommand()
{
    QFETCH(QString, showCmd);
    QFETCH(int, state);
    store({ { "ShowCmd", showCmd } });
    auto run = start();
    QCoreApplication::processEvents();
    QCOMPARE(int(run->form->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)), state);
    exit(*run);
    const QString written = state == Qt::WindowMinimized ? "2" : state == Qt::WindowMaximized ? "3" : "1";
    QCOMPARE(stored().value("ShowCmd"), written);
    QCOMPARE(stored().value("NormPos"), QString("223,115,919,595"));
}

void TestSettings::olderFormVersionRestoresNothing()
{
    store({ { "FormVersion", "-1" }, { "leftREd_Value", "30" }, { "NormPos", "100,50,700,550" }, { "ShowCmd", "3" },
        { "CurrEd_Text", "USD" } });
    auto run = start();
    QCOMPARE(run->form->leftMargin(), 15);
    QCOMPARE(currencyEdit(*run->form)->text(), QString("EUR"));
    QVERIFY(!run->form->isMaximized());
    QCOMPARE(placement(*run->form), QRect(223, 115, 696, 480));
    exit(*run);
    const SettingsFile::Values values = stored();
    QCOMPARE(values.value("FormVersion"), QString("0"));
    QCOMPARE(values.value("leftREd_Value"), QString("15"));
    QCOMPARE(values.value("CurrEd_Text"), QString("EUR"));
    QCOMPARE(values.value("NormPos"), QString("223,115,919,595"));
    QCOMPARE(values.size(), 24);
}

void TestSettings::damagedFile_data()
{
    QTest::addColumn<QByteArray>("content");

    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919 + 13) % 256));
    QTest::newRow("binary garbage") << garbage;
    QTest::newRow("garbage around the section") << QByteArray("\x01\xff[TMainForm\n=\n[TMainForm]\n\xfe\x80=\x01\n"
                                                              "leftREd_Value\n=70\n[]\n");
    QTest::newRow("another section only") << QByteArray("[TArtikelForm]\nleftREd_Value=30\nNormPos=1,2,300,400\n");
    QTest::newRow("wrong kinds") << QByteArray("[TMainForm]\nFormVersion=neu\nFlags=@ByteArray(x)\nShowCmd=[3]\n"
                                               "PixelsPerInch=96.0\nNormPos=a,b,c,d\nMinMaxPos=@Variant(\\0)\n"
                                               "leftREd_Value=@Variant(\\0\\0\\0\\x7f)\nRightREd_Value=[fsBold]\n"
                                               "FontDialog1_FontPitch=3\nFontDialog1_FontStyle=fsWide\n"
                                               "FontDialog1_FontCharset=ANSI\nPreisED_Value=1.2.3\n");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("NUL bytes") << QByteArray(512, '\0');
}

void TestSettings::damagedFile()
{
    QFETCH(QByteArray, content);
    QVERIFY(QDir().mkpath(QFileInfo(settingsPath()).absolutePath()));
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    auto run = start();
    QVERIFY(run->dialogs.messages.isEmpty());
    QCOMPARE(placement(*run->form), QRect(223, 115, 696, 480));
    QVERIFY(!run->form->isMaximized() && !run->form->isMinimized());
    QCOMPARE(leftMarginEdit(*run->form)->text(), QString("15"));
    QCOMPARE(rightMarginEdit(*run->form)->text(), QString("15"));
    QCOMPARE(priceEdit(*run->form)->text(), QString("0,00"));
    QCOMPARE(currencyEdit(*run->form)->text(), QString("EUR"));
    QCOMPARE(storesPanel(*run->form)->panelWidth(), 145);
    QCOMPARE(int(run->form->printFont().pitch), int(PrintFont::Pitch::Default));
    QCOMPARE(run->form->printFont().bold, false);

    exit(*run);
    const SettingsFile::Values values = stored();
    QCOMPARE(values.value("FormVersion"), QString("0"));
    QCOMPARE(values.value("leftREd_Value"), QString("15"));
    QCOMPARE(values.value("NormPos"), QString("223,115,919,595"));
}

void TestSettings::destroyWithoutCloseSaves()
{
    auto run = start();
    leftMarginEdit(*run->form)->setValue(22);
    run->form.reset();
    const SettingsFile::Values values = stored();
    QCOMPARE(values.value("Visible"), QString("1"));
    QCOMPARE(values.value("leftREd_Value"), QString("22"));
}

void TestSettings::neverShownSavesNothing()
{
    store({ { "leftREd_Value", "30" } });
    auto run = start(false);
    QVERIFY(!run->form->windowStateStore()->restored());
    run->form.reset();
    QCOMPARE(stored(), (SettingsFile::Values { { "leftREd_Value", "30" } }));
}

void TestSettings::unwritableStoreReportsAndCloses()
{
    // A file where the settings folder should be: nothing can be created below it.
    QFile blocker(m_dir->filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore::setFileOverride(blocker.fileName() + QStringLiteral("/korbana.conf"));

    auto run = start();
    QVERIFY(run->dialogs.messages.isEmpty());
    exit(*run);
    QVERIFY(!run->form->isVisible());
    QCOMPARE(run->dialogs.messages.size(), 2);
    const ScriptedDialogs::Message& report = run->dialogs.messages.at(1);
    QCOMPARE(report.text, QString("Erzeugung von Schlüssel TMainForm misslungen."));
    QCOMPARE(report.title, QString("Einkaufsliste 1.2"));
    QCOMPARE(report.icon, QMessageBox::Critical);
    QCOMPARE(report.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(!run->form->windowStateStore()->saved());

    // The destruction does not try once more: the failure has been reported.
    run->form.reset();
    QCOMPARE(run->dialogs.messages.size(), 2);
}

void TestSettings::restartBringsEverythingBack()
{
    auto run = start();
    MainWindow& form = *run->form;
    form.move(150, 60);
    form.resize(640, 420);
    topMarginEdit(form)->setValue(8);
    priceEdit(form)->setValue(3.75);
    currencyEdit(form)->setText("CHF");
    PrintFont font = form.printFont();
    font.name = "Courier New";
    font.setSize(13);
    font.bold = true;
    font.strikeOut = true;
    font.pitch = PrintFont::Pitch::Fixed;
    font.color = 0x0000FF;
    form.setPrintFont(font);
    listSplitter(form)->setSizes({ 100, 300, 234 });
    QCOMPARE(storesPanel(form)->panelWidth(), 100);
    exit(*run);
    QCOMPARE(stored().value("FontDialog1_FontStyle"), QString("[fsBold,fsStrikeOut]"));
    run.reset();

    run = start();
    MainWindow& again = *run->form;
    QCOMPARE(placement(again), QRect(150, 60, 640, 420));
    QCOMPARE(again.topMargin(), 8);
    QCOMPARE(priceEdit(again)->text(), QString("3,75"));
    QCOMPARE(currencyEdit(again)->text(), QString("CHF"));
    QCOMPARE(storesPanel(again)->panelWidth(), 100);
    QCOMPARE(productsPanel(again)->panelWidth(), 300);
    const PrintFont& restored = again.printFont();
    QCOMPARE(restored.name, QString("Courier New"));
    QCOMPARE(restored.size, 13);
    QCOMPARE(restored.height, -17);
    QVERIFY(restored.bold && restored.strikeOut && !restored.italic && !restored.underline);
    QCOMPARE(int(restored.pitch), int(PrintFont::Pitch::Fixed));
    QCOMPARE(restored.color, 0x0000FF);
    QVERIFY(run->dialogs.messages.isEmpty());
}

void TestSettings::paneWidthSavedFromTheOtherPage()
{
    auto run = start();
    listSplitter(*run->form)->setSizes({ 190, 224, 276 });
    // The lists' page is hidden while the settings page is shown: the panes keep their widths.
    pages(*run->form)->setCurrentIndex(1);
    QCOMPARE(storesPanel(*run->form)->panelWidth(), 190);
    exit(*run);
    QCOMPARE(stored().value("Panel1Laeden_Width"), QString("190"));
    QCOMPARE(stored().value("Panel1Produkte_Width"), QString("224"));
}

void TestSettings::scratchStoreForgetsBetweenWindows()
{
    // What the other tests' windows get: no override, every opening on a throwaway file.
    SettingsStore::setFileOverride(QString());
    auto run = start();
    leftMarginEdit(*run->form)->setValue(33);
    exit(*run);
    QVERIFY(run->form->windowStateStore()->saved());
    QVERIFY(run->dialogs.messages.size() == 1);
    run.reset();

    run = start();
    QCOMPARE(run->form->leftMargin(), 15);
    QVERIFY(run->dialogs.messages.isEmpty());
}

void TestSettings::recentFilesSurviveARestart()
{
    const QString first = m_dir->filePath(QStringLiteral("erste.kbl"));
    const QString second = m_dir->filePath(QStringLiteral("zweite.kbl"));
    for (const QString& path : { first, second }) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1\r\nMarkt\r\n0\r\n0\r\n");
    }
    {
        auto run = start();
        run->form->openFile(first);
        run->dialogs.fileAnswers = { second };
        run->form->saveAs();
        QCOMPARE(run->form->recentFiles(), QStringList({ second, first }));
        exit(*run);
    }

    auto run = start();
    MainWindow& form = *run->form;
    QCOMPARE(form.recentFiles(), QStringList({ second, first }));
    auto* menu = windowWidget<QMenu>(form, QStringLiteral("recentFilesMenu"));
    QStringList items;
    for (QAction* item : menu->actions())
        items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    QCOMPARE(items, QStringList({ "&1 " + second, "&2 " + first, "-", "&Liste leeren" }));

    // Chosen, it asks about unsaved lists first, as "Öffnen..." does; a file that no longer opens leaves the list.
    QVERIFY(QFile::remove(first));
    run->dialogs.answers = { QMessageBox::No };
    menu->actions().at(1)->trigger();
    QCOMPARE(run->dialogs.messages.first().title, QStringLiteral("Datei: Öffnen..."));
    QCOMPARE(run->dialogs.messages.size(), 2);
    QCOMPARE(form.recentFiles(), QStringList { second });
    // The file in front already, opened again (as the start file is at every start), writes nothing.
    SettingsFile::write(settingsPath(), QStringLiteral("RecentFiles"), { { "File1", "unberührt" } });
    run->dialogs.answers = { QMessageBox::No };
    menu->actions().at(0)->trigger();
    QCOMPARE(form.documentName(), second);
    QCOMPARE(SettingsFile::read(settingsPath(), QStringLiteral("RecentFiles")).value("File1"), "unberührt");
    windowWidget<QAction>(form, QStringLiteral("clearRecentFilesAction"))->trigger();
    QCOMPARE(form.recentFiles(), QStringList());
    QCOMPARE(SettingsFile::read(settingsPath(), QStringLiteral("RecentFiles")).value("File1", "-"), QString());
}

QTEST_MAIN(TestSettings)
void TestSettings::fullDiskKeepsTheOldSettings()
{
    store({ { "leftREd_Value", "30" }, { "CurrEd_Text", "CHF" } });
    QFile old(settingsPath());
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    auto run = start();
    leftMarginEdit(*run->form)->setValue(40);
    // A file size limit makes the writes fail the way a full disk does.
    {
        const FileSizeLimit limit(200);
        if (!limit.active())
            QSKIP("needs a file size limit");
        exit(*run);
    }
    QFile f(settingsPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QCOMPARE(run->dialogs.texts(),
        QStringList({ QStringLiteral("Wollen Sie die nicht gesicherten Daten speichern?"),
            QStringLiteral("Konnte Daten für 'FormVersion' nicht setzen.") }));
    QVERIFY(!run->form->isVisible());
}

#include "tst_settings.moc"
