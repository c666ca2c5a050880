#include "ListCopying.h"

#include "document/ListDocument.h"
#include "lists/ListView.h"
#include "print/ShoppingText.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

#include <functional>
#include <optional>

namespace korbana {

namespace {

// copy gives the text, or nullopt when there is nothing to copy (the clipboard then keeps what it holds).
void addCopyAction(
    ListView* view, const QString& text, const char* name, const std::function<std::optional<QString>()>& copy)
{
    auto* action = new QAction(text, view);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(QKeySequence::Copy);
    action->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(action);
    QObject::connect(action, &QAction::triggered, view, [copy] {
        if (const std::optional<QString> copied = copy())
            QGuiApplication::clipboard()->setText(*copied);
    });
}

void addRowCopyAction(ListView* view, const char* name)
{
    addCopyAction(view, QStringLiteral("Kopieren"), name, [view]() -> std::optional<QString> {
        if (const int row = view->selectedRow(); row >= 0)
            return rowText(*view->listModel(), row);
        return std::nullopt;
    });
}

} // namespace

void offerCopying(ListDocument* document, ListView* stores, ListView* products, ListView* shopping)
{
    addCopyAction(shopping, QStringLiteral("Als Text kopieren"), "copyShoppingListAction",
        [document, shopping]() -> std::optional<QString> {
            document->collectEdits();
            return shoppingListText(*shopping->listModel());
        });
    shopping->setContextMenuPolicy(Qt::ActionsContextMenu);
    addRowCopyAction(stores, "copyStoreAction");
    addRowCopyAction(products, "copyProductAction");
}

} // namespace korbana
