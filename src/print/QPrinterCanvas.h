#pragma once

#include "print/PrintCanvas.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <optional>

class QPrinter;

namespace korbana {

class Printer;

// The print canvas on the printer object's QPrinter. The origin is the top-left corner of the printable area.
class QPrinterCanvas final : public PrintCanvas
{
public:
    explicit QPrinterCanvas(Printer& printer);
    // A job still open here met an error: it is abandoned where the printing system allows, and closed.
    ~QPrinterCanvas() override;

    // Raises "Das Drucken ist im Gang" when the printer object has a job open already.
    void beginJob(const QString& documentName) override;
    int dpiX() const override;
    int dpiY() const override;
    int printableWidth() const override;
    int printableHeight() const override;
    void setFont(const PrintFont& font, bool bold) override;
    QSize measure(const QString& text) override;
    void drawText(int x, int y, const QString& text) override;
    void newPage() override;
    void endJob() override;

    // The colour of the text on paper: a system colour is black there, since a dark desktop would
    // otherwise print light text on white paper.
    static QColor inkColour(const PrintFont& font);
    // Whether the PDF file was written to its end.
    static bool pdfComplete(const QString& path);

private:
    Printer& m_owner;
    QPrinter& m_printer;
    QPainter m_painter;
    // A print preview draws into pictures: no file is written then, so there is none to check.
    bool m_previewing = false;
    std::optional<QFontMetrics> m_metrics;
    // Widths of the texts measured in the current font.
    QHash<QString, int> m_widths;
};

} // namespace korbana
