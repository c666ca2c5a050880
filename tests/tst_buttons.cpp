#include "controls/BitmapButton.h"
#include "controls/Pictures.h"
#include "controls/VisualThemes.h"

#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

using namespace korbana;

Q_DECLARE_METATYPE(ButtonLayout)
Q_DECLARE_METATYPE(ButtonKind)

namespace {

// A glyph bitmap of the given size: olive background, a black mark in each image.
QImage glyphBitmap(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 0));
    image.setPixel(1, 1, qRgb(0, 0, 0));
    return image;
}

// First pixel (row by row) of the colour, or (-1, -1).
QPoint firstPixel(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) | 0xff000000u) == (colour | 0xff000000u))
                return { x, y };
        }
    }
    return { -1, -1 };
}

bool hasColour(const QImage& image, QRgb colour)
{
    return firstPixel(image, colour) != QPoint(-1, -1);
}

QImage grabbed(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void sendMouse(QWidget* widget, QEvent::Type type)
{
    const QPointF pos(10, 10);
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton,
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestButtons : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutPositions_data();
    void layoutPositions();
    void numGlyphsFromShape_data();
    void numGlyphsFromShape();
    void numGlyphsWrite();
    void kindTable_data();
    void kindTable();
    void kindReadsCustomAfterChange_data();
    void kindReadsCustomAfterChange();
    void kindSetAgainRestores();
    void marginBelowMinusOneRefused();
    void glyphListReusesLowestSlot();
    void glyphCacheLifetime();
    void glyphListsSharedBySize();
    void disabledImageRecoloured();
    void singleGlyphDisabledEmbossed();
    void themeState_data();
    void themeState();
    void drawPlan();
    void themeLibraryLoadedOnce();
    void classicFrameAndFocusRect();
    void themedPressedMovesContent();
    void noHoverLook();
    void modalResultEndsDialog_data();
    void modalResultEndsDialog();
    void enterAndEscapeInDialog();
    void closeKindClosesWindowWithoutActivating();
    void helpKind();
    void doubleClickGivesTwoClicks();
};

void TestButtons::layoutPositions_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QSize>("glyph");
    QTest::addColumn<QSize>("text");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<bool>("rightToLeft");
    QTest::addColumn<QPoint>("glyphPos");
    QTest::addColumn<QPoint>("textPos");

    const QSize wide(75, 25), tall(75, 50), g(18, 18), t(20, 13), none(0, 0);
    QTest::newRow("left, centred block") << int(ButtonLayout::GlyphLeft) << wide << g << t << -1 << 4 << false
                                         << QPoint(17, 4) << QPoint(39, 6);
    QTest::newRow("right, centred block")
        << int(ButtonLayout::GlyphRight) << wide << g << t << -1 << 4 << false << QPoint(40, 4) << QPoint(16, 6);
    QTest::newRow("top, centred block") << int(ButtonLayout::GlyphTop) << tall << g << t << -1 << 4 << false
                                        << QPoint(29, 8) << QPoint(28, 30);
    QTest::newRow("bottom, centred block")
        << int(ButtonLayout::GlyphBottom) << tall << g << t << -1 << 4 << false << QPoint(29, 24) << QPoint(28, 7);
    QTest::newRow("left, both computed") << int(ButtonLayout::GlyphLeft) << wide << g << t << -1 << -1 << false
                                         << QPoint(12, 4) << QPoint(42, 6);
    QTest::newRow("top, both computed") << int(ButtonLayout::GlyphTop) << tall << g << t << -1 << -1 << false
                                        << QPoint(29, 6) << QPoint(28, 30);
    QTest::newRow("left, margin given, spacing computed")
        << int(ButtonLayout::GlyphLeft) << wide << g << t << 5 << -1 << false << QPoint(5, 4) << QPoint(39, 6);
    QTest::newRow("right, margin given, spacing computed")
        << int(ButtonLayout::GlyphRight) << wide << g << t << 5 << -1 << false << QPoint(52, 4) << QPoint(16, 6);
    QTest::newRow("left, both given") << int(ButtonLayout::GlyphLeft) << wide << g << t << 5 << 4 << false
                                      << QPoint(5, 4) << QPoint(27, 6);
    QTest::newRow("bottom, both given") << int(ButtonLayout::GlyphBottom) << tall << g << t << 3 << 2 << false
                                        << QPoint(29, 29) << QPoint(28, 14);
    QTest::newRow("no glyph: caption centred")
        << int(ButtonLayout::GlyphLeft) << wide << none << t << -1 << 4 << false << QPoint(28, 13) << QPoint(28, 6);
    QTest::newRow("no glyph, top") << int(ButtonLayout::GlyphTop) << tall << none << t << -1 << 4 << false
                                   << QPoint(38, 19) << QPoint(28, 19);
    QTest::newRow("no caption: glyph centred")
        << int(ButtonLayout::GlyphLeft) << wide << g << none << -1 << 4 << false << QPoint(29, 4) << QPoint(47, 13);
    QTest::newRow("no glyph, both computed")
        << int(ButtonLayout::GlyphLeft) << wide << none << t << -1 << -1 << false << QPoint(28, 13) << QPoint(28, 6);
    QTest::newRow("right to left swaps left")
        << int(ButtonLayout::GlyphLeft) << wide << g << t << -1 << 4 << true << QPoint(40, 4) << QPoint(16, 6);
    QTest::newRow("right to left swaps right")
        << int(ButtonLayout::GlyphRight) << wide << g << t << -1 << 4 << true << QPoint(17, 4) << QPoint(39, 6);
    QTest::newRow("too small: division toward zero") << int(ButtonLayout::GlyphLeft) << QSize(10, 10) << g << none << -1
                                                     << 4 << false << QPoint(-3, -3) << QPoint(15, 5);
}

