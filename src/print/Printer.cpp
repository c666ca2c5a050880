#include "Printer.h"

#include "PrintError.h"

#include <QCoreApplication>
#include <QPrinter>

namespace korbana {

const QString Printer::kBusyText = QStringLiteral("Das Drucken ist im Gang");
const QString Printer::kNoPrinterText = QStringLiteral("Zur Zeit ist kein Standard-Drucker gewählt");

namespace {

Printer* s_instance = nullptr;

// The printing system must still be there when the printer goes, so it goes with the application.
void dropInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

} // namespace

Printer::Printer() = default;
Printer::~Printer() = default;

Printer& Printer::instance()
{
    if (!s_instance) {
        s_instance = new Printer;
        qAddPostRoutine(dropInstance);
    }
    return *s_instance;
}

QPrinter& Printer::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Without any printer Qt offers a PDF writer, which counts as a printer: only a printer that cannot
    // print at all is missing.
    if (!m_printer->isValid())
        throw PrintError(kNoPrinterText);
    return *m_printer;
}

void Printer::checkIdle() const
{
    if (m_printing)
        throw PrintError(kBusyText);
}

} // namespace korbana
