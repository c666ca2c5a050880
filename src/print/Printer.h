#pragma once

#include <QString>

#include <memory>

class QPrinter;

namespace korbana {

// The program's one printer object: the chosen printer with its copies, paper and orientation, kept from its
// first use until the program ends, and whether a job is open on it.
class Printer final
{
public:
    static const QString kBusyText;
    static const QString kNoPrinterText;

    static Printer& instance();

    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;
    ~Printer();

    // The printer for the dialogs and the jobs; raises kNoPrinterText when none can be had.
    QPrinter& printer();
    bool printing() const { return m_printing; }
    // Raises kBusyText while a job is open: neither the printer nor a new job may touch it then.
    void checkIdle() const;
    void setPrinting(bool printing) { m_printing = printing; }

private:
    Printer();

    std::unique_ptr<QPrinter> m_printer;
    bool m_printing = false;
};

} // namespace korbana
