// CSV export and import of the three lists.
#include "MainWindow.h"

#include "document/Csv.h"

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
    if (const auto failure = korbana::importCsvFile(path, m_document->lists()))
        m_dialogs.error(this, failure->text, failure->title);
    showStatusText();
}

} // namespace korbana
