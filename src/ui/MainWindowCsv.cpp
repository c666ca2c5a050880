// CSV export and import of the three lists.
#include "MainWindow.h"

#include "document/Csv.h"

#include "CsvProgress.h"

namespace korbana {

void MainWindow::exportCsv()
{
    // The tool and menu commands take no focus: an open edit box would otherwise keep its text from the file.
    m_document->collectEdits();
    const QString path = m_dialogs.chooseFile(this, m_csvSaveOptions);
    if (path.isEmpty())
        return;
    if (const auto failure = korbana::exportCsvFile(path, m_document->lists(), m_document->fileName()))
        m_dialogs.error(this, failure->text, failure->title);
}

void MainWindow::importCsv()
{
    m_document->collectEdits();
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
        m_document->importEntries(std::move(*content));
}

} // namespace korbana
