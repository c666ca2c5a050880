#pragma once

#include <QSize>
#include <QString>

namespace korbana {

struct PrintFont;

// The few printer operations the shopping list printout needs. Positions and lengths are printer dots;
// the origin is the top-left corner of the printable area, y grows downward.
class PrintCanvas
{
public:
    PrintCanvas() = default;
    virtual ~PrintCanvas() = default;
    PrintCanvas(const PrintCanvas&) = delete;
    PrintCanvas& operator=(const PrintCanvas&) = delete;

    // Opens the job under the given document name; page 1 is open afterwards.
    virtual void beginJob(const QString& documentName) = 0;
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    virtual int printableWidth() const = 0;
    virtual int printableHeight() const = 0;
    // Face, character set, pitch, colour and size of the font; its own style is ignored, bold is the only one.
    virtual void setFont(const PrintFont& font, bool bold) = 0;
    // Width and height of the text in the current font.
    virtual QSize measure(const QString& text) = 0;
    // Draws the text with the top-left corner of its cell at (x, y), on opaque white.
    virtual void drawText(int x, int y, const QString& text) = 0;
    virtual void newPage() = 0;
    // Sends the last page and closes the job.
    virtual void endJob() = 0;
};

} // namespace korbana
