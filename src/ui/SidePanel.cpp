#include "SidePanel.h"

#include <QScreen>
#include <QSplitter>

#include <algorithm>

namespace korbana {

SidePanel::SidePanel(int width, QWidget* parent)
    : QFrame(parent)
    , m_width(width)
    , m_designWidth(width)
{
}

QSplitter* SidePanel::splitter() const
{
    return qobject_cast<QSplitter*>(parentWidget());
}

int SidePanel::panelWidth() const
{
    QSplitter* s = splitter();
    const int index = s ? s->indexOf(const_cast<SidePanel*>(this)) : -1;
    if (index < 0 || !m_laidOut)
        return m_width;
    return s->sizes().value(index, m_width);
}

void SidePanel::showEvent(QShowEvent* event)
{
    m_laidOut = true;
    QFrame::showEvent(event);
}

void SidePanel::setPanelWidth(int width)
{
    // A stored width may be anything up to the integer limit. One wider than the screen would push the other
    // lists out of any window that fits on it: the pane takes its design width instead.
    const QScreen* shownOn = screen();
    const int screenWidth = shownOn ? shownOn->availableVirtualGeometry().width() : QWIDGETSIZE_MAX;
    m_width = width > screenWidth ? m_designWidth : std::clamp(width, 0, QWIDGETSIZE_MAX);
    QSplitter* s = splitter();
    const int index = s ? s->indexOf(this) : -1;
    if (index < 0)
        return;
    QList<int> sizes = s->sizes();
    if (sizes.size() <= index)
        return;
    const int total = std::max(s->width(), 1);
    qint64 others = 0;
    for (int i = 0; i < sizes.size(); ++i)
        if (i != index && i != sizes.size() - 1)
            others += sizes[i];
    sizes[index] = m_width;
    // The last pane takes what is left.
    sizes.back() = static_cast<int>(std::max<qint64>(0, qint64(total) - others - m_width));
    s->setSizes(sizes);
}

} // namespace korbana
