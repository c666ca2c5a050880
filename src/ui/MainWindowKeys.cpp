// Keys beyond the menus' Alt letters: the usual shortcuts of the file and help commands, and Insert in the lists.
#include "MainWindow.h"
#include "StatusBar.h"

#include "lists/ListView.h"

#include <QAction>
#include <QKeySequence>

namespace korbana {

namespace {

// The platform's binding where it has one; the key that other Linux programs use where it has none (Qt's
// Windows scheme, which the offscreen and minimal platforms report, binds no "Save as" and no "Quit").
void setStandardShortcut(QAction* action, QKeySequence::StandardKey key, const QKeySequence& fallback)
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty())
        keys = { fallback };
    // The menu shows the key beside the item, and the key runs the item's own command.
    action->setShortcuts(keys);
}

} // namespace

void MainWindow::setUpKeys()
{
    setStandardShortcut(m_newAction, QKeySequence::New, QKeySequence(Qt::CTRL | Qt::Key_N));
    setStandardShortcut(m_openAction, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    setStandardShortcut(m_saveAction, QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S));
    setStandardShortcut(m_saveAsAction, QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    setStandardShortcut(m_printAction, QKeySequence::Print, QKeySequence(Qt::CTRL | Qt::Key_P));
    setStandardShortcut(m_quitAction, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    setStandardShortcut(m_helpAction, QKeySequence::HelpContents, QKeySequence(Qt::Key_F1));

    // Insert in a list does what the list's "Eintrag hinzufügen" button does; while the list's edit box is open the
    // key belongs to the box. With nothing to add from, the status bar says why, without a box in the typing.
    struct Adder
    {
        ListView* view;
        void (MainWindow::*add)();
        ListView* source;
        const char16_t* missing;
    };
    const Adder adders[] = { { m_storesView, &MainWindow::addStore, nullptr, nullptr },
        { m_productsView, &MainWindow::addProduct, m_storesView, u"Bitte zuerst einen Laden auswählen." },
        { m_shoppingView, &MainWindow::addToShoppingList, m_productsView, u"Bitte zuerst ein Produkt auswählen." } };
    for (const Adder& adder : adders)
        connect(adder.view, &ListView::keyPressed, this, [this, adder](int key) {
            if (key != Qt::Key_Insert || adder.view->isEditing())
                return;
            if (adder.source && adder.source->selectedRow() < 0)
                m_statusBar->showHint(QString::fromUtf16(adder.missing));
            else
                (this->*adder.add)();
        });
}

} // namespace korbana
