#pragma once

#include "controls/VisualThemes.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QSize>

#include <array>
#include <functional>
#include <memory>
#include <vector>

// Where the glyph sits relative to the caption.
enum ButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// The four images a glyph bitmap may hold side by side, in this order.
enum ButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
// Kept for form compatibility; it does not change the drawing.
enum ButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum ButtonKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// Modal results of the buttons, as the kinds set them.
enum ModalResult { mrNone = 0, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrYes, mrNo, mrAll };

struct ButtonKindInfo
{
    const char16_t* caption;
    const char* glyphResource; // name of the bitmap in ":/glyphs/", without ".bmp"
    int modalResult;
    bool isDefault;
    bool isCancel;
};
const ButtonKindInfo& buttonKindInfo(ButtonKind kind);
// The kind's bitmap (normal and disabled side by side), loaded on first use and kept until the program ends.
QImage buttonKindGlyph(ButtonKind kind);

// What a QDialog's exec() returns for a button's modal result: OK accepts (QDialog::Accepted), Cancel rejects
// (QDialog::Rejected); every other result is handed on unchanged.
int dialogResultFor(int modalResult);

// Positions of glyph and caption inside the content rectangle, relative to its top-left corner.
struct GlyphLayout
{
    QPoint glyph;
    QRect text;
    int margin = 0;
    int spacing = 0;
};
// client: size of the content rectangle; glyph and text: their sizes (0 by 0 when absent).
// margin and spacing of -1 are computed; rightToLeft swaps left and right.
GlyphLayout layoutGlyphAndText(
    QSize client, QSize glyph, QSize text, ButtonLayout layout, int margin, int spacing, bool rightToLeft = false);

// Theme state of the push-button part: 3 pressed, 4 disabled, 1 focused or default-looking, else 0.
// 2 (hot) is never chosen: the button has no hover look.
int pushButtonThemeState(bool enabled, bool pressed, bool focusOrDefaultLook);

struct ButtonPaintState
{
    bool themed = false;
    bool enabled = true;
    bool pressed = false;
    bool hasFocus = false;
    bool defaultLook = false;
};
// Everything the drawing decides before it paints.
struct ButtonDrawPlan
{
    int themeState = -1; // classic drawing: -1
    bool windowFrame = false; // classic: one-pixel frame in the window-frame colour around the client
    QRect frameRect; // where the theme background or the classic frame goes
    QRect contentRect; // where glyph and caption are laid out (already moved when pressed)
    bool focusRect = false; // dotted rectangle on the client shrunk by 4
    ButtonState glyphState = bsUp;
};
ButtonDrawPlan planButtonDrawing(const QRect& client, const ButtonPaintState& state);

// An image list of one image size whose freed slots are reused, lowest first.
class GlyphList final
{
public:
    explicit GlyphList(QSize imageSize);
    Q_DISABLE_COPY_MOVE(GlyphList)

    QSize imageSize() const { return m_size; }
    int add(const QPixmap& image);
    void remove(int index);
    QPixmap image(int index) const;
    // Occupied slots.
    int count() const { return m_count; }
    // Slots the list holds, free or not.
    int capacity() const { return int(m_images.size()); }

private:
    QSize m_size;
    std::vector<QPixmap> m_images;
    std::vector<bool> m_used;
    int m_count = 0;
};

// The program's glyph lists, at most one per image size, shared by all buttons.
class GlyphCache final
{
public:
    GlyphCache() = default;
    Q_DISABLE_COPY_MOVE(GlyphCache)

    GlyphList* getList(QSize imageSize);
    // The list goes back; it is freed when none of its slots is occupied.
    void returnList(GlyphList* list);
    bool empty() const { return m_lists.empty(); }
    int listCount() const { return int(m_lists.size()); }

    // The one cache of the program, or null while there is none.
    static GlyphCache* instance();

private:
    friend class ButtonGlyph;
    static GlyphCache* ensureInstance();
    static void releaseInstanceIfEmpty();

    std::vector<std::unique_ptr<GlyphList>> m_lists;
};

// One button's glyph bitmap and its state images.
class ButtonGlyph final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ButtonGlyph)