void TestButtons::layoutPositions()
{
    QFETCH(int, layout);
    QFETCH(QSize, client);
    QFETCH(QSize, glyph);
    QFETCH(QSize, text);
    QFETCH(int, margin);
    QFETCH(int, spacing);
    QFETCH(bool, rightToLeft);
    QFETCH(QPoint, glyphPos);
    QFETCH(QPoint, textPos);

    const GlyphLayout result
        = layoutGlyphAndText(client, glyph, text, ButtonLayout(layout), margin, spacing, rightToLeft);
    QCOMPARE(result.glyph, glyphPos);
    QCOMPARE(result.text.topLeft(), textPos);
    QCOMPARE(result.text.size(), text);
}

void TestButtons::numGlyphsFromShape_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("numGlyphs");
    QTest::newRow("64 x 16: four images") << QSize(64, 16) << 4;
    QTest::newRow("80 x 16: five would be too many, one image") << QSize(80, 16) << 1;
    QTest::newRow("20 x 16: no whole multiple, unchanged") << QSize(20, 16) << 3;
    QTest::newRow("32 x 16: two") << QSize(32, 16) << 2;
    QTest::newRow("16 x 16: one") << QSize(16, 16) << 1;
}

void TestButtons::numGlyphsFromShape()
{
    QFETCH(QSize, size);
    QFETCH(int, numGlyphs);
    BitmapButton button;
    button.setNumGlyphs(3);
    button.setGlyph(glyphBitmap(size.width(), size.height()));
    QCOMPARE(button.numGlyphs(), numGlyphs);
    QCOMPARE(button.buttonGlyph()->glyphSize(), QSize(size.width() / numGlyphs, size.height()));
}

