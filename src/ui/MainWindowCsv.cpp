// CSV export and import of the three lists.
#include "MainWindow.h"

#include "document/Csv.h"
#include "document/ListCommands.h"

#include <QUndoStack>

namespace korbana {

void MainWindow::exportCsv()
{
    // The tool and menu commands take no focus: an open edit box would otherwise keep its text from the file.
    commitEdits();
    const QString path = m_dialogs.chooseFile(this, m_csvSaveOptions);
    if (path.isEmpty())
        return;
    if (const auto failure = korbana::exportCsvFile(path, { m_stores, m_products, m_shopping }))
        m_dialogs.error(this, failure->text, failure->title);
}

void MainWindow::importCsv()
{
    commitEdits();
    const QString path = m_dialogs.chooseFile(this, m_csvOpenOptions);
    if (path.isEmpty())
        return;
    korbana::CsvContent content;
    if (const auto failure = korbana::readCsvFile(path, content)) {
        m_dialogs.error(this, failure->text, failure->title);
    } else {
        // The three lists' additions are one step.
        auto* step = new QUndoCommand(korbana::StepNames::importCsv());
        const std::pair<ListModel*, std::vector<Entry>*> parts[]
            = { { m_stores, &content.stores }, { m_products, &content.products }, { m_shopping, &content.shopping } };
        for (const auto& [list, rows] : parts)
            if (!rows->empty())
                new korbana::AppendRowsCommand(list, std::move(*rows), {}, step);
        if (step->childCount() > 0)
            history()->push(step);
        else
            delete step;
    }
    refreshStatusText();
}

} // namespace korbana
