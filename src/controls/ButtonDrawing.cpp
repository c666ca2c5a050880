#include "ButtonDrawing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

#include <algorithm>

namespace korbana {

namespace {

// How far a caption that does not fit may close up to its glyph and shrink.
constexpr int kNarrowestSpacing = 1;
constexpr qreal kSmallestCaptionPoints = 6;
// What such a caption keeps free towards the frame on either side.
constexpr int kEdgeRoom = 2;

} // namespace

GlyphLayout layoutGlyphAndText(
    QSize client, QSize glyph, QSize text, ButtonLayout layout, int margin, int spacing, bool rightToLeft)
{
    if (rightToLeft && layout == ButtonLayout::GlyphLeft)
        layout = ButtonLayout::GlyphRight;
    else if (rightToLeft && layout == ButtonLayout::GlyphRight)
        layout = ButtonLayout::GlyphLeft;
    const bool horizontal = layout == ButtonLayout::GlyphLeft || layout == ButtonLayout::GlyphRight;

    GlyphLayout result;
    QPoint textPos;
    // Across the layout both are centred on their own.
    if (horizontal) {
        result.glyph.setY((client.height() - glyph.height() + 1) / 2);
        textPos.setY((client.height() - text.height() + 1) / 2);
    } else {
        result.glyph.setX((client.width() - glyph.width() + 1) / 2);
        textPos.setX((client.width() - text.width() + 1) / 2);
    }
    if (text.width() == 0 || glyph.width() == 0)
        spacing = 0;

    const int s = horizontal ? client.width() : client.height();
    const int g = horizontal ? glyph.width() : glyph.height();
    const int t = horizontal ? text.width() : text.height();
    if (margin == -1 && spacing == -1) {
        margin = (s - g - t) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (s - (g + spacing + t) + 1) / 2;
    } else if (spacing == -1) {
        spacing = (s - (margin + g) - t) / 2;
    }

    int glyphAlong = 0;
    int textAlong = 0;
    if (layout == ButtonLayout::GlyphLeft || layout == ButtonLayout::GlyphTop) {
        glyphAlong = margin;
        textAlong = glyphAlong + g + spacing;
    } else {
        glyphAlong = s - margin - g;
        textAlong = glyphAlong - spacing - t;
    }
    if (horizontal) {
        result.glyph.setX(glyphAlong);
        textPos.setX(textAlong);
    } else {
        result.glyph.setY(glyphAlong);
        textPos.setY(textAlong);
    }
    result.text = QRect(textPos, text);
    result.margin = margin;
    result.spacing = spacing;
    return result;
}

int pushButtonThemeState(bool enabled, bool pressed, bool focusOrDefaultLook)
{
    if (pressed)
        return VisualThemes::PushButtonState::Pressed;
    if (!enabled)
        return VisualThemes::PushButtonState::Disabled;
    // The active button keeps the normal state (1), not the "defaulted" one (5); the others get 0.
    return focusOrDefaultLook ? VisualThemes::PushButtonState::Normal : VisualThemes::PushButtonState::None;
}

ButtonDrawPlan planButtonDrawing(const QRect& client, const ButtonPaintState& state)
{
    ButtonDrawPlan plan;
    plan.glyphState = !state.enabled ? ButtonState::Disabled : state.pressed ? ButtonState::Down : ButtonState::Up;
    QRect r = client;
    if (state.themed) {
        plan.themeState = pushButtonThemeState(state.enabled, state.pressed, state.defaultLook || state.hasFocus);
        plan.frameRect = r;
        if (state.pressed)
            r.adjust(1, 1, -1, -1);
    } else {
        if (state.defaultLook || state.hasFocus) {
            plan.windowFrame = true;
            r.adjust(1, 1, -1, -1);
        }
        plan.frameRect = r;
        // The flat pressed frame is one pixel wide, the raised frame two.
        r = state.pressed ? r.adjusted(1, 1, -1, -1) : r.adjusted(2, 2, -2, -2);
    }
    if (state.defaultLook)
        r = client.adjusted(1, 1, -1, -1);
    if (state.pressed)
        r.translate(1, 1);
    plan.contentRect = r;
    plan.focusRect = state.defaultLook && state.hasFocus;
    return plan;
}

void drawThemedFrame(QPainter& painter, const QWidget& button, const VisualThemes::ThemeData& theme,
    const QRect& client, const ButtonDrawPlan& plan)
{
    painter.fillRect(client, button.palette().button());
    VisualThemes::drawThemeBackground(
        theme, painter, button, VisualThemes::kPushButtonPart, plan.themeState, plan.frameRect);
}

void drawClassicFrame(
    QPainter& painter, const QRect& client, const ButtonDrawPlan& plan, bool pressed, const QPalette& palette)
{
    painter.setBrush(Qt::NoBrush);
    if (plan.windowFrame) {
        painter.setPen(palette.color(QPalette::Shadow));
        painter.drawRect(client.adjusted(0, 0, -1, -1));
    }
    if (pressed) {
        painter.setPen(palette.color(QPalette::Dark));
        painter.setBrush(palette.button());
        painter.drawRect(plan.frameRect.adjusted(0, 0, -1, -1));
    } else {
        VisualThemes::drawClassicButtonFrame(painter, plan.frameRect, palette);
    }
}

void drawGlyphAndCaption(
    QPainter& painter, const QRect& rect, ButtonState state, const ButtonContent& content, const QPalette& palette)
{
    const int flags = Qt::TextShowMnemonic;
    const QString& caption = content.caption;
    const QSize glyphSize = content.glyph->glyphSize();
    QFont font = content.font;
    int spacing = content.spacing;
    QSize textSize = caption.isEmpty() ? QSize(0, 0) : QFontMetrics(font).size(flags, caption);
    // A caption that does not fit beside its glyph (a German word on a button sized for an English one) is never
    // cut: first the gap to the glyph narrows, then the letters get smaller.
    const bool beside = content.layout == ButtonLayout::GlyphLeft || content.layout == ButtonLayout::GlyphRight;
    const auto overflow = [&] {
        const int gap = glyphSize.width() > 0 && textSize.width() > 0 ? std::max(spacing, 0) : 0;
        const int need
            = beside ? glyphSize.width() + gap + textSize.width() : std::max(glyphSize.width(), textSize.width());
        return need - (rect.width() - 2 * kEdgeRoom);
    };
    if (overflow() > 0 && spacing > kNarrowestSpacing)
        spacing = std::max(kNarrowestSpacing, spacing - overflow());
    while (overflow() > 0 && font.pointSizeF() > kSmallestCaptionPoints) {
        font.setPointSizeF(std::max(kSmallestCaptionPoints, font.pointSizeF() - 0.5));
        textSize = QFontMetrics(font).size(flags, caption);
    }
    painter.setFont(font);
    const GlyphLayout layout = layoutGlyphAndText(
        rect.size(), glyphSize, textSize, content.layout, content.margin, spacing, content.rightToLeft);

    const QPixmap image = content.glyph->stateImage(state, palette);
    if (!image.isNull())
        painter.drawPixmap(rect.topLeft() + layout.glyph, image);
    if (caption.isEmpty())
        return;
    const QRect textRect = layout.text.translated(rect.topLeft());
    const int align = flags | Qt::AlignCenter;
    if (state == ButtonState::Disabled) {
        painter.setPen(palette.color(QPalette::Light));
        painter.drawText(textRect.translated(1, 1), align, caption);
        painter.setPen(palette.color(QPalette::Dark));
    } else {
        painter.setPen(palette.color(QPalette::ButtonText));
    }
    painter.drawText(textRect, align, caption);
}

void drawDottedRect(QPainter& painter, const QRect& rect, const QColor& colour)
{
    painter.setPen(colour);
    for (int x = rect.left(); x <= rect.right(); x += 2) {
        painter.drawPoint(x, rect.top());
        painter.drawPoint(x, rect.bottom());
    }
    for (int y = rect.top(); y <= rect.bottom(); y += 2) {
        painter.drawPoint(rect.left(), y);
        painter.drawPoint(rect.right(), y);
    }
}

} // namespace korbana