void TestButtons::numGlyphsWrite()
{
    BitmapButton button;
    button.setGlyph(glyphBitmap(64, 16));
    button.setNumGlyphs(9);
    QCOMPARE(button.numGlyphs(), 4);
    button.setNumGlyphs(0);
    QCOMPARE(button.numGlyphs(), 4);
    button.setNumGlyphs(-2);
    QCOMPARE(button.numGlyphs(), 4);

    // A change drops the images made for the old count.
    QVERIFY(!button.buttonGlyph()->stateImage(ButtonState::Up, button.palette()).isNull());
    QVERIFY(button.buttonGlyph()->stateIndex(ButtonState::Up) >= 0);
    button.setNumGlyphs(2);
    QCOMPARE(button.buttonGlyph()->stateIndex(ButtonState::Up), -1);
    QCOMPARE(button.buttonGlyph()->stateImage(ButtonState::Up, button.palette()).size(), QSize(32, 16));
}

void TestButtons::kindTable_data()
{
    QTest::addColumn<ButtonKind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("modalResult");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<bool>("isCancel");
    QTest::addColumn<QSize>("bitmapSize");

    const QSize normal(36, 18);
    QTest::newRow("Ok") << ButtonKind::Ok << QStringLiteral("OK") << 1 << true << false << normal;
    QTest::newRow("Cancel") << ButtonKind::Cancel << QStringLiteral("Abbrechen") << 2 << false << true << normal;
    QTest::newRow("Help") << ButtonKind::Help << QStringLiteral("&Hilfe") << 0 << false << false << normal;
    QTest::newRow("Yes") << ButtonKind::Yes << QStringLiteral("&Ja") << 6 << true << false << normal;
    QTest::newRow("No") << ButtonKind::No << QStringLiteral("&Nein") << 7 << false << true << normal;
    QTest::newRow("Close") << ButtonKind::Close << QStringLiteral("&Schließen") << 0 << false << false << normal;
    QTest::newRow("Abort") << ButtonKind::Abort << QStringLiteral("Abbrechen") << 3 << false << false << normal;
    QTest::newRow("Retry") << ButtonKind::Retry << QStringLiteral("&Wiederholen") << 4 << false << false << normal;
    QTest::newRow("Ignore") << ButtonKind::Ignore << QStringLiteral("&Ignorieren") << 5 << false << false << normal;
    QTest::newRow("All") << ButtonKind::All << QStringLiteral("&Alle") << 8 << false << false << QSize(36, 19);
}

void TestButtons::kindTable()
{
    QFETCH(ButtonKind, kind);
    QFETCH(QString, caption);
    QFETCH(int, modalResult);
    QFETCH(bool, isDefault);
    QFETCH(bool, isCancel);
    QFETCH(QSize, bitmapSize);

    QDialog dialog;
    auto* button = new BitmapButton(&dialog);
    button->setText(QStringLiteral("vorher"));
    button->setKind(kind);
    QCOMPARE(button->kind(), kind);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->modalResult(), modalResult);
    QCOMPARE(button->isDefaultButton(), isDefault);
    QCOMPARE(button->isCancelButton(), isCancel);
    QCOMPARE(button->glyph().size(), bitmapSize);
    QVERIFY(button->glyph().colorCount() <= 16);
    QCOMPARE(button->numGlyphs(), 2);
    QCOMPARE(button->buttonGlyph()->glyphSize(), QSize(18, bitmapSize.height()));
    // The lower-left pixel names the transparent colour: olive in every kind bitmap.
    QCOMPARE(button->buttonGlyph()->transparentColor(), QColor(128, 128, 0));

    // Back to custom: only the kind changes.
    button->setKind(ButtonKind::Custom);
    QCOMPARE(button->kind(), ButtonKind::Custom);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->modalResult(), modalResult);
}

void TestButtons::kindReadsCustomAfterChange_data()
{
    QTest::addColumn<ButtonKind>("kind");
    QTest::addColumn<int>("change");
    QTest::newRow("OK, modal result 0") << ButtonKind::Ok << 0;
    QTest::newRow("OK, no longer default") << ButtonKind::Ok << 1;
    QTest::newRow("OK, cancel role") << ButtonKind::Ok << 2;
    QTest::newRow("Cancel, no longer cancel") << ButtonKind::Cancel << 2;
    QTest::newRow("Help, default role") << ButtonKind::Help << 1;
    QTest::newRow("Retry, glyph replaced") << ButtonKind::Retry << 3;
}

