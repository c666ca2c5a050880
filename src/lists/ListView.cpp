#include "ListView.h"

#include "ListModel.h"

#include <QAbstractProxyModel>
#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace korbana {

namespace {

// Draws the grid lines of the report style and underlines the row under the pointer.
class ListDelegate final : public QStyledItemDelegate
{
public:
    explicit ListDelegate(ListView* view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {
    }

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // The selection marks the entry; a focus frame around one cell of it would single out a column.
        option->state &= ~QStyle::State_HasFocus;
        if (index.row() == m_view->hotRow())
            option->font.setUnderline(true);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_view->setEditor(editor);
        return editor;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }

private:
    ListView* m_view;
};

} // namespace

ListView::ListView(QWidget* parent)
    : QTableView(parent)
{
    // A table keeps no item per row, unlike a tree view: adding to a million entries does not lay out all again.
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Tab leaves the list for the next field, as it does in any list.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setIconSize(QSize(24, 24));
    setMouseTracking(true);
    setItemDelegate(new ListDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    updateRowHeight();
    // The columns share the view's width.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setMinimumSectionSize(16);
    header()->setSectionResizeMode(QHeaderView::Stretch);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header()->setHighlightSections(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this, &ListView::columnClick);

    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(hoverTime());
    connect(&m_hoverTimer, &QTimer::timeout, this, &ListView::hoverElapsed);

    m_clickEditTimer.setSingleShot(true);
    connect(&m_clickEditTimer, &QTimer::timeout, this, &ListView::clickEditElapsed);
}

int ListView::hoverTime()
{
    // The platform's mouse hover time; Qt does not expose one.
    return 400;
}

void ListView::setListModel(ListModel* model)
{
    m_model = model;
    setModel(model);
    updateRowHeight();
}

void ListView::updateRowHeight()
{
    // Every row is as high as a caption with the list's icon, as in a tree view of uniform rows.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("Ag");
    if (m_model && !m_model->icon().isNull()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize = iconSize();
    }
    const int height = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height();
    // Setting the size visits every row.
    if (height != verticalHeader()->defaultSectionSize())
        verticalHeader()->setDefaultSectionSize(height);
}

void ListView::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateRowHeight();
}

QModelIndex ListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // The keys move between entries as in a list: left and right stay on the entry, Home and End go to the first
    // and the last entry.
    const QModelIndex current = currentIndex();
    const int rows = model() ? model()->rowCount() : 0;
    switch (action) {
    case MoveLeft:
    case MoveRight:
        return current;
    case MoveHome:
    case MoveEnd:
        if (rows == 0)
            return current;
        return model()->index(action == MoveHome ? 0 : rows - 1, current.isValid() ? current.column() : 0);
    default:
        return QTableView::moveCursor(action, modifiers);
    }
}

void ListView::setRowFilter(QAbstractProxyModel* filter)
{
    if (filter == m_filter)
        return;
    commitEdit();
    const int selected = selectedRow();
    m_filter = filter;
    setHotRow(-1);
    setModel(m_filter ? static_cast<QAbstractItemModel*>(m_filter) : m_model);
    selectRow(selected);
}

QModelIndex ListView::shownIndex(int row) const
{
    const QModelIndex source = m_model->index(row, 0);
    return m_filter ? m_filter->mapFromSource(source) : source;
}

int ListView::listRow(const QModelIndex& shown) const
{
    return m_filter ? m_filter->mapToSource(shown).row() : shown.row();
}

int ListView::selectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : listRow(rows.first());
}

void ListView::selectRow(int row)
{
    if (!m_model || row < 0 || row >= m_model->count())
        return;
    const QModelIndex idx = shownIndex(row);
    if (!idx.isValid())
        return;
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(idx);
}

void ListView::beginEdit(int row)
{
    if (!m_model || row < 0 || row >= m_model->count())
        return;
    // An open box keeps what was typed, also where no focus change would confirm it.
    commitEdit();
    setFocus(Qt::OtherFocusReason);
    selectRow(row);
    edit(shownIndex(row));
}

bool ListView::isEditing() const
{
    return state() == QAbstractItemView::EditingState;
}

