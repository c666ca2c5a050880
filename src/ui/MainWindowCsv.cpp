// CSV export and import of the three lists.
#include "MainWindow.h"

#include "document/Csv.h"
#include "document/ListCommands.h"

#include <QProgressDialog>
#include <QTimer>
#include <QUndoStack>

#include <chrono>
#include <future>

namespace korbana {

void MainWindow::exportCsv()
{
    // The tool and menu commands take no focus: an open edit box would otherwise keep its text from the file.
    commitEdits();
    const QString path = m_dialogs.chooseFile(this, m_csvSaveOptions);
    if (path.isEmpty())
        return;
    if (const auto failure = korbana::exportCsvFile(path, m_document->lists()))
        m_dialogs.error(this, failure->text, failure->title);
}

void MainWindow::importCsv()
{
    commitEdits();
    const QString path = m_dialogs.chooseFile(this, m_csvOpenOptions);
    if (path.isEmpty())
        return;
    // Read on a worker thread: a large file must not freeze the window. Most files are read before the progress
    // dialog would appear; it shows after half a second, and its "Abbrechen" leaves the lists as they are.
    korbana::CsvReadControl control;
    std::future<korbana::CsvContent> reading
        = std::async(std::launch::async, [path, &control] { return korbana::readCsvFile(path, &control); });
    using namespace std::chrono_literals;
    if (reading.wait_for(500ms) != std::future_status::ready) {
        QProgressDialog progress(
            QStringLiteral("Die CSV-Datei wird gelesen …"), QStringLiteral("Abbrechen"), 0, 1000, this);
        progress.setWindowTitle(QStringLiteral("CSV Import"));
        progress.setMinimumDuration(0);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        QTimer poll;
        poll.callOnTimeout(&progress, [&] {
            if (reading.wait_for(0ms) == std::future_status::ready)
                progress.accept();
            else
                progress.setValue(std::min(999, control.permille.load()));
        });
        poll.start(50);
        if (m_dialogs.exec(&progress) != QDialog::Accepted) {
            control.cancel = true;
            reading.wait();
            return;
        }
    }
    korbana::CsvContent content = reading.get();
    if (const auto failure = korbana::csvFailure(content))
        m_dialogs.error(this, failure->text, failure->title);
    else if (!content.cancelled)
        pushImport(content);
}

void MainWindow::pushImport(CsvContent& content)
{
    // The three lists' additions are one step.
    auto* step = new QUndoCommand(StepNames::importCsv());
    const std::pair<ListModel*, std::vector<Entry>*> parts[]
        = { { stores(), &content.stores }, { products(), &content.products }, { shopping(), &content.shopping } };
    for (const auto& [list, rows] : parts)
        if (!rows->empty())
            new AppendRowsCommand(list, std::move(*rows), {}, step);
    if (step->childCount() > 0)
        m_document->push(step);
    else
        delete step;
}

} // namespace korbana