void TestButtons::kindReadsCustomAfterChange()
{
    QFETCH(ButtonKind, kind);
    QFETCH(int, change);
    BitmapButton button;
    button.setKind(kind);
    QCOMPARE(button.kind(), kind);
    const ButtonKindInfo& info = buttonKindInfo(kind);
    switch (change) {
    case 0:
        button.setModalResult(0);
        break;
    case 1:
        button.setDefaultButton(!info.isDefault);
        break;
    case 2:
        button.setCancelButton(!info.isCancel);
        break;
    default:
        button.setGlyph(glyphBitmap(32, 16));
        break;
    }
    QCOMPARE(button.kind(), ButtonKind::Custom);

    // And it stays custom when the value comes back.
    button.setModalResult(info.modalResult);
    button.setDefaultButton(info.isDefault);
    button.setCancelButton(info.isCancel);
    QCOMPARE(button.kind(), ButtonKind::Custom);
}

void TestButtons::kindSetAgainRestores()
{
    BitmapButton button;
    button.setKind(ButtonKind::Ok);
    button.setModalResult(0);
    button.setKind(ButtonKind::Ok);
    QCOMPARE(button.kind(), ButtonKind::Ok);
    QCOMPARE(button.modalResult(), 1);
}

void TestButtons::marginBelowMinusOneRefused()
{
    BitmapButton button;
    QCOMPARE(button.glyphMargin(), -1);
    QCOMPARE(button.glyphSpacing(), 4);
    QCOMPARE(button.glyphLayout(), ButtonLayout::GlyphLeft);
    button.setGlyphMargin(6);
    button.setGlyphMargin(-2);
    QCOMPARE(button.glyphMargin(), 6);
    button.setGlyphMargin(-1);
    QCOMPARE(button.glyphMargin(), -1);
}

void TestButtons::glyphListReusesLowestSlot()
{
    GlyphList list(QSize(4, 4));
    QPixmap image(4, 4);
    QCOMPARE(list.add(image), 0);
    QCOMPARE(list.add(image), 1);
    QCOMPARE(list.add(image), 2);
    QCOMPARE(list.add(image), 3);
    list.remove(2);
    list.remove(0);
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.capacity(), 4);
    QCOMPARE(list.add(image), 0);
    QCOMPARE(list.add(image), 2);
    QCOMPARE(list.capacity(), 4);
    QCOMPARE(list.add(image), 4);
    QCOMPARE(list.capacity(), 5);
    // Freeing a free slot again changes nothing.
    list.remove(1);
    list.remove(1);
    list.remove(99);
    QCOMPARE(list.count(), 4);
    QVERIFY(list.image(1).isNull());
}

void TestButtons::glyphCacheLifetime()
{
    QVERIFY(!GlyphCache::instance());
    auto first = std::make_unique<BitmapButton>();
    QVERIFY(GlyphCache::instance());
    QVERIFY(GlyphCache::instance()->isEmpty());
    auto second = std::make_unique<BitmapButton>();
    second->setGlyph(glyphBitmap(32, 16));
    QVERIFY(!second->buttonGlyph()->stateImage(ButtonState::Up, second->palette()).isNull());
    QCOMPARE(GlyphCache::instance()->listCount(), 1);

    // A button without a list going away leaves the cache: a list is still there.
    first.reset();
    QVERIFY(GlyphCache::instance());
    second.reset();
    QVERIFY(!GlyphCache::instance());
}

