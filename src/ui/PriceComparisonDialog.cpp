#include "PriceComparisonDialog.h"

#include "lists/ListTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace korbana {

namespace {

// The value a cell sorts by, where it differs from its text; and the mark of the row that stays last.
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kLastRowRole = Qt::UserRole + 2;

// Sorts by the cells' values; the cheapest mix stays the last row in either direction. Shops that lack equally
// many entries follow their totals, so that the complete shops come first, cheapest first.
class ComparisonSort final : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        const bool leftLast = left.data(kLastRowRole).toBool();
        const bool rightLast = right.data(kLastRowRole).toBool();
        if (leftLast != rightLast)
            return (sortOrder() == Qt::AscendingOrder) == rightLast;
        if (left.column() == PriceComparisonDialog::Missing && left.data(kSortRole) == right.data(kSortRole))
            return QSortFilterProxyModel::lessThan(left.siblingAtColumn(PriceComparisonDialog::Total),
                right.siblingAtColumn(PriceComparisonDialog::Total));
        return QSortFilterProxyModel::lessThan(left, right);
    }
};

QStandardItem* cell(const QString& text, const QVariant& sortValue)
{
    auto* item = new QStandardItem(text);
    item->setData(sortValue, kSortRole);
    item->setEditable(false);
    if (sortValue.typeId() != QMetaType::QString)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// A sum of prices, or that it left the range of numbers.
QString money(double value)
{
    return totalText(value, decimalSeparator(), u" EUR");
}

QString missingText(int missing, const QStringList& names)
{
    if (missing == 0)
        return QStringLiteral("–");
    if (names.isEmpty())
        return QString::number(missing);
    QString text = QString::number(missing) + QStringLiteral(": ") + names.join(QStringLiteral(", "));
    return names.size() < missing ? text + QStringLiteral(", …") : text;
}

} // namespace

PriceComparisonDialog::PriceComparisonDialog(const PriceComparisonResult& result, int entryCount, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Preisvergleich"));
    setObjectName(QStringLiteral("PriceComparisonDialog"));
    m_model = new QStandardItemModel(0, ColumnCount, this);
    m_model->setHorizontalHeaderLabels({ QStringLiteral("Laden"), QStringLiteral("Produkte"), QStringLiteral("Summe"),
        QStringLiteral("Es fehlen"), QStringLiteral("Ersparnis") });
    for (const ShopTotal& shop : result.shops) {
        m_model->appendRow({ cell(shop.shop, shop.shop), cell(QString::number(shop.carried), shop.carried),
            cell(money(shop.total), shop.total), cell(missingText(shop.missing, shop.missingNames), shop.missing),
            cell(shop.carried > 0 ? money(shop.saving) : QStringLiteral("–"), shop.saving) });
    }
    const int mixCarried = entryCount - result.mixMissing;
    QList<QStandardItem*> mix { cell(QStringLiteral("Günstigste Aufteilung"), QString()),
        cell(QString::number(mixCarried), mixCarried), cell(money(result.cheapestMixTotal), result.cheapestMixTotal),
        cell(missingText(result.mixMissing, {}), result.mixMissing),
        cell(money(result.listSaving), result.listSaving) };
    for (QStandardItem* item : mix) {
        item->setData(true, kLastRowRole);
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
    }
    m_model->appendRow(mix);

    m_sorted = new ComparisonSort(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(kSortRole);
    m_sorted->setSortLocaleAware(true);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("comparisonTable"));
    m_view->setAccessibleName(QStringLiteral("Preisvergleich"));
    m_view->setModel(m_sorted);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(Missing, Qt::AscendingOrder);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->resizeColumnsToContents();

    // What each saving is measured against, in plain words.
    auto* note = new QLabel(
        QStringLiteral(
            "Ersparnis eines Ladens: was die günstigste Aufteilung gegenüber dem Einkauf nur in diesem Laden spart, "
            "über "
            "die Produkte, die er führt. Letzte Zeile: was „Günstigste Läden wählen“ gegenüber der Einkaufsliste, wie "
            "sie ist, spart."),
        this);
    note->setObjectName(QStringLiteral("savingNote"));
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(QStringLiteral("&Kopieren"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("copyButton"));
    connect(copy, &QPushButton::clicked, this, &PriceComparisonDialog::copyTable);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addWidget(note);
    layout->addWidget(buttons);
    resize(640, 400);
}

void PriceComparisonDialog::showEvent(QShowEvent* event)
{
    // Wide enough for every column, as far as the screen allows.
    int columns = 2 * m_view->frameWidth() + m_view->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < ColumnCount; ++column)
        columns += m_view->horizontalHeader()->sectionSize(column);
    const QMargins margins = layout()->contentsMargins();
    int wanted = std::max(width(), columns + margins.left() + margins.right());
    if (const QScreen* shown = screen())
        wanted = std::min(wanted, shown->availableGeometry().width() - (frameGeometry().width() - width()));
    if (wanted != width())
        resize(wanted, height());
    QDialog::showEvent(event);
}

QString PriceComparisonDialog::tableText() const
{
    QStringList lines;
    QStringList header;
    for (int column = 0; column < ColumnCount; ++column)
        header << m_sorted->headerData(column, Qt::Horizontal).toString();
    lines << header.join(u'\t');
    for (int row = 0; row < m_sorted->rowCount(); ++row) {
        QStringList fields;
        for (int column = 0; column < ColumnCount; ++column)
            fields << m_sorted->index(row, column).data().toString();
        lines << fields.join(u'\t');
    }
    return lines.join(u'\n') + u'\n';
}

void PriceComparisonDialog::copyTable()
{
    QApplication::clipboard()->setText(tableText());
}

} // namespace korbana
