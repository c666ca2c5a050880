#include "MergeConflictsDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korbana {

namespace {

constexpr int kSubItems[] = { 0, 2, 3 };

} // namespace

MergeConflictsDialog::MergeConflictsDialog(const std::array<std::vector<MergeConflict>, 3>& conflicts, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("mergeConflictsDialog"));
    setWindowTitle(QStringLiteral("Zusammengeführt"));
    auto* layout = new QVBoxLayout(this);
    auto* table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("conflictTable"));
    table->setColumnCount(3);
    table->setHorizontalHeaderLabels({ QStringLiteral("Liste"), QStringLiteral("Hier"), QStringLiteral("Anderswo") });
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    const QString lists[] = { QStringLiteral("Läden"), QStringLiteral("Produkte"), QStringLiteral("Einkaufsliste") };
    for (size_t list = 0; list < conflicts.size(); ++list) {
        for (const MergeConflict& conflict : conflicts[list]) {
            const int row = table->rowCount();
            table->insertRow(row);
            table->setItem(row, 0, new QTableWidgetItem(lists[list]));
            table->setItem(row, 1, new QTableWidgetItem(shownEntry(conflict.ours, kSubItems[list])));
            table->setItem(row, 2, new QTableWidgetItem(shownEntry(conflict.theirs, kSubItems[list])));
        }
    }
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 320);
}

QString MergeConflictsDialog::shownEntry(const std::optional<Entry>& entry, int subItems)
{
    if (!entry)
        return QStringLiteral("(gelöscht)");
    QStringList texts { entry->caption };
    for (int i = 0; i < subItems; ++i)
        texts.append(entry->subItems[static_cast<size_t>(i)]);
    return texts.join(QStringLiteral(" | "));
}

} // namespace korbana
