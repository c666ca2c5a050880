// Printing the Shopping list, the printer set-up and the print font.
#include "MainWindow.h"

#include "ErrorReport.h"
#include "document/DurableFile.h"
#include "document/ListDocument.h"
#include "print/Printer.h"
#include "print/QPrinterCanvas.h"
#include "print/ShoppingPrintout.h"

#include <QPrinter>

#include <exception>

namespace korbana {

namespace {

// Runs a printing command; what it raises ends it and reaches the user as the application's error report.
template<typename Command> void reportingErrors(Dialogs& dialogs, Command command)
{
    try {
        command();
    } catch (const std::exception& error) {
        korbana::reportApplicationError(dialogs, QString::fromUtf8(error.what()));
    }
}

// The printer for a dialog of the printout. The dialog writes into the printer itself, so an open job must not meet
// it; it is named first, so that printing to a file offers "Einkaufsliste.pdf".
QPrinter& idlePrinter()
{
    Printer& printer = Printer::instance();
    printer.checkIdle();
    QPrinter& device = printer.printer();
    device.setDocName(QStringLiteral("Einkaufsliste"));
    return device;
}

// The column titles of a list, for a copy of some of its rows.
QStringList printedColumns(const ListModel& list)
{
    QStringList headers;
    for (int column = 0; column < list.columnCount(); ++column)
        headers.append(list.headerData(column, Qt::Horizontal).toString());
    return headers;
}

} // namespace

std::vector<Entry> MainWindow::entriesToPrint() const
{
    const bool leaveOut = printOptions().leaveTickedOut;
    std::vector<Entry> entries;
    entries.reserve(static_cast<size_t>(shopping()->count()));
    for (int row = 0; row < shopping()->count(); ++row) {
        if (!leaveOut || !m_document->isTicked(row))
            entries.push_back(shopping()->entryAt(row));
    }
    return entries;
}

void MainWindow::printShoppingList()
{
    // An open edit box holds text the printout must show.
    m_document->collectEdits();
    reportingErrors(m_dialogs, [this] {
        if (m_dialogs.print(this, &idlePrinter()))
            printOut();
    });
}

void MainWindow::printOut()
{
    // The run keeps the event loop until the job is closed, so the lists cannot change under it.
    QPrinterCanvas canvas(Printer::instance());
    const PrintMargins margins { leftMargin(), topMargin(), rightMargin(), bottomMargin() };
    const PrintOptions options = printOptions();
    if (!options.leaveTickedOut || m_document->tickedCount() == 0) {
        ShoppingPrintout(canvas, *shopping(), margins, m_printFont, options).run();
    } else {
        // The entries not ticked off, as a list of their own (their texts shared) for the printout to read.
        ListModel unticked(printedColumns(*shopping()));
        unticked.appendAll(entriesToPrint());
        ShoppingPrintout(canvas, unticked, margins, m_printFont, options).run();
    }
    const QPrinter& printer = Printer::instance().printer();
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        limitReadersTo(printer.outputFileName(), m_document->fileName());
}

void MainWindow::previewShoppingList()
{
    m_document->collectEdits();
    reportingErrors(m_dialogs, [this] {
        // The preview draws by the printout's own code, so it shows what prints; printing from it draws again.
        m_dialogs.showPrintPreview(
            this, idlePrinter(), [this](QPrinter*) { reportingErrors(m_dialogs, [this] { printOut(); }); });
    });
}

void MainWindow::setUpPrinter()
{
    reportingErrors(m_dialogs, [this] {
        Printer& printer = Printer::instance();
        printer.checkIdle();
        m_dialogs.printerSetup(this, &printer.printer());
    });
}

void MainWindow::choosePrintFont()
{
    QFont font = m_printFont.toQFont();
    if (!m_dialogs.chooseFont(this, font))
        return;
    PrintFont chosen = m_printFont;
    chosen.assignQFont(font, m_printFont.qcolor());
    setPrintFont(chosen);
}

} // namespace korbana
