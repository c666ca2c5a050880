// CSV export and import of the three lists.
#include "MainWindow.h"

#include "document/Csv.h"
#include "document/ListCommands.h"

#include "CsvProgress.h"

#include <QUndoStack>

namespace korbana {

void MainWindow::exportCsv()
{
    // The tool and menu commands take no focus: an open edit box would otherwise keep its text from the file.
    commitEdits();
    const QString path = m_dialogs.chooseFile(this, m_csvSaveOptions);
    if (path.isEmpty())
        return;
    if (const auto failure = korbana::exportCsvFile(path, m_document->lists(), m_document->fileName()))
        m_dialogs.error(this, failure->text, failure->title);
}

void MainWindow::importCsv()
{
    commitEdits();
    const QString path = m_dialogs.chooseFile(this, m_csvOpenOptions);
    if (path.isEmpty())
        return;
    // "Abbrechen" in the progress dialog leaves the lists as they are.
    std::optional<CsvContent> content = readCsvWithProgress(path, m_dialogs, this);
    if (!content)
        return;
    if (const auto failure = csvFailure(*content))
        m_dialogs.error(this, failure->text, failure->title);
    else if (!content->cancelled)
        pushImport(*content);
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
