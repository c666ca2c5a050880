#include "ListSplitter.h"

#include "SidePanel.h"

#include <QEvent>

#include <algorithm>

namespace korbana {

ListSplitter::ListSplitter(QWidget* parent)
    : QSplitter(Qt::Horizontal, parent)
{
    setObjectName(QStringLiteral("listSplitter"));
    setHandleWidth(3);
    setChildrenCollapsible(true);
    // A hatched line follows the drag; the width changes on release.
    setOpaqueResize(false);
}

void ListSplitter::finishPanes()
{
    setStretchFactor(0, 0);
    setStretchFactor(1, 0);
    setStretchFactor(2, 1);
    setSizes({ 145, 269, 696 - 145 - 269 - 6 });
    handle(1)->installEventFilter(this);
    connect(this, &QSplitter::splitterMoved, this, [this](int, int index) { paneMoved(index); });
}

bool ListSplitter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        m_productsWidth = sizes().value(1);
    return QSplitter::eventFilter(watched, event);
}

void ListSplitter::paneMoved(int index)
{
    QList<int> widths = sizes();
    // The Product catalogue is left-aligned: moving the Store list's edge moves it whole, and the Shopping list
    // takes up the difference.
    if (index == 1) {
        const int total = widths[0] + widths[1] + widths[2];
        widths[1] = std::min(m_productsWidth, total - widths[0]);
        widths[2] = total - widths[0] - widths[1];
    }
    for (int i = 0; i < 2; ++i) {
        if (widths[i] > 0 && widths[i] <= kCollapseWidth) {
            widths[2] += widths[i];
            widths[i] = 0;
        }
    }
    if (widths != sizes())
        setSizes(widths);
}

} // namespace korbana
