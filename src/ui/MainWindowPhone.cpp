// The shopping list on the phone: the menu item, the button above the list, and sharing that ends with the window.
#include "MainWindow.h"

#include "controls/Pictures.h"
#include "phone/PhoneSharing.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include <algorithm>

namespace korbana {

void MainWindow::buildPhone()
{
    m_phoneSharing = new PhoneSharing(*m_document, m_dialogs, this);
    auto* share = new QAction(QStringLiteral("Aufs &Telefon..."), this);
    share->setObjectName(QStringLiteral("phoneAction"));
    connect(share, &QAction::triggered, this, &MainWindow::shareToPhone);

    // After the CSV commands, before the printing group.
    auto* fileMenu = menuBar()->findChild<QMenu*>(QStringLiteral("fileMenu"));
    const QList<QAction*> items = fileMenu->actions();
    const qsizetype csv = items.indexOf(m_csvImportAction);
    fileMenu->insertAction(csv >= 0 && csv + 1 < items.size() ? items[csv + 1] : nullptr, share);

    // The last button of the shopping list's strip, one place to the right of the others.
    QWidget* strip = findChild<QToolButton*>(QStringLiteral("clearShoppingButton"))->parentWidget();
    int x = 8;
    for (QToolButton* other : strip->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        x = std::max(x, other->x() + 24);
    auto* button = new QToolButton(strip);
    button->setObjectName(QStringLiteral("phoneButton"));
    button->setToolTip(QStringLiteral("Aufs Telefon..."));
    button->setAccessibleName(QStringLiteral("Einkaufsliste: aufs Telefon"));
    button->setIcon(Pictures::svg(QStringLiteral(":/pictures/telefon.svg")));
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(23, 22);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->move(x, 5);
    connect(button, &QToolButton::clicked, this, &MainWindow::shareToPhone);
}

void MainWindow::shareToPhone()
{
    m_phoneSharing->share();
}

} // namespace korbana
