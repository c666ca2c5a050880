#pragma once

#include "controls/GlyphCache.h"
#include "controls/VisualThemes.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QColor;
class QPainter;
class QPalette;
class QWidget;

namespace korbana {

// Where the glyph sits relative to the caption.
enum class ButtonLayout { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };

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
    ButtonState glyphState = ButtonState::Up;
};
ButtonDrawPlan planButtonDrawing(const QRect& client, const ButtonPaintState& state);

// The themed look: the button face, then the theme's push-button background in the plan's state.
void drawThemedFrame(QPainter& painter, const QWidget& button, const VisualThemes::ThemeData& theme,
    const QRect& client, const ButtonDrawPlan& plan);
// The classic look: the window frame when the plan asks for it, then a flat frame when pressed, else a raised one.
void drawClassicFrame(
    QPainter& painter, const QRect& client, const ButtonDrawPlan& plan, bool pressed, const QPalette& palette);

// What a button shows inside its frame.
struct ButtonContent
{
    ButtonGlyph* glyph = nullptr;
    QString caption;
    QFont font;
    ButtonLayout layout = ButtonLayout::GlyphLeft;
    int margin = -1;
    int spacing = 4;
    bool rightToLeft = false;
};
// Lays out glyph and caption in rect and draws them, the caption embossed in the disabled state. A caption too
// long for rect is drawn closer to the glyph and smaller, never cut.
void drawGlyphAndCaption(
    QPainter& painter, const QRect& rect, ButtonState state, const ButtonContent& content, const QPalette& palette);

void drawDottedRect(QPainter& painter, const QRect& rect, const QColor& colour);

} // namespace korbana
