#pragma once

#include "ShoppingSource.h"

namespace korbana {

class ListDocument;
class ListModel;

// The document's shopping list as the phone sees it.
class DocumentShoppingSource final : public ShoppingSource
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DocumentShoppingSource)

public:
    explicit DocumentShoppingSource(ListDocument& document, QObject* parent = nullptr);

    QList<PhoneEntry> entries() const override;
    bool setTicked(const QString& key, bool ticked) override;

private:
    void follow(ListModel* model);
    // Shopping rows with their keys, in list order.
    QList<std::pair<int, QString>> keyedRows() const;

    ListDocument& m_document;
};

} // namespace korbana
