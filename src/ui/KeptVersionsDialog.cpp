#include "KeptVersionsDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korbana {

KeptVersionsDialog::KeptVersionsDialog(const std::vector<KeptVersions::Kept>& versions, QWidget* parent)
    : QDialog(parent)
    , m_table(new QTableWidget(this))
{
    setObjectName(QStringLiteral("keptVersionsDialog"));
    setWindowTitle(QStringLiteral("Frühere Fassungen"));
    auto* layout = new QVBoxLayout(this);
    m_table->setObjectName(QStringLiteral("keptVersionsTable"));
    m_table->setColumnCount(4);
    m_table->setHorizontalHeaderLabels({ QStringLiteral("Ersetzt am"), QStringLiteral("Läden"),
        QStringLiteral("Produkte"), QStringLiteral("Einkaufsliste") });
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    const QLocale german(QLocale::German);
    for (const KeptVersions::Kept& version : versions) {
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        m_table->setItem(row, 0, new QTableWidgetItem(german.toString(version.time, QLocale::ShortFormat)));
        for (int list = 0; list < 3; ++list) {
            const int count = version.counts[static_cast<size_t>(list)];
            m_table->setItem(
                row, list + 1, new QTableWidgetItem(count < 0 ? QStringLiteral("unlesbar") : QString::number(count)));
        }
    }
    if (m_table->rowCount() > 0)
        m_table->selectRow(0);
    layout->addWidget(m_table);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Zusammenführen"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("mergeKeptButton"));
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, 300);
}

int KeptVersionsDialog::chosen() const
{
    return m_table->currentRow();
}

} // namespace korbana
