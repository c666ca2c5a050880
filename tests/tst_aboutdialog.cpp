#include "ScriptedDialogs.h"
#include "WindowWidgets.h"
#include "controls/BitmapButton.h"
#include "ui/AboutDialog.h"
#include "ui/HeaderBar.h"
#include "ui/JpegPicture.h"
#include "ui/MainWindow.h"
#include "ui/ProductDialog.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace korbana;

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

class TestAboutDialog : public QObject
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
    void productDialogCaptionsWhole_data();
    void productDialogCaptionsWhole();
    void helpFromProgramDirectory();
    void aboutCommandShowsTheOneBox();
    void fontButtonHasGlyph();

private:
    ScriptedDialogs m_dialogs;
};

void TestAboutDialog::initTestCase()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
}

void TestAboutDialog::windowFrame()
{
    AboutDialog box(m_dialogs);
    QCOMPARE(box.windowTitle(), QStringLiteral("Info"));
    QCOMPARE(box.size(), QSize(664, 453));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QVERIFY(!(box.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(box.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(box.windowFlags() & Qt::WindowCloseButtonHint);
}

void TestAboutDialog::controlPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("geometry");
    const QString panel = QStringLiteral("aboutPanel");
    const QString box = QStringLiteral("aboutDialog");
    QTest::newRow("panel") << panel << box << QRect(8, 8, 649, 385);
    QTest::newRow("picture") << QStringLiteral("picture") << panel << QRect(16, 40, 306, 322);
    QTest::newRow("product name") << QStringLiteral("productName") << panel << QRect(8, 8, 406, 27);
    QTest::newRow("comments") << QStringLiteral("comments") << panel << QRect(336, 56, 257, 33);
    QTest::newRow("trust") << QStringLiteral("trust") << panel << QRect(336, 96, 283, 13);
    QTest::newRow("since") << QStringLiteral("since") << panel << QRect(336, 112, 238, 13);
    QTest::newRow("website") << QStringLiteral("website") << panel << QRect(336, 128, 238, 121);
    QTest::newRow("web button") << QStringLiteral("webButton") << panel << QRect(336, 240, 169, 25);
    QTest::newRow("ok button") << QStringLiteral("okButton") << box << QRect(241, 404, 181, 37);
}

void TestAboutDialog::controlPlaces()
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

void TestAboutDialog::panelColourAndTexts()
{
    AboutDialog box(m_dialogs);
    const QImage panel = windowWidget<HeaderBar>(box, QStringLiteral("aboutPanel"))->grab().toImage();
    QCOMPARE(QColor(panel.pixel(640, 375)), QColor(240, 202, 166));
    QCOMPARE(windowWidget<QLabel>(box, QStringLiteral("trust"))->text(),
        QStringLiteral("Vertrauen Sie auf deutsche Qualität bei Software."));
    QVERIFY(windowWidget<QLabel>(box, QStringLiteral("trust"))->font().bold());
    QVERIFY(windowWidget<QLabel>(box, QStringLiteral("productName"))->text().contains(QStringLiteral("TALVEN")));
    QVERIFY(windowWidget<QLabel>(box, QStringLiteral("productName"))->font().bold());
    QCOMPARE(windowWidget<QLabel>(box, QStringLiteral("productName"))->font().pixelSize(), 24);
    QVERIFY(windowWidget<QLabel>(box, QStringLiteral("comments"))
                ->text()
                .contains(QStringLiteral("(info@talven.example)")));
    QVERIFY(windowWidget<QLabel>(box, QStringLiteral("comments"))->wordWrap());
    QVERIFY(windowWidget<QLabel>(box, QStringLiteral("website"))
                ->text()
                .contains(QStringLiteral("https://www.talven.example\n")));
    QVERIFY(windowWidget<QLabel>(box, QStringLiteral("website"))->wordWrap());
    QCOMPARE(windowWidget<BitmapButton>(box, QStringLiteral("webButton"))->text(),
        QStringLiteral("https://www.talven.example"));
    QCOMPARE(windowWidget<BitmapButton>(box, QStringLiteral("webButton"))->numGlyphs(), 2);
    QCOMPARE(windowWidget<BitmapButton>(box, QStringLiteral("okButton"))->kind(), ButtonKind::Ok);
    QCOMPARE(windowWidget<BitmapButton>(box, QStringLiteral("okButton"))->text(), QStringLiteral("OK"));
}

void TestAboutDialog::pictureDecodedByLibjpeg()
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
    // Decoded only when the box is first shown.
    QVERIFY(windowWidget<QLabel>(box, QStringLiteral("picture"))->pixmap().isNull());
    box.show();
    QCOMPARE(windowWidget<QLabel>(box, QStringLiteral("picture"))->pixmap().size(), QSize(306, 322));
    QVERIFY(windowWidget<QLabel>(box, QStringLiteral("picture"))->hasScaledContents());
}

void TestAboutDialog::jpegVariants()
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

void TestAboutDialog::brokenJpegRefused_data()
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

void TestAboutDialog::brokenJpegRefused()
{
    QFETCH(QByteArray, data);
    QString error;
    QVERIFY(decodeJpeg(data, &error).isNull());
    QVERIFY(!error.isEmpty());
}

void TestAboutDialog::yearFilledIn()
{
    AboutDialog box(m_dialogs);
    const QString year = QString::number(QDate::currentDate().year());
    QVERIFY(windowWidget<QLabel>(box, QStringLiteral("copyright"))->text().contains(year));
    QVERIFY(!windowWidget<QLabel>(box, QStringLiteral("copyright"))->text().contains(QStringLiteral("XXXX")));
    QCOMPARE(windowWidget<QLabel>(box, QStringLiteral("copyright"))->parentWidget(),
        windowWidget<HeaderBar>(box, QStringLiteral("aboutPanel")));

    // Shown again it stays as it was: the year is filled in once.
    const QString text = windowWidget<QLabel>(box, QStringLiteral("copyright"))->text();
    box.show();
    box.hide();
    box.show();
    QCOMPARE(windowWidget<QLabel>(box, QStringLiteral("copyright"))->text(), text);
}

void TestAboutDialog::yearRule_data()
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

void TestAboutDialog::yearRule()
{
    QFETCH(QString, caption);
    QFETCH(int, year);
    QFETCH(QString, expected);
    QCOMPARE(AboutDialog::withYear(caption, year), expected);
}

void TestAboutDialog::webButtonOpensAddress()
{
    ScriptedDialogs dialogs;
    AboutDialog box(dialogs);
    box.show();
    windowWidget<BitmapButton>(box, QStringLiteral("webButton"))->click();
    QCOMPARE(dialogs.openedUrls, QStringList { QStringLiteral("https://www.talven.example") });
    QVERIFY(box.isVisible());
}

void TestAboutDialog::keyboardOnFirstShow()
{
    ScriptedDialogs dialogs;
    AboutDialog box(dialogs);
    showActive(&box);
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QTRY_COMPARE(QApplication::focusWidget(), windowWidget<BitmapButton>(box, QStringLiteral("webButton")));
    QVERIFY(windowWidget<BitmapButton>(box, QStringLiteral("webButton"))->defaultLook());
    QVERIFY(!windowWidget<BitmapButton>(box, QStringLiteral("okButton"))->defaultLook());

    QTest::keyClick(windowWidget<BitmapButton>(box, QStringLiteral("webButton")), Qt::Key_Return);
    QTest::keyClick(windowWidget<BitmapButton>(box, QStringLiteral("webButton")), Qt::Key_Space);
    QCOMPARE(dialogs.openedUrls.size(), 2);
    QVERIFY(box.isVisible());

    QTest::keyClick(windowWidget<BitmapButton>(box, QStringLiteral("webButton")), Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), windowWidget<BitmapButton>(box, QStringLiteral("okButton")));
    QVERIFY(windowWidget<BitmapButton>(box, QStringLiteral("okButton"))->defaultLook());
    QTest::keyClick(windowWidget<BitmapButton>(box, QStringLiteral("okButton")), Qt::Key_Return);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
    QCOMPARE(dialogs.openedUrls.size(), 2);
}

