#include "QPrinterCanvas.h"

#include "print/PrintError.h"
#include "print/PrintFont.h"
#include "print/Printer.h"

#include <QFile>
#include <QPaintEngine>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace korbana {

namespace {

constexpr qsizetype kMaxRememberedWidths = 1 << 16;

} // namespace

QPrinterCanvas::QPrinterCanvas(Printer& printer)
    : m_owner(printer)
    , m_printer(printer.printer())
{
}

QPrinterCanvas::~QPrinterCanvas()
{
    if (!m_painter.isActive())
        return;
    m_printer.abort();
    m_painter.end();
    m_owner.setPrinting(false);
}

void QPrinterCanvas::beginJob(const QString& documentName)
{
    m_owner.checkIdle();
    // A printer's margins start at its printable area; a PDF has no unprintable edge, and Qt's PDF writer would
    // add its own default page margins, so there they start at the sheet's edge.
    m_printer.setFullPage(m_printer.outputFormat() == QPrinter::PdfFormat);
    m_printer.setDocName(documentName);
    if (!m_painter.begin(&m_printer))
        throw PrintError(QStringLiteral("Der Druckauftrag konnte nicht begonnen werden"));
    m_owner.setPrinting(true);
    m_previewing = m_painter.paintEngine() && m_painter.paintEngine()->type() == QPaintEngine::Picture;
}

int QPrinterCanvas::dpiX() const
{
    return m_printer.logicalDpiX();
}

int QPrinterCanvas::dpiY() const
{
    return m_printer.logicalDpiY();
}

int QPrinterCanvas::printableWidth() const
{
    return m_printer.width();
}

int QPrinterCanvas::printableHeight() const
{
    return m_printer.height();
}

void QPrinterCanvas::setFont(const PrintFont& font, bool bold)
{
    QFont qfont(font.name);
    // The character height in dots, as the font's size in points asks for at this resolution.
    const int points = std::max(font.size, 1);
    qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(static_cast<double>(points) * dpiY() / 72.0))));
    qfont.setFixedPitch(font.pitch == PrintFont::Pitch::Fixed);
    if (font.pitch == PrintFont::Pitch::Fixed)
        qfont.setStyleHint(QFont::Monospace);
    qfont.setBold(bold);
    m_painter.setFont(qfont);
    m_painter.setPen(inkColour(font));
    m_metrics.emplace(m_painter.fontMetrics());
    m_widths.clear();
}

QColor QPrinterCanvas::inkColour(const PrintFont& font)
{
    return font.color < 0 ? QColor(Qt::black) : font.qcolor();
}

QSize QPrinterCanvas::measure(const QString& text)
{
    if (!m_metrics) {
        m_metrics.emplace(m_painter.fontMetrics());
        m_widths.clear();
    }
    // Shops, prices and quantities repeat from row to row, and the printout measures every text more than once:
    // shaping each text once keeps the layout cheap beside the drawing.
    auto width = m_widths.constFind(text);
    if (width == m_widths.cend()) {
        if (m_widths.size() >= kMaxRememberedWidths)
            m_widths.clear();
        width = m_widths.insert(text, m_metrics->horizontalAdvance(text));
    }
    return { *width, m_metrics->height() };
}

void QPrinterCanvas::drawText(int x, int y, const QString& text)
{
    if (text.isEmpty())
        return;
    const QSize size = measure(text);
    m_painter.fillRect(QRect(QPoint(x, y), size), Qt::white);
    m_painter.drawText(x, y + m_metrics->ascent(), text);
}

void QPrinterCanvas::newPage()
{
    m_printer.newPage();
}

void QPrinterCanvas::endJob()
{
    const bool ended = m_painter.end();
    m_owner.setPrinting(false);
    if (!ended)
        throw PrintError(QStringLiteral("Der Druckauftrag konnte nicht abgeschlossen werden"));
    if (!m_previewing && m_printer.outputFormat() == QPrinter::PdfFormat && !m_printer.outputFileName().isEmpty()
        && !pdfComplete(m_printer.outputFileName()))
        throw PrintError(QStringLiteral("Konnte die Datei nicht vollständig schreiben"));
}

bool QPrinterCanvas::pdfComplete(const QString& path)
{
    // Qt's PDF writer reports no failed write (a full disk, a size limit): a file cut short lacks the
    // end-of-file mark that closes every PDF.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kTail = 32;
    if (file.size() > kTail && !file.seek(file.size() - kTail))
        return false;
    return file.readAll().contains("%%EOF");
}

} // namespace korbana
