#pragma once

#include <QPointer>
#include <QTableView>
#include <QTimer>

#include <functional>

class QAbstractProxyModel;

namespace korbana {

class ListModel;

// A list in report style over a ListModel: whole-row single selection, grid lines, columns sharing the width,
// in-place editing of the caption, and selection by resting the pointer on a row.
class ListView final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListView)

public:
    explicit ListView(QWidget* parent = nullptr);

    void setListModel(ListModel* model);
    ListModel* listModel() const { return m_model; }
    // Shows only the rows this proxy of the list model lets through; null shows all. Rows given to and returned
    // by the view's functions stay rows of the list model; the selection stays with its row if still shown.
    void setRowFilter(QAbstractProxyModel* filter);
    QAbstractProxyModel* rowFilter() const { return m_filter; }

    // The one selected row, or -1.
    int selectedRow() const;
    void selectRow(int row);
    // Focus to the list, select the row and open the edit box over its caption.
    void beginEdit(int row);
    bool isEditing() const;
    using QTableView::edit;
    QHeaderView* header() const { return horizontalHeader(); }
    // Stores the open edit box's text as the caption and closes the box; nothing when none is open.
    void commitEdit();
    // Called by the delegate for each edit box it makes.
    void setEditor(QWidget* editor) { m_editor = editor; }
    // Where a caption confirmed in the edit box goes (the undo history); without one it goes into the list.
    using RenameHandler = std::function<void(int row, const QString& caption)>;
    void setRenameHandler(RenameHandler handler) { m_renameHandler = std::move(handler); }
    // Called by the delegate with the confirmed caption of a shown index; false when the list takes it itself.
    bool rename(const QModelIndex& shown, const QString& caption);

    // Columns of short values (a quantity, a price) that are widened to their shown texts and heading where the
    // shared width would cut them, as under a larger font; the other columns share what is left. While every
    // text fits, all columns share the width equally.
    void setFittedColumns(const QList<int>& columns);
    // Columns of names that share whatever width the texts of the other columns leave over. Without any, the
    // last column takes it.
    void setNameColumns(const QList<int>& columns);
    // Fits the column to its shown texts and keeps it so, as a double click on the right edge of its heading does.
    void fitColumnToTexts(int column);

    // Row under the pointer (underlined), -1 when none.
    int hotRow() const { return m_hotRow; }
    static int hoverTime();
    // Width and height of the box within which the pointer counts as resting.
    static constexpr int kHoverBox = 4;

Q_SIGNALS:
    void keyPressed(int key);
    // A double click on an entry.
    void rowDoubleClicked();
    void headerClicked(int column);
    // The edit box closed, confirmed or not.
    void editClosed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void changeEvent(QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setHotRow(int row);
    void updateRowHeight();
    void watchShownRows();
    void fitColumns();
    int columnNeed(int column) const;
    // The column whose heading's right edge is at x (in the header's coordinates), or -1.
    int columnEdgeAt(int x) const;
    // The shown index of a list model row (invalid when filtered out), and the list model row of a shown index.
    QModelIndex shownIndex(int row) const;
    int listRow(const QModelIndex& shown) const;
    void hoverElapsed();
    void clickEditElapsed();

    ListModel* m_model = nullptr;
    QAbstractProxyModel* m_filter = nullptr;
    int m_hotRow = -1;
    QPointer<QWidget> m_editor;
    RenameHandler m_renameHandler;
    QPoint m_hoverAnchor;
    bool m_focusedByMouse = false;
    bool m_focusedOnPress = false;
    QTimer m_hoverTimer;
    // A click on the selected entry renames it only after the double-click time, and only while the list keeps
    // the focus and the pointer stays where it clicked.
    QTimer m_clickEditTimer;
    QPersistentModelIndex m_clickEditIndex;
    QPoint m_clickEditPos;
    bool m_doubleClicked = false;
    QList<int> m_fittedColumns;
    QList<int> m_nameColumns;
    // Measures once after a burst of changes.
    QTimer m_fitTimer;
};

} // namespace korbana