void TestButtons::glyphListsSharedBySize()
{
    BitmapButton a, b, c;
    a.setGlyph(glyphBitmap(32, 16));
    b.setGlyph(glyphBitmap(32, 16));
    c.setGlyph(glyphBitmap(20, 20));
    for (BitmapButton* button : { &a, &b, &c }) {
        button->buttonGlyph()->stateImage(ButtonState::Up, button->palette());
        button->buttonGlyph()->stateImage(ButtonState::Disabled, button->palette());
    }
    QCOMPARE(a.buttonGlyph()->glyphList(), b.buttonGlyph()->glyphList());
    QVERIFY(a.buttonGlyph()->glyphList() != c.buttonGlyph()->glyphList());
    QCOMPARE(GlyphCache::instance()->listCount(), 2);
    QCOMPARE(a.buttonGlyph()->glyphList()->count(), 4);
    // Down shares the up image below three glyphs.
    QCOMPARE(a.buttonGlyph()->stateImage(ButtonState::Down, a.palette()).cacheKey(),
        a.buttonGlyph()->stateImage(ButtonState::Up, a.palette()).cacheKey());
    QCOMPARE(a.buttonGlyph()->glyphList()->count(), 4);

    // a's slots are freed; the next images take them, lowest first, before the list grows.
    QCOMPARE(a.buttonGlyph()->stateIndex(ButtonState::Up), 0);
    QCOMPARE(b.buttonGlyph()->stateIndex(ButtonState::Up), 2);
    a.setGlyph(glyphBitmap(20, 20));
    QCOMPARE(b.buttonGlyph()->glyphList()->count(), 2);
    BitmapButton d;
    d.setGlyph(glyphBitmap(32, 16));
    d.buttonGlyph()->stateImage(ButtonState::Disabled, d.palette());
    QCOMPARE(d.buttonGlyph()->stateIndex(ButtonState::Disabled), 0);
    d.buttonGlyph()->stateImage(ButtonState::Up, d.palette());
    QCOMPARE(d.buttonGlyph()->stateIndex(ButtonState::Up), 1);
    QCOMPARE(d.buttonGlyph()->glyphList()->capacity(), 4);

    // A list whose last slot goes is freed.
    b.setNumGlyphs(1);
    d.setNumGlyphs(1);
    QCOMPARE(b.buttonGlyph()->glyphList(), nullptr);
    QCOMPARE(GlyphCache::instance()->listCount(), 1);
}

void TestButtons::disabledImageRecoloured()
{
    BitmapButton button;
    QPalette palette = button.palette();
    palette.setColor(QPalette::Light, QColor(250, 250, 240));
    palette.setColor(QPalette::Dark, QColor(90, 90, 100));
    palette.setColor(QPalette::Button, QColor(200, 190, 180));
    button.setPalette(palette);
    button.setKind(ButtonKind::Ok);
    const QImage up = button.buttonGlyph()->stateImage(ButtonState::Up, button.palette()).toImage();
    const QImage disabled = button.buttonGlyph()->stateImage(ButtonState::Disabled, button.palette()).toImage();
    QCOMPARE(up.size(), QSize(18, 18));
    QVERIFY(hasColour(up, qRgb(0, 128, 0)));
    QVERIFY(!hasColour(disabled, qRgb(0, 128, 0)));
    QVERIFY(hasColour(disabled, qRgb(250, 250, 240)));
    QVERIFY(hasColour(disabled, qRgb(90, 90, 100)));
    // The transparent colour is left out of both.
    QCOMPARE(qAlpha(up.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(disabled.pixel(0, 0)), 0);
    QVERIFY(!hasColour(up, qRgb(128, 128, 0)));
}

void TestButtons::singleGlyphDisabledEmbossed()
{
    BitmapButton button;
    QImage bitmap = glyphBitmap(16, 16);
    for (int i = 4; i < 10; ++i)
        bitmap.setPixel(i, 6, qRgb(0, 0, 128));
    button.setGlyph(bitmap);
    QCOMPARE(button.numGlyphs(), 1);
    const QImage disabled = button.buttonGlyph()->stateImage(ButtonState::Disabled, button.palette()).toImage();
    const QRgb shadow = button.palette().color(QPalette::Dark).rgb();
    const QRgb highlight = button.palette().color(QPalette::Light).rgb();
    QCOMPARE(disabled.pixel(4, 6) | 0xff000000u, shadow | 0xff000000u);
    QCOMPARE(disabled.pixel(10, 7) | 0xff000000u, highlight | 0xff000000u);
    QCOMPARE(qAlpha(disabled.pixel(12, 12)), 0);
}

void TestButtons::themeState_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("focusOrDefault");
    QTest::addColumn<int>("state");
    QTest::newRow("enabled") << true << false << false << 0;
    QTest::newRow("focused or default") << true << false << true << 1;
    QTest::newRow("pressed") << true << true << false << 3;
    QTest::newRow("pressed and focused") << true << true << true << 3;
    QTest::newRow("disabled") << false << false << false << 4;
    QTest::newRow("disabled default") << false << false << true << 4;
}

