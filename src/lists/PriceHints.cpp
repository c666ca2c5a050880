#include "PriceHints.h"

#include "ListTexts.h"

namespace korbana {

PriceHints::PriceHints(const ListModel& products, ListModel& shopping, const QIcon& marker, QObject* parent)
    : QObject(parent)
    , m_products(products)
    , m_shopping(&shopping)
    , m_marker(marker)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &PriceHints::refresh);
    // Any change of the catalogue makes the index stale at once, so that no cell is answered from rows that
    // have gone; the Shopping list's own changes need nothing, as each cell is worked out when it is drawn.
    connect(&products, &QAbstractItemModel::rowsInserted, this, &PriceHints::catalogueChanged);
    connect(&products, &QAbstractItemModel::rowsRemoved, this, &PriceHints::catalogueChanged);
    connect(&products, &QAbstractItemModel::rowsMoved, this, &PriceHints::catalogueChanged);
    connect(&products, &QAbstractItemModel::modelReset, this, &PriceHints::catalogueChanged);
    connect(&products, &QAbstractItemModel::layoutChanged, this, &PriceHints::catalogueChanged);
    connect(&products, &QAbstractItemModel::dataChanged, this, &PriceHints::catalogueChanged);
    shopping.setCellHints(kPriceColumn, [this](int row, int role) { return hint(row, role); });
}

PriceHints::~PriceHints()
{
    if (m_shopping)
        m_shopping->setCellHints(-1, {});
}

const PriceIndex& PriceHints::index() const
{
    if (m_stale) {
        m_index.rebuild(m_products);
        m_stale = false;
    }
    return m_index;
}

QVariant PriceHints::hint(int row, int role) const
{
    if (!m_shopping || (role != Qt::DecorationRole && role != Qt::ToolTipRole && role != Qt::AccessibleDescriptionRole))
        return {};
    if (!unitPriceOf(m_shopping->entryAt(row).subItems[2], decimalSeparator())) {
        if (role == Qt::DecorationRole)
            return m_unreadableMarker;
        return QStringLiteral("Preis nicht lesbar: zählt mit 0 zur Summe");
    }
    const std::optional<CheaperOffer> cheaper = index().cheaperElsewhere(m_shopping->entryAt(row));
    if (!cheaper)
        return {};
    if (role == Qt::DecorationRole)
        return m_marker;
    const QString text = tooltipText(*cheaper);
    return role == Qt::ToolTipRole ? text : QStringLiteral("Günstiger in einem anderen Laden. ") + text;
}

QString PriceHints::tooltipText(const CheaperOffer& cheaper)
{
    return QStringLiteral("Bei %1: %2 (%3 günstiger)")
        .arg(cheaper.offer.shop, priceText(cheaper.offer.price), priceText(cheaper.saving));
}

void PriceHints::catalogueChanged()
{
    m_stale = true;
    m_settle.start();
}

void PriceHints::refresh()
{
    index();
    Q_EMIT changed();
}

} // namespace korbana
