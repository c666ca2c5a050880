#include "ProductSearch.h"

#include "lists/ListModel.h"
#include "lists/ListView.h"
#include "lists/ProductFilter.h"

#include <QAbstractProxyModel>
#include <QAction>
#include <QKeyEvent>
#include <QTimer>

namespace korbana {

namespace {

// Typing into the search waits this long for the next key before a long catalogue is filtered.
constexpr int kSearchPauseMs = 150;
// Up to this many products every key filters at once.
constexpr int kInstantSearchRows = 20000;

} // namespace

ProductSearch::ProductSearch(ListModel* products, ListView* view, QWidget* parent)
    : QLineEdit(parent)
    , m_products(products)
    , m_view(view)
    , m_filter(new ProductFilter(this))
    , m_pause(new QTimer(this))
{
    m_filter->setSourceModel(products);
    setObjectName(QStringLiteral("productSearchEdit"));
    setPlaceholderText(QStringLiteral("Suchen…"));
    setAccessibleName(QStringLiteral("Produkte suchen"));
    setClearButtonEnabled(true);

    m_pause->setSingleShot(true);
    m_pause->setInterval(kSearchPauseMs);
    connect(m_pause, &QTimer::timeout, this, &ProductSearch::apply);
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (m_products->count() <= kInstantSearchRows)
            apply();
        else
            m_pause->start();
    });
    // Only while the field has the focus, so Escape elsewhere keeps its own meaning.
    auto* clearing = new QAction(this);
    clearing->setObjectName(QStringLiteral("clearSearchAction"));
    clearing->setShortcut(Qt::Key_Escape);
    clearing->setShortcutContext(Qt::WidgetShortcut);
    addAction(clearing);
    connect(clearing, &QAction::triggered, this, &ProductSearch::clearSearch);
}

void ProductSearch::apply()
{
    m_pause->stop();
    const QString searched = text();
    m_filter->setSearchText(searched);
    // Without a search the list shows its model directly, so nothing stands between it and a long list.
    m_view->setRowFilter(searched.isEmpty() ? nullptr : m_filter);
}

void ProductSearch::clearSearch()
{
    clear();
    apply();
}

void ProductSearch::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Down) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // What was typed counts, even while a long catalogue waits for the pause.
    apply();
    const QAbstractProxyModel* filter = m_view->rowFilter();
    const int shown = filter ? filter->rowCount() : m_products->count();
    if (shown == 0)
        return;
    m_view->selectRow(filter ? filter->mapToSource(filter->index(0, 0)).row() : 0);
    m_view->setFocus(Qt::ShortcutFocusReason);
    if (key != Qt::Key_Down)
        Q_EMIT matchTaken();
}

void ProductSearch::focusSearch()
{
    setFocus(Qt::ShortcutFocusReason);
    selectAll();
}

} // namespace korbana
