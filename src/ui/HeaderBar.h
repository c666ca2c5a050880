#pragma once

#include <QFrame>

namespace korbana {

// The coloured bar above each list and on the settings page: raised inner, lowered outer bevel, a centred
// caption in "Arial Black" with a one-pixel highlight shadow to its upper left. Labels placed on the bar take its
// text colour.
class HeaderBar final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HeaderBar)

public:
    static QColor headerColor() { return QColor(240, 202, 166); }
    // The bar's colour is fixed, so its texts are too: dark on the light beige in every colour scheme.
    static QColor textColor() { return Qt::black; }
    static QColor shadowColor() { return Qt::white; }

    HeaderBar(const QString& text, int height, QWidget* parent = nullptr);
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

} // namespace korbana
