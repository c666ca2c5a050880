#pragma once

#include "MainWindowFixture.h"
#include "lists/ListModel.h"
#include "lists/ListView.h"
#include "ui/MainWindow.h"
#include "ui/ProductDialog.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

#include <memory>

using namespace korbana;

// Types text over the whole text of the open edit box and ends with key. The box hands its text over once the key's
// own handling has ended.
inline void typeIntoOpenEditor(const QString& text, int key)
{
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key(key));
    QCoreApplication::processEvents();
}

// The real main window over a temporary program directory, shown, with the product dialog attached and the
// start-up message about the missing default file forgotten.
struct ListsHarness : MainWindowFixture
{
    std::unique_ptr<ProductDialog> productDialog;

    bool show()
    {
        if (!dir.isValid())
            return false;
        // No test may touch the user's own settings.
        QStandardPaths::setTestModeEnabled(true);
        start();
        productDialog = std::make_unique<ProductDialog>(form.get());
        form->setProductDialog(productDialog.get());
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            return false;
        dialogs.messages.clear();
        return true;
    }

    ListView* view(int list) const
    {
        ListView* views[] = { form->storesView(), form->productsView(), form->shoppingView() };
        return views[list];
    }

    ListModel* model(int list) const
    {
        ListModel* models[] = { form->stores(), form->products(), form->shopping() };
        return models[list];
    }

    // Rows written "caption|sub-item 0|sub-item 1|sub-item 2".
    void fill(int list, const QStringList& rows) const
    {
        for (const QString& row : rows) {
            QStringList fields = row.split(u'|');
            const QString caption = fields.takeFirst();
            model(list)->append(caption, fields);
        }
    }

    QStringList rows(int list) const
    {
        const ListModel* m = model(list);
        QStringList result;
        for (int row = 0; row < m->count(); ++row) {
            QStringList fields { m->caption(row) };
            for (int i = 0; i < m->subItemCount(); ++i)
                fields.append(m->subItem(row, i));
            result.append(fields.join(u'|'));
        }
        return result;
    }

    // A real click on a column header.
    void clickHeader(int list, int column) const
    {
        QHeaderView* header = view(list)->header();
        const QPoint pos(
            header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, pos);
    }

    QString status() const { return form->statusBar()->currentMessage(); }
};
