#pragma once

#include <QMenu>

class QUndoStack;

namespace korbana {

// "Bearbeiten": undo and redo, named after the steps of the history they take back or do again, and the price
// commands. The window connects the actions to its commands.
class EditMenu final : public QMenu
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditMenu)

public:
    EditMenu(QUndoStack* history, QWidget* parent);

    QAction* undoAction() const { return m_undo; }
    QAction* redoAction() const { return m_redo; }
    QAction* cheapestShopsAction() const { return m_cheapestShops; }
    QAction* priceComparisonAction() const { return m_priceComparison; }

private:
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_cheapestShops = nullptr;
    QAction* m_priceComparison = nullptr;
};

} // namespace korbana
