#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace korbana {

// The print font as the font dialog keeps it: face, character set, colour, height and size, pitch and style.
struct PrintFont
{
    enum class Pitch { Default, Variable, Fixed };
    // Colours with the top bit set name a system colour; this one is the window-text colour.
    static constexpr qint32 kWindowTextColor = -2147483640;

    QString name = QStringLiteral("Arial");
    int charset = 0; // ANSI
    qint32 color = kWindowTextColor;
    int height = -15; // pixels at 96 per inch, negative: character height without internal leading
    int size = 11; // points
    Pitch pitch = Pitch::Default;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    // Size and height move together at the given pixels per inch, as the font dialog keeps them.
    void setSize(int points, int pixelsPerInch = 96);
    void setHeight(int pixels, int pixelsPerInch = 96);

    QColor qcolor() const;
    // A QFont of the face, pitch and style, at the size in points.
    QFont toQFont() const;
    void assignQFont(const QFont& font, const QColor& colour, int pixelsPerInch = 96);
};

} // namespace korbana
