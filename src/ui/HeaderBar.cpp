#include "HeaderBar.h"

#include <QPainter>
#include <qdrawutil.h>

namespace korbana {

HeaderBar::HeaderBar(const QString& text, int height, QWidget* parent)
    : QFrame(parent)
    , m_text(text)
{
    setFixedHeight(height);
    QFont f(QStringLiteral("Arial Black"));
    f.setPixelSize(16);
    f.setWeight(QFont::Black);
    setFont(f);
    // A dark colour scheme's light text would vanish on the beige, here and in the labels placed on the bar.
    QPalette colours = palette();
    for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text })
        colours.setColor(role, textColor());
    colours.setColor(QPalette::Window, headerColor());
    setPalette(colours);
}

void HeaderBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect outer = rect();
    painter.fillRect(outer, headerColor());
    qDrawShadePanel(&painter, outer, palette(), true, 1);
    qDrawShadePanel(&painter, outer.adjusted(1, 1, -1, -1), palette(), false, 1);
    if (m_text.isEmpty())
        return;
    painter.setFont(font());
    painter.setPen(shadowColor());
    painter.drawText(outer.translated(-1, -1), Qt::AlignCenter, m_text);
    painter.setPen(textColor());
    painter.drawText(outer, Qt::AlignCenter, m_text);
}

} // namespace korbana