void TestAboutDialog::productDialogEnterAndEscape()
{
    ProductDialog form;
    QSignalSpy okClicks(windowWidget<BitmapButton>(form, QStringLiteral("okButton")), &BitmapButton::activated);
    QSignalSpy cancelClicks(windowWidget<BitmapButton>(form, QStringLiteral("cancelButton")), &BitmapButton::activated);

    showActive(&form);
    windowWidget<QLineEdit>(form, QStringLiteral("nameEdit"))->setFocus();
    QTRY_VERIFY(windowWidget<QLineEdit>(form, QStringLiteral("nameEdit"))->hasFocus());
    QTest::keyClicks(windowWidget<QLineEdit>(form, QStringLiteral("nameEdit")), QStringLiteral("Milch"));
    QTest::keyClick(windowWidget<QLineEdit>(form, QStringLiteral("nameEdit")), Qt::Key_Return);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(okClicks.count(), 1);

    showActive(&form);
    windowWidget<QLineEdit>(form, QStringLiteral("priceEdit"))->setFocus();
    QTRY_VERIFY(windowWidget<QLineEdit>(form, QStringLiteral("priceEdit"))->hasFocus());
    QTest::keyClick(windowWidget<QLineEdit>(form, QStringLiteral("priceEdit")), Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(cancelClicks.count(), 1);
    QCOMPARE(okClicks.count(), 1);

    // exec() ends with Accepted for OK, as the editing command expects.
    QTimer::singleShot(0, windowWidget<BitmapButton>(form, QStringLiteral("okButton")), &QAbstractButton::click);
    QCOMPARE(form.exec(), int(QDialog::Accepted));
    QTimer::singleShot(0, windowWidget<BitmapButton>(form, QStringLiteral("cancelButton")), &QAbstractButton::click);
    QCOMPARE(form.exec(), int(QDialog::Rejected));
}

void TestAboutDialog::productDialogButtons()
{
    ProductDialog form;
    QCOMPARE(windowWidget<BitmapButton>(form, QStringLiteral("okButton"))->kind(), ButtonKind::Ok);
    QCOMPARE(windowWidget<BitmapButton>(form, QStringLiteral("okButton"))->text(), QStringLiteral("OK"));
    QVERIFY(windowWidget<BitmapButton>(form, QStringLiteral("okButton"))->isDefaultButton());
    QCOMPARE(windowWidget<BitmapButton>(form, QStringLiteral("cancelButton"))->kind(), ButtonKind::Cancel);
    QCOMPARE(windowWidget<BitmapButton>(form, QStringLiteral("cancelButton"))->text(), QStringLiteral("Abbrechen"));
    QVERIFY(windowWidget<BitmapButton>(form, QStringLiteral("cancelButton"))->isCancelButton());
    QCOMPARE(windowWidget<BitmapButton>(form, QStringLiteral("cancelButton"))->modalResult(), 2);
    // OK stands left of Cancel.
    QVERIFY(windowWidget<BitmapButton>(form, QStringLiteral("okButton"))->x()
        < windowWidget<BitmapButton>(form, QStringLiteral("cancelButton"))->x());
}

void TestAboutDialog::productDialogCaptionsWhole_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("points"); // the dialog's font; 0 for the default
    QTest::addColumn<int>("inkWidth"); // at least this wide, glyph and caption together
    QTest::newRow("OK") << "okButton" << 0 << 30;
    QTest::newRow("Abbrechen") << "cancelButton" << 0 << 40;
    QTest::newRow("Abbrechen, larger font") << "cancelButton" << 12 << 40;
    QTest::newRow("Abbrechen, large font") << "cancelButton" << 16 << 40;
}

