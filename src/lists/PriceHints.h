#pragma once

#include "ListModel.h"
#include "PriceComparison.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QTimer>

// The marker in the "Preis" cell of each shopping entry whose product another shop of the catalogue sells
// cheaper: an icon, a tooltip and an accessible description, answered to the Shopping list's model on demand.
namespace korbana {

class PriceHints final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PriceHints)

public:
    static constexpr int kPriceColumn = 3;
    // After a change of the catalogue the markers are worked out again this much later, once for a burst.
    static constexpr int kSettleMs = 30;

    PriceHints(const ListModel& products, ListModel& shopping, const QIcon& marker, QObject* parent = nullptr);
    ~PriceHints() override;

    // Marks the price cells whose text cannot be read as a number (counted as 0 in the totals).
    void setUnreadableMarker(const QIcon& marker) { m_unreadableMarker = marker; }
    // The icon, tooltip or accessible description of a shopping entry's price cell; invalid for no marker.
    QVariant hint(int row, int role) const;
    // The catalogue's offers as they are now.
    const PriceIndex& index() const;

    // "Bei Lidl: 0,89 EUR (0,10 EUR günstiger)".
    static QString tooltipText(const CheaperOffer& cheaper);

Q_SIGNALS:
    // The markers may have changed: the Shopping list's view draws its cells again.
    void changed();

private:
    void catalogueChanged();
    void refresh();

    const ListModel& m_products;
    QPointer<ListModel> m_shopping;
    QIcon m_marker;
    QIcon m_unreadableMarker;
    mutable PriceIndex m_index;
    mutable bool m_stale = true;
    QTimer m_settle;
};

} // namespace korbana
