#include "ScriptedDialogs.h"
#include "controls/BitmapButton.h"
#include "ui/AboutDialog.h"
#include "ui/ProductDialog.h"
#include "ui/HeaderBar.h"
#include "ui/JpegPicture.h"
#include "ui/MainWindow.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray testData(const char* name)
{
    QFile file(qEnvironmentVariable("KORBANA_TEST_DATA") + u'/' + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void showActive(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
}

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void windowFrame();
    void controlPlaces_data();
    void controlPlaces();
    void panelColourAndTexts();
    void pictureDecodedByLibjpeg();
    void jpegVariants();
    void brokenJpegRefused_data();
    void brokenJpegRefused();
    void yearFilledIn();
    void yearRule_data();
    void yearRule();
    void webButtonOpensAddress();
    void keyboardOnFirstShow();
    void productDialogEnterAndEscape();
    void productDialogButtons();
    void helpFromProgramDirectory();
    void aboutCommandShowsTheOneBox();
    void fontButtonHasGlyph();

private:
    ScriptedDialogs m_dialogs;
};

void TestAboutBox::initTestCase()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
}

void TestAboutBox::windowFrame()
{
    AboutDialog box(m_dialogs);
    QCOMPARE(box.windowTitle(), QStringLiteral("Info"));
    QCOMPARE(box.size(), QSize(664, 453));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QVERIFY(!(box.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(box.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(box.windowFlags() & Qt::WindowCloseButtonHint);
}

void TestAboutBox::controlPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("geometry");
    const QString panel = QStringLiteral("Panel1");
    const QString box = QStringLiteral("TAboutBox");
    QTest::newRow("Panel1") << panel << box << QRect(8, 8, 649, 385);
    QTest::newRow("ProgramIcon") << QStringLiteral("ProgramIcon") << panel << QRect(16, 40, 306, 322);
    QTest::newRow("ProductName") << QStringLiteral("ProductName") << panel << QRect(8, 8, 406, 27);
    QTest::newRow("Comments") << QStringLiteral("Comments") << panel << QRect(336, 56, 257, 33);
    QTest::newRow("Label1") << QStringLiteral("Label1") << panel << QRect(336, 96, 283, 13);
    QTest::newRow("Label2") << QStringLiteral("Label2") << panel << QRect(336, 112, 238, 13);
    QTest::newRow("Label3") << QStringLiteral("Label3") << panel << QRect(336, 128, 238, 121);
    QTest::newRow("BitBtnXP1") << QStringLiteral("BitBtnXP1") << panel << QRect(336, 240, 169, 25);
    QTest::newRow("BitBtn1") << QStringLiteral("BitBtn1") << box << QRect(241, 404, 181, 37);
}

void TestAboutBox::controlPlaces()
{
    QFETCH(QString, name);
    QFETCH(QString, parentName);
    QFETCH(QRect, geometry);
    AboutDialog box(m_dialogs);
    auto* widget = box.findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parentName);
    QCOMPARE(widget->geometry(), geometry);
}

void TestAboutBox::panelColourAndTexts()
{
    AboutDialog box(m_dialogs);
    const QImage panel = box.Panel1->grab().toImage();
    QCOMPARE(QColor(panel.pixel(640, 375)), QColor(240, 202, 166));
    QCOMPARE(box.Label1->text(), QStringLiteral("Vertrauen Sie auf deutsche Qualität bei Software."));
    QVERIFY(box.Label1->font().bold());
    QVERIFY(box.ProductName->text().contains(QStringLiteral("TALVEN")));
    QVERIFY(box.ProductName->font().bold());
    QCOMPARE(box.ProductName->font().pixelSize(), 24);
    QVERIFY(box.Comments->text().contains(QStringLiteral("(info@talven.example)")));
    QVERIFY(box.Comments->wordWrap());
    QVERIFY(box.Label3->text().contains(QStringLiteral("https://www.talven.example\n")));
    QVERIFY(box.Label3->wordWrap());
    QCOMPARE(box.BitBtnXP1->text(), QStringLiteral("https://www.talven.example"));
    QCOMPARE(box.BitBtnXP1->numGlyphs(), 2);
    QCOMPARE(box.BitBtn1->kind(), ButtonKind::Ok);
    QCOMPARE(box.BitBtn1->text(), QStringLiteral("OK"));
}

void TestAboutBox::pictureDecodedByLibjpeg()
{
    QFile file(QStringLiteral(":/about/ProgramIcon.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    // Progressive: the start-of-frame marker is SOF2.
    QVERIFY(data.contains(QByteArray("\xff\xc2", 2)));
    QString error;
    const QImage image = decodeJpeg(data, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.size(), QSize(306, 322));
    QVERIFY(!image.allGray());

    AboutDialog box(m_dialogs);
    QCOMPARE(box.ProgramIcon->pixmap().size(), QSize(306, 322));
    QVERIFY(box.ProgramIcon->hasScaledContents());
}

void TestAboutBox::jpegVariants()
{
    // CMYK as Adobe writes it (inverted); libjpeg gives no RGB for it, the decoder converts.
    const QImage red = decodeJpeg(testData("cmyk_red.jpg"));
    QCOMPARE(red.size(), QSize(8, 8));
    const QColor pixel = red.pixelColor(4, 4);
    QVERIFY2(pixel.red() > 200 && pixel.green() < 60 && pixel.blue() < 60, qPrintable(pixel.name()));

    const QImage grey = decodeJpeg(testData("gray.jpg"));
    QCOMPARE(grey.size(), QSize(8, 8));
    QVERIFY(grey.allGray());
}

void TestAboutBox::brokenJpegRefused_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no JPEG") << QByteArray("GIF89a, not a JPEG at all");
    QTest::newRow("truncated") << testData("truncated.jpg");
    QTest::newRow("header only") << testData("truncated.jpg").left(2);
    // A header that claims a picture of 65000 by 65000 pixels, with hardly any data behind it.
    QFile picture(QStringLiteral(":/about/ProgramIcon.jpg"));
    QVERIFY(picture.open(QIODevice::ReadOnly));
    QByteArray huge = picture.readAll().left(4096);
    const qsizetype frame = huge.indexOf("\xff\xc2");
    QVERIFY(frame > 0);
    huge[frame + 5] = huge[frame + 7] = char(0xfd);
    huge[frame + 6] = huge[frame + 8] = char(0xe8);
    QTest::newRow("huge and truncated") << huge;
}

void TestAboutBox::brokenJpegRefused()
{
    QFETCH(QByteArray, data);
    QString error;
    QVERIFY(decodeJpeg(data, &error).isNull());
    QVERIFY(!error.isEmpty());
}

void TestAboutBox::yearFilledIn()
{
    AboutDialog box(m_dialogs);
    const QString year = QString::number(QDate::currentDate().year());
    QVERIFY(box.Copyright->text().contains(year));
    QVERIFY(!box.Copyright->text().contains(QStringLiteral("XXXX")));
    QCOMPARE(box.Copyright->parentWidget(), box.Panel1);

    // Shown again it stays as it was: the year is filled in once.
    const QString text = box.Copyright->text();
    box.FormCreate();
    box.show();
    box.hide();
    box.show();
    QCOMPARE(box.Copyright->text(), text);
}

void TestAboutBox::yearRule_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("expected");
    QTest::newRow("placeholder") << QStringLiteral("© XXXX TALVEN") << 2026 << QStringLiteral("© 2026 TALVEN");
    QTest::newRow("first only") << QStringLiteral("XXXX-XXXX") << 2027 << QStringLiteral("2027-XXXX");
    QTest::newRow("five X") << QStringLiteral("XXXXX") << 2030 << QStringLiteral("2030X");
    QTest::newRow("no leading zeros") << QStringLiteral("Jahr XXXX") << 987 << QStringLiteral("Jahr 987");
    QTest::newRow("none") << QStringLiteral("Copyright TALVEN") << 2026 << QStringLiteral("Copyright TALVEN");
    QTest::newRow("lower case is no placeholder") << QStringLiteral("xxxx") << 2026 << QStringLiteral("xxxx");
}

void TestAboutBox::yearRule()
{
    QFETCH(QString, caption);
    QFETCH(int, year);
    QFETCH(QString, expected);
    QCOMPARE(AboutDialog::withYear(caption, year), expected);
}

void TestAboutBox::webButtonOpensAddress()
{
    ScriptedDialogs dialogs;
    AboutDialog box(dialogs);
    box.show();
    box.BitBtnXP1->click();
    QCOMPARE(dialogs.openedUrls, QStringList { QStringLiteral("https://www.talven.example") });
    QVERIFY(box.isVisible());
}

void TestAboutBox::keyboardOnFirstShow()
{
    ScriptedDialogs dialogs;
    AboutDialog box(dialogs);
    showActive(&box);
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QTRY_COMPARE(QApplication::focusWidget(), box.BitBtnXP1);
    QVERIFY(box.BitBtnXP1->defaultLook());
    QVERIFY(!box.BitBtn1->defaultLook());

    QTest::keyClick(box.BitBtnXP1, Qt::Key_Return);
    QTest::keyClick(box.BitBtnXP1, Qt::Key_Space);
    QCOMPARE(dialogs.openedUrls.size(), 2);
    QVERIFY(box.isVisible());

    QTest::keyClick(box.BitBtnXP1, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), box.BitBtn1);
    QVERIFY(box.BitBtn1->defaultLook());
    QTest::keyClick(box.BitBtn1, Qt::Key_Return);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
    QCOMPARE(dialogs.openedUrls.size(), 2);
}