void TestButtons::themeState()
{
    QFETCH(bool, enabled);
    QFETCH(bool, pressed);
    QFETCH(bool, focusOrDefault);
    QFETCH(int, state);
    QCOMPARE(pushButtonThemeState(enabled, pressed, focusOrDefault), state);
}

void TestButtons::drawPlan()
{
    const QRect client(0, 0, 75, 25);
    ButtonPaintState s;

    s.themed = true;
    ButtonDrawPlan plan = planButtonDrawing(client, s);
    QCOMPARE(plan.themeState, 0);
    QCOMPARE(plan.contentRect, client);
    QVERIFY(!plan.windowFrame);
    s.pressed = true;
    plan = planButtonDrawing(client, s);
    QCOMPARE(plan.themeState, 3);
    QCOMPARE(plan.contentRect, QRect(2, 2, 73, 23));
    QCOMPARE(plan.glyphState, ButtonState::Down);
    s.pressed = false;
    s.defaultLook = true;
    s.hasFocus = true;
    plan = planButtonDrawing(client, s);
    QCOMPARE(plan.themeState, 1);
    QCOMPARE(plan.contentRect, QRect(1, 1, 73, 23));
    QVERIFY(plan.focusRect);

    s = {};
    plan = planButtonDrawing(client, s);
    QCOMPARE(plan.themeState, -1);
    QVERIFY(!plan.windowFrame);
    QCOMPARE(plan.frameRect, client);
    QCOMPARE(plan.contentRect, QRect(2, 2, 71, 21));
    s.hasFocus = true;
    plan = planButtonDrawing(client, s);
    QVERIFY(plan.windowFrame);
    QVERIFY(!plan.focusRect);
    QCOMPARE(plan.frameRect, QRect(1, 1, 73, 23));
    QCOMPARE(plan.contentRect, QRect(3, 3, 69, 19));
    s.pressed = true;
    plan = planButtonDrawing(client, s);
    QCOMPARE(plan.contentRect, QRect(3, 3, 71, 21));
    s.enabled = false;
    s.pressed = false;
    QCOMPARE(planButtonDrawing(client, s).glyphState, ButtonState::Disabled);
}

void TestButtons::themeLibraryLoadedOnce()
{
    const int loads = VisualThemes::loadCount();
    const int before = VisualThemes::referenceCount();
    BitmapButton a, b;
    QVERIFY(VisualThemes::libraryLoaded());
    QCOMPARE(VisualThemes::referenceCount(), before + 2);
    QVERIFY(VisualThemes::loadCount() <= 1);
    QCOMPARE(VisualThemes::loadCount(), std::max(loads, 1));
    // The offscreen platform's style is Fusion: themes in use, so the handle was opened.
    QVERIFY(VisualThemes::themesInUse(&a));
    QVERIFY(a.themeOpened());
    std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
    b.setStyle(windows.get());
    QVERIFY(!VisualThemes::themesInUse(&b));
    // The program wraps its style in a proxy: what counts is the style below it.
    Pictures::DeferredIconsStyle classicBelow(QStyleFactory::create(QStringLiteral("Windows")));
    b.setStyle(&classicBelow);
    QVERIFY(!VisualThemes::themesInUse(&b));
    Pictures::DeferredIconsStyle fusionBelow(QStyleFactory::create(QStringLiteral("Fusion")));
    b.setStyle(&fusionBelow);
    QVERIFY(VisualThemes::themesInUse(&b));
    b.setStyle(nullptr);
}

