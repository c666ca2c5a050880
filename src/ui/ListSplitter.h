#pragma once

#include <QSplitter>

namespace korbana {

// The splitter of the three lists: the Store list and the Product catalogue keep their widths and collapse when
// dragged narrow; the Shopping list takes up the rest.
class ListSplitter final : public QSplitter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListSplitter)

public:
    explicit ListSplitter(QWidget* parent = nullptr);
    // Once the three panes are in: their design widths and the behaviour of the handles.
    void finishPanes();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paneMoved(int index);

    // The Product catalogue's width when a drag of the handle right of the Store list began.
    int m_productsWidth = 0;
};

} // namespace korbana