void TestAboutBox::productDialogEnterAndEscape()
{
    ProductDialog form;
    QSignalSpy okClicks(form.BitBtn1, &BitmapButton::activated);
    QSignalSpy cancelClicks(form.BitBtn2, &BitmapButton::activated);

    showActive(&form);
    form.Edit1->setFocus();
    QTRY_VERIFY(form.Edit1->hasFocus());
    QTest::keyClicks(form.Edit1, QStringLiteral("Milch"));
    QTest::keyClick(form.Edit1, Qt::Key_Return);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(okClicks.count(), 1);

    showActive(&form);
    form.Edit2->setFocus();
    QTRY_VERIFY(form.Edit2->hasFocus());
    QTest::keyClick(form.Edit2, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(cancelClicks.count(), 1);
    QCOMPARE(okClicks.count(), 1);

    // exec() ends with Accepted for OK, as the editing command expects.
    QTimer::singleShot(0, form.BitBtn1, &QAbstractButton::click);
    QCOMPARE(form.exec(), int(QDialog::Accepted));
    QTimer::singleShot(0, form.BitBtn2, &QAbstractButton::click);
    QCOMPARE(form.exec(), int(QDialog::Rejected));
}

void TestAboutBox::productDialogButtons()
{
    ProductDialog form;
    QCOMPARE(form.BitBtn1->kind(), ButtonKind::Ok);
    QCOMPARE(form.BitBtn1->text(), QStringLiteral("OK"));
    QVERIFY(form.BitBtn1->isDefaultButton());
    QCOMPARE(form.BitBtn2->kind(), ButtonKind::Cancel);
    QCOMPARE(form.BitBtn2->text(), QStringLiteral("Cancel"));
    QVERIFY(form.BitBtn2->isCancelButton());
    QCOMPARE(form.BitBtn2->modalResult(), 2);
    // OK stands left of Cancel.
    QVERIFY(form.BitBtn1->x() < form.BitBtn2->x());
}

void TestAboutBox::helpFromProgramDirectory()
{
    QTemporaryDir programDir;
    QTemporaryDir workingDir;
    QVERIFY(programDir.isValid() && workingDir.isValid());
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workingDir.path()));
    QFile(workingDir.filePath(QStringLiteral("korbana.chm"))).open(QIODevice::WriteOnly);

    ScriptedDialogs dialogs;
    MainWindow form(dialogs, programDir.path());
    form.Hilfe2Click();
    QDir::setCurrent(oldCurrent);
    QCOMPARE(dialogs.openedUrls, QStringList { programDir.path() + QStringLiteral("/korbana.chm") });
}

void TestAboutBox::aboutCommandShowsTheOneBox()
{
    QTemporaryDir programDir;
    ScriptedDialogs dialogs;
    MainWindow form(dialogs, programDir.path());
    AboutDialog box(dialogs, &form);
    form.AboutBox = &box;
    const QString copyright = box.Copyright->text();
    form.berdasProgramm1Click();
    form.berdasProgramm1Click();
    QCOMPARE(dialogs.executed, (QList<QDialog*> { &box, &box }));
    QCOMPARE(box.Copyright->text(), copyright);
    QVERIFY(dialogs.openedUrls.isEmpty());
}

void TestAboutBox::fontButtonHasGlyph()
{
    QTemporaryDir programDir;
    ScriptedDialogs dialogs;
    MainWindow form(dialogs, programDir.path());
    QCOMPARE(form.FontBtn->text(), QStringLiteral("&Schriftart"));
    QCOMPARE(form.FontBtn->glyph().size(), QSize(36, 18));
    QCOMPARE(form.FontBtn->numGlyphs(), 2);
    QCOMPARE(form.FontBtn->geometry().size(), QSize(113, 25));
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutdialog.moc"