void TestButtons::classicFrameAndFocusRect()
{
    std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
    QWidget window;
    auto* other = new QLineEdit(&window);
    other->setGeometry(0, 0, 50, 20);
    auto* button = new BitmapButton(&window);
    button->setStyle(windows.get());
    button->setGeometry(10, 30, 75, 25);
    button->setKind(ButtonKind::Ok);
    auto* plain = new BitmapButton(&window);
    plain->setStyle(windows.get());
    plain->setGeometry(10, 60, 75, 25);
    plain->setText(QStringLiteral("Plain"));
    window.resize(120, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());

    const QPalette pal = button->palette();
    const QRgb frame = pal.color(QPalette::Shadow).rgb();
    const QRgb dot = pal.color(QPalette::ButtonText).rgb();
    QImage image = grabbed(plain);
    QVERIFY(!plain->defaultLook());
    QCOMPARE(image.pixel(0, 0), pal.color(QPalette::Light).rgb());
    QCOMPARE(image.pixel(74, 24), frame);
    QCOMPARE(image.pixel(1, 1), pal.color(QPalette::Button).rgb());

    // The default button, while no push button has the focus: the frame, no focus rectangle.
    QVERIFY(button->defaultLook());
    image = grabbed(button);
    QCOMPARE(image.pixel(0, 0), frame);
    QCOMPARE(image.pixel(1, 1), pal.color(QPalette::Light).rgb());
    QCOMPARE(image.pixel(4, 4), pal.color(QPalette::Button).rgb());

    button->setFocus();
    QTRY_VERIFY(button->hasFocus());
    QVERIFY(button->defaultLook());
    image = grabbed(button);
    QCOMPARE(image.pixel(0, 0), frame);
    QCOMPARE(image.pixel(37, 0), frame);
    QCOMPARE(image.pixel(0, 12), frame);
    // Dotted focus rectangle four pixels inside the edge.
    QCOMPARE(image.pixel(4, 4), dot);
    QVERIFY(image.pixel(5, 4) != dot);
    QCOMPARE(image.pixel(6, 4), dot);
    QCOMPARE(image.pixel(4, 20), dot);
}

void TestButtons::themedPressedMovesContent()
{
    BitmapButton button;
    button.setKind(ButtonKind::Ok);
    button.resize(75, 25);
    QVERIFY(VisualThemes::themesInUse(&button));
    const QRgb green = qRgb(0, 128, 0);
    const QPoint up = firstPixel(grabbed(&button), green);
    QVERIFY(up.x() >= 0);
    button.setDown(true);
    QCOMPARE(firstPixel(grabbed(&button), green), up + QPoint(1, 1));

    // Disabled: the glyph's disabled image and the caption embossed in highlight and shadow.
    button.setDown(false);
    button.setEnabled(false);
    const QImage disabled = grabbed(&button);
    QVERIFY(!hasColour(disabled, green));
    QVERIFY(hasColour(disabled, button.palette().color(QPalette::Dark).rgb()));
}

void TestButtons::noHoverLook()
{
    QWidget window;
    auto* button = new BitmapButton(&window);
    button->setKind(ButtonKind::Cancel);
    button->setGeometry(10, 10, 75, 25);
    window.resize(100, 50);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage before = grabbed(button);
    QTest::mouseMove(button, QPoint(20, 12));
    QEnterEvent enter(QPointF(20, 12), QPointF(20, 12), button->mapToGlobal(QPointF(20, 12)));
    QApplication::sendEvent(button, &enter);
    QCoreApplication::processEvents();
    QCOMPARE(grabbed(button), before);
}

void TestButtons::modalResultEndsDialog_data()
{
    QTest::addColumn<ButtonKind>("kind");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << ButtonKind::Ok << int(QDialog::Accepted);
    QTest::newRow("Cancel") << ButtonKind::Cancel << int(QDialog::Rejected);
    QTest::newRow("Retry") << ButtonKind::Retry << 4;
}

