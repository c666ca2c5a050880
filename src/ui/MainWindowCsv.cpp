// CSV export and import of the three lists.
#include "MainWindow.h"

#include "document/Csv.h"

void MainWindow::CSVExport1Click()
{
    // The tool and menu commands take no focus: an open edit box would otherwise keep its text from the file.
    commitEdits();
    const QString path = m_dialogs.chooseFile(this, CSVSaveDialog1);
    if (path.isEmpty())
        return;
    if (const auto failure = korbana::exportCsvFile(path, { m_stores, m_products, m_shopping }))
        m_dialogs.error(this, failure->text, failure->title);
}

void MainWindow::CSVImport1Click()
{
    commitEdits();
    const QString path = m_dialogs.chooseFile(this, CSVOpenDialog1);
    if (path.isEmpty())
        return;
    if (const auto failure = korbana::importCsvFile(path, { m_stores, m_products, m_shopping }))
        m_dialogs.error(this, failure->text, failure->title);
    refreshStatusText();
}