void ListView::commitEdit()
{
    if (!isEditing() || !m_editor)
        return;
    QWidget* editor = m_editor;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT keyDown(event->key());
    QTableView::keyPressEvent(event);
}

void ListView::focusInEvent(QFocusEvent* event)
{
    // The press that brings the focus arrives after it; it must not count as a press in a focused list.
    m_focusedByMouse = event->reason() == Qt::MouseFocusReason;
    QTableView::focusInEvent(event);
}

void ListView::mousePressEvent(QMouseEvent* event)
{
    m_focusedOnPress = hasFocus() && !m_focusedByMouse;
    m_focusedByMouse = false;
    m_doubleClicked = false;
    m_clickEditTimer.stop();
    QTableView::mousePressEvent(event);
}

bool ListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // F2 renames the entry whichever of its columns was clicked last.
    if (trigger == EditKeyPressed)
        return QTableView::edit(index.siblingAtColumn(0), trigger, event);
    if (trigger != SelectedClicked)
        return QTableView::edit(index, trigger, event);
    // As in the platform's lists, a click on the selected entry renames it only in a list that already had the
    // focus: the click that merely comes to a row selected by hovering does not. The release that ends a double
    // click is no such click either.
    if (!m_focusedOnPress || m_doubleClicked || !(editTriggers() & SelectedClicked))
        return false;
    // Qt's own delay would open the box even after the focus has gone on to another field, and the typing meant
    // for that field would land in the entry's name.
    const auto* mouse
        = event && event->type() == QEvent::MouseButtonRelease ? static_cast<QMouseEvent*>(event) : nullptr;
    m_clickEditIndex = index;
    m_clickEditPos = mouse ? mouse->position().toPoint() : QPoint();
    m_clickEditTimer.start(QApplication::doubleClickInterval());
    return true;
}

void ListView::clickEditElapsed()
{
    const QModelIndex index = m_clickEditIndex;
    m_clickEditIndex = QPersistentModelIndex();
    if (!index.isValid() || !hasFocus() || isEditing() || index.row() != selectedRow())
        return;
    QTableView::edit(index, AllEditTriggers, nullptr);
}

void ListView::focusOutEvent(QFocusEvent* event)
{
    m_clickEditTimer.stop();
    QTableView::focusOutEvent(event);
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_doubleClicked = true;
    m_clickEditTimer.stop();
    QTableView::mouseDoubleClickEvent(event);
    // As in the platform's lists, only the left button's double click counts.
    if (event->button() == Qt::LeftButton)
        Q_EMIT dblClick();
}

void ListView::mouseMoveEvent(QMouseEvent* event)
{
    QTableView::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    const QModelIndex idx = indexAt(pos);
    setHotRow(idx.isValid() ? idx.row() : -1);
    // The pointer moving on from the clicked entry takes back the rename the click asked for.
    if (m_clickEditTimer.isActive() && (pos - m_clickEditPos).manhattanLength() >= QApplication::startDragDistance())
        m_clickEditTimer.stop();
    // Selecting needs the pointer to rest: leaving the small hover box around it starts the wait again.
    const QPoint moved = pos - m_hoverAnchor;
    if (m_hotRow >= 0 && (qAbs(moved.x()) > kHoverBox / 2 || qAbs(moved.y()) > kHoverBox / 2)) {
        m_hoverAnchor = pos;
        m_hoverTimer.start();
    }
}

void ListView::leaveEvent(QEvent* event)
{
    QTableView::leaveEvent(event);
    m_clickEditTimer.stop();
    setHotRow(-1);
}

bool ListView::viewportEvent(QEvent* event)
{
    // The pointer can leave the rows for the column header without leaving the view.
    if (event->type() == QEvent::Leave)
        setHotRow(-1);
    return QTableView::viewportEvent(event);
}

void ListView::setHotRow(int row)
{
    if (row == m_hotRow)
        return;
    m_hotRow = row;
    viewport()->setCursor(row >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    viewport()->update();
    if (row >= 0)
        m_hoverTimer.start();
    else
        m_hoverTimer.stop();
}

void ListView::hoverElapsed()
{
    if (m_hotRow < 0 || isEditing())
        return;
    const int row = listRow(model()->index(m_hotRow, 0));
    if (row != selectedRow())
        selectRow(row);
}

} // namespace korbana
