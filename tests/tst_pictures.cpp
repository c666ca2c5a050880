#include "controls/Pictures.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace korbana;

// Pictures made late or read without asking every image-format plugin, so that the program starts quickly.
class TestPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsWithItsOwnFormat_data();
    void readsWithItsOwnFormat();
    void deferredIconIsMadeOnceWhenDrawn();
    void overflowIconsAsTheStyleDrawsThem_data();
    void overflowIconsAsTheStyleDrawsThem();
};

void TestPictures::readsWithItsOwnFormat_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<bool>("readable");
    QTest::newRow("window icon") << ":/icons/korbana-32.png" << QByteArray("png") << true;
    QTest::newRow("font button glyph") << ":/glyphs/FONTBTN.bmp" << QByteArray("bmp") << true;
    QTest::newRow("settings picture") << ":/pictures/einstellungen.gif" << QByteArray("gif") << true;
    // The wrong reader reads nothing rather than guessing.
    QTest::newRow("PNG read as BMP") << ":/icons/korbana-32.png" << QByteArray("bmp") << false;
}

void TestPictures::readsWithItsOwnFormat()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, format);
    QFETCH(bool, readable);
    const QImage image = Pictures::read(path, format.constData());
    QCOMPARE(!image.isNull(), readable);
    // The same picture as Qt's own reader, which looks at every plugin, gives.
    if (readable)
        QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), QImage(path).convertToFormat(QImage::Format_ARGB32));
}

void TestPictures::deferredIconIsMadeOnceWhenDrawn()
{
    int made = 0;
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const QIcon icon = Pictures::deferred([&] {
        ++made;
        return QIcon(QPixmap::fromImage(red));
    });
    // Set on a button and laid out: nothing made yet.
    QToolButton button;
    button.setIcon(icon);
    button.setIconSize(QSize(16, 16));
    QVERIFY(!button.sizeHint().isEmpty());
    const QIcon copy = icon;
    QCOMPARE(made, 0);
    QVERIFY(!icon.isNull());

    QCOMPARE(copy.pixmap(16, 16).toImage().pixel(8, 8), QColor(Qt::red).rgb());
    QImage painted(16, 16, QImage::Format_ARGB32);
    painted.fill(Qt::white);
    QPainter painter(&painted);
    icon.paint(&painter, painted.rect());
    painter.end();
    QCOMPARE(painted.pixel(8, 8), QColor(Qt::red).rgb());
    QCOMPARE(made, 1);
}

void TestPictures::overflowIconsAsTheStyleDrawsThem_data()
{
    QTest::addColumn<int>("standardIcon");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::newRow("menu bar overflow") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::LeftToRight;
    QTest::newRow("menu bar overflow, right to left")
        << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::RightToLeft;
    QTest::newRow("vertical overflow") << int(QStyle::SP_ToolBarVerticalExtensionButton) << Qt::LeftToRight;
    QTest::newRow("search field's clear button") << int(QStyle::SP_LineEditClearButton) << Qt::LeftToRight;
    QTest::newRow("search field's clear button, right to left")
        << int(QStyle::SP_LineEditClearButton) << Qt::RightToLeft;
    QTest::newRow("any other icon") << int(QStyle::SP_DialogOkButton) << Qt::LeftToRight;
}

void TestPictures::overflowIconsAsTheStyleDrawsThem()
{
    QFETCH(int, standardIcon);
    QFETCH(Qt::LayoutDirection, direction);
    const auto which = QStyle::StandardPixmap(standardIcon);
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    Pictures::DeferredIconsStyle deferring(QStyleFactory::create(QStringLiteral("Fusion")));
    QWidget asking;
    asking.setLayoutDirection(direction);
    QStyleOption option;
    option.direction = direction;
    const QImage expected = fusion->standardIcon(which, &option, &asking).pixmap(16, 16).toImage();
    const QImage got = deferring.standardIcon(which, nullptr, &asking).pixmap(16, 16).toImage();
    QVERIFY(!expected.isNull());
    QCOMPARE(got, expected);
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