public:
    explicit ButtonGlyph(QObject* parent = nullptr);
    ~ButtonGlyph() override;

    QImage glyph() const { return m_glyph; }
    // Drops the state images; takes the transparent colour (lower-left pixel) and, when the width is a whole
    // multiple of the height, the number of glyphs from the bitmap.
    void setGlyph(const QImage& glyph);
    int numGlyphs() const { return m_numGlyphs; }
    // Above 4 means 4; below 1 is ignored.
    void setNumGlyphs(int value);
    QColor transparentColor() const { return m_transparentColor; }
    // Size of one image, 0 by 0 without a bitmap.
    QSize glyphSize() const;

    // The state's image, made on first use with the palette's button colours; null without a bitmap.
    QPixmap stateImage(ButtonState state, const QPalette& palette);
    // Index in the glyph list, -1 when not made.
    int stateIndex(ButtonState state) const { return m_indexes[state]; }
    GlyphList* glyphList() const { return m_glyphList; }
    void dropStateImages();

Q_SIGNALS:
    void changed();

private:
    int makeStateImage(ButtonState state, const QPalette& palette);

    QImage m_glyph;
    GlyphList* m_glyphList = nullptr;
    std::array<int, 4> m_indexes { -1, -1, -1, -1 };
    QColor m_transparentColor { 128, 128, 0 };
    int m_numGlyphs = 1;
};

// A push button that draws a glyph beside its caption, themed under a modern style and classic under the
// "windows" style. Connect handlers to OnClick: it follows the kind's rules (a bkClose or bkHelp button
// emits none), while QAbstractButton::clicked reports every press.
class BitmapButton : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BitmapButton)

public:
    explicit BitmapButton(QWidget* parent = nullptr);
    ~BitmapButton() override;

    using QPushButton::setLayout;
    using QPushButton::setStyle;

    // Reads bkCustom, for good, once a role, the modal result or the glyph differs from the kind's.
    ButtonKind Kind() const;
    void setKind(ButtonKind kind);
    QImage Glyph() const;
    void setGlyph(const QImage& glyph);
    int NumGlyphs() const;
    void setNumGlyphs(int value);
    ButtonLayout Layout() const { return m_layout; }
    void setLayout(ButtonLayout layout);
    // Pixels from the edge to the glyph; -1 centres the block. Values below -1 are refused.
    int Margin() const { return m_margin; }
    void setMargin(int margin);
    // Pixels between glyph and caption; -1 spreads the free room evenly.
    int Spacing() const { return m_spacing; }
    void setSpacing(int spacing);
    ButtonStyle Style() const { return m_style; }
    void setStyle(ButtonStyle style);
    int ModalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }
    // Enter clicks the default button of a window unless another push button has the focus.
    bool Default() const { return m_default; }
    void setDefault(bool value);
    // Escape in the button's window clicks it.
    bool Cancel() const { return m_cancel; }
    void setCancel(bool value);

    // True while the button shows itself as the active default button of its window.
    bool defaultLook() const { return m_defaultLook; }
    ButtonGlyph* buttonGlyph() const { return m_glyph; }
    bool themeOpened() const { return m_theme != nullptr; }

    // bkHelp asks this with the first non-zero "helpContext" property up the parents; none installed: no help.
    static void setHelpHandler(std::function<void(int)> handler);

Q_SIGNALS:
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Click();
    void inheritedClick();
    void updateDefaultLook();
    void watchWindow();
    void drawGlyphAndCaption(QPainter& painter, const QRect& rect, ButtonState state);

    ButtonGlyph* m_glyph = nullptr;
    VisualThemes::ThemeHandle m_theme;
    mutable ButtonKind m_kind = bkCustom;
    ButtonLayout m_layout = blGlyphLeft;
    ButtonStyle m_style = bsAutoDetect;
    int m_margin = -1;
    int m_spacing = 4;
    int m_modalResult = mrNone;
    bool m_default = false;
    bool m_cancel = false;
    bool m_defaultLook = false;
    bool m_modifiedGlyph = false;
    QPointer<QWidget> m_watchedWindow;
};
