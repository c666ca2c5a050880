#pragma once

#include <QLineEdit>

class QTimer;

namespace korbana {

class ListModel;
class ListView;
class ProductFilter;

// The search field of the Product catalogue: the list shows only the products whose name or shop holds the text.
// A long catalogue is filtered after a pause in the typing; Escape empties the field. Down and Enter select the
// first match: Down goes into the list, Enter takes the match (matchTaken).
class ProductSearch final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductSearch)

public:
    ProductSearch(ListModel* products, ListView* view, QWidget* parent);

    // Filters the catalogue by the field's text now.
    void apply();
    void clearSearch();
    // The field takes the focus with its text selected, to be typed over.
    void focusSearch();

Q_SIGNALS:
    // Enter selected the first match.
    void matchTaken();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ListModel* m_products;
    ListView* m_view;
    ProductFilter* m_filter;
    QTimer* m_pause;
};

} // namespace korbana