void TestButtons::modalResultEndsDialog()
{
    QFETCH(ButtonKind, kind);
    QFETCH(int, result);
    QDialog dialog;
    auto* button = new BitmapButton(&dialog);
    button->setKind(kind);
    QSignalSpy activations(button, &BitmapButton::activated);
    int execResult = -1;
    QTimer::singleShot(0, button, &QAbstractButton::click);
    execResult = dialog.exec();
    QCOMPARE(execResult, result);
    QCOMPARE(activations.count(), 1);

    // No modal result: the dialog stays open.
    dialog.setResult(-1);
    button->setModalResult(ModalResult::None);
    dialog.show();
    button->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), -1);
}

void TestButtons::enterAndEscapeInDialog()
{
    QDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    auto* ok = new BitmapButton(&dialog);
    ok->setKind(ButtonKind::Ok);
    auto* cancel = new BitmapButton(&dialog);
    cancel->setKind(ButtonKind::Cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(edit);
    layout->addWidget(ok);
    layout->addWidget(cancel);
    QSignalSpy okClicks(ok, &BitmapButton::activated);
    QSignalSpy cancelClicks(cancel, &BitmapButton::activated);

    dialog.show();
    QApplication::setActiveWindow(&dialog);
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(ok->defaultLook());
    QVERIFY(!cancel->defaultLook());
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(okClicks.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());

    dialog.show();
    QApplication::setActiveWindow(&dialog);
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(cancelClicks.count(), 1);
    QCOMPARE(okClicks.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    // The focused push button takes the default look and Enter from the default one.
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    cancel->setFocus();
    QTRY_VERIFY(cancel->hasFocus());
    QVERIFY(cancel->defaultLook());
    QVERIFY(!ok->defaultLook());
    QTest::keyClick(cancel, Qt::Key_Return);
    QCOMPARE(cancelClicks.count(), 2);
    QCOMPARE(okClicks.count(), 1);
    QCOMPARE(ok->kind(), ButtonKind::Ok);
}

void TestButtons::closeKindClosesWindowWithoutActivating()
{
    QWidget window;
    auto* button = new BitmapButton(&window);
    button->setKind(ButtonKind::Close);
    window.show();
    QSignalSpy activations(button, &BitmapButton::activated);
    button->click();
    QVERIFY(!window.isVisible());
    QCOMPARE(activations.count(), 0);

    // Without a window around it, a plain click.
    BitmapButton alone;
    alone.setKind(ButtonKind::Close);
    QSignalSpy aloneClick(&alone, &BitmapButton::activated);
    alone.click();
    QCOMPARE(aloneClick.count(), 1);
}

void TestButtons::helpKind()
{
    QList<int> asked;
    BitmapButton::setHelpHandler([&asked](int context) { asked.append(context); });
    QWidget window;
    auto* inner = new QWidget(&window);
    auto* button = new BitmapButton(inner);
    button->setKind(ButtonKind::Help);
    QSignalSpy activations(button, &BitmapButton::activated);

    button->click();
    QCOMPARE(activations.count(), 1);
    QVERIFY(asked.isEmpty());

    window.setProperty("helpContext", 42);
    button->click();
    QCOMPARE(activations.count(), 1);
    QCOMPARE(asked, QList<int>({ 42 }));
    BitmapButton::setHelpHandler(nullptr);
}

void TestButtons::doubleClickGivesTwoClicks()
{
    BitmapButton button;
    button.resize(75, 25);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QSignalSpy activations(&button, &BitmapButton::activated);
    // As the system sends a fast double click: down, up, double click, up.
    sendMouse(&button, QEvent::MouseButtonPress);
    sendMouse(&button, QEvent::MouseButtonRelease);
    sendMouse(&button, QEvent::MouseButtonDblClick);
    sendMouse(&button, QEvent::MouseButtonRelease);
    QCOMPARE(activations.count(), 2);
}

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"