void TestAboutDialog::productDialogCaptionsWhole()
{
    QFETCH(QString, button);
    QFETCH(int, points);
    ProductDialog form;
    if (points > 0) {
        QFont font = form.font();
        font.setPointSize(points);
        form.setFont(font);
    }
    showActive(&form);
    // The dialog keeps its size.
    QCOMPARE(form.size(), QSize(275, 168));
    auto* shown = windowWidget<BitmapButton>(form, button);
    const QImage image = shown->grab().toImage();
    // Glyph and letters are the dark pixels; none of them may touch the button's edges, where a cut word ends.
    int left = image.width();
    int right = -1;
    for (int y = 3; y < image.height() - 3; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).lightness() < 90) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    QVERIFY(right > left);
    QVERIFY2(left >= 3, qPrintable(QString::number(left)));
    QVERIFY2(right <= image.width() - 4, qPrintable(QString::number(right)));
    // Narrowed where it had to be, the caption is still a readable size.
    QFETCH(int, inkWidth);
    QVERIFY2(right - left >= inkWidth, qPrintable(QString::number(right - left)));
}

void TestAboutDialog::helpFromProgramDirectory()
{
    QTemporaryDir programDir;
    QTemporaryDir workingDir;
    QVERIFY(programDir.isValid() && workingDir.isValid());
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workingDir.path()));
    QFile(workingDir.filePath(QStringLiteral("korbana.chm"))).open(QIODevice::WriteOnly);
    QDir(workingDir.path()).mkpath(QStringLiteral("help"));
    QFile(workingDir.filePath(QStringLiteral("help/index.htm"))).open(QIODevice::WriteOnly);

    ScriptedDialogs dialogs;
    MainWindow form(dialogs, programDir.path());
    form.showHelp();
    QDir::setCurrent(oldCurrent);
#ifdef Q_OS_WIN
    QCOMPARE(dialogs.openedUrls, QStringList { programDir.path() + QStringLiteral("/korbana.chm") });
#else
    // The HTML help is looked for from the program's folder too, and that one has none.
    QVERIFY(dialogs.openedUrls.isEmpty());
#endif
}

void TestAboutDialog::aboutCommandShowsTheOneBox()
{
    QTemporaryDir programDir;
    ScriptedDialogs dialogs;
    MainWindow form(dialogs, programDir.path());
    AboutDialog box(dialogs, &form);
    form.setAboutDialog(&box);
    const QString copyright = windowWidget<QLabel>(box, QStringLiteral("copyright"))->text();
    form.showAbout();
    form.showAbout();
    QCOMPARE(dialogs.executed, (QList<QDialog*> { &box, &box }));
    QCOMPARE(windowWidget<QLabel>(box, QStringLiteral("copyright"))->text(), copyright);
    QVERIFY(dialogs.openedUrls.isEmpty());
}

void TestAboutDialog::fontButtonHasGlyph()
{
    QTemporaryDir programDir;
    ScriptedDialogs dialogs;
    MainWindow form(dialogs, programDir.path());
    QCOMPARE(fontButton(form)->text(), QStringLiteral("&Schriftart"));
    QCOMPARE(fontButton(form)->glyph().size(), QSize(36, 18));
    QCOMPARE(fontButton(form)->numGlyphs(), 2);
    QCOMPARE(fontButton(form)->geometry().size(), QSize(113, 25));
}

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
