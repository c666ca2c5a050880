#include "PrintFont.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <limits>

namespace korbana {

namespace {

// A stored size or height may be anything: the converted value is rounded and kept within int.
int roundedInt(double value)
{
    constexpr double kMax = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::round(value), -kMax, kMax));
}

} // namespace

void PrintFont::setSize(int points, int pixelsPerInch)
{
    size = points;
    height = -roundedInt(static_cast<double>(points) * pixelsPerInch / 72.0);
}

void PrintFont::setHeight(int pixels, int pixelsPerInch)
{
    height = pixels;
    size = roundedInt(std::fabs(static_cast<double>(pixels)) * 72.0 / pixelsPerInch);
}

QColor PrintFont::qcolor() const
{
    if (color < 0) // a system colour: the window text of the palette
        return QGuiApplication::palette().color(QPalette::WindowText);
    const auto bgr = static_cast<quint32>(color);
    return QColor(
        static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

QFont PrintFont::toQFont() const
{
    QFont font(name);
    font.setPointSize(size > 0 ? size : 1);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    font.setFixedPitch(pitch == Pitch::Fixed);
    return font;
}

void PrintFont::assignQFont(const QFont& font, const QColor& colour, int pixelsPerInch)
{
    name = font.family();
    if (font.pointSize() > 0)
        setSize(font.pointSize(), pixelsPerInch);
    else if (font.pixelSize() > 0)
        setHeight(-font.pixelSize(), pixelsPerInch);
    bold = font.bold();
    italic = font.italic();
    underline = font.underline();
    strikeOut = font.strikeOut();
    if (colour.isValid() && colour != QGuiApplication::palette().color(QPalette::WindowText))
        color = static_cast<qint32>(static_cast<quint32>(colour.red()) | (static_cast<quint32>(colour.green()) << 8)
            | (static_cast<quint32>(colour.blue()) << 16));
}

} // namespace korbana
