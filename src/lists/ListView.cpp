#include "ListView.h"

#include "ListModel.h"

#include <QAbstractProxyModel>
#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cstdlib>

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

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        const auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line || !m_view->rename(index, line->text()))
            QStyledItemDelegate::setModelData(editor, model, index);
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
    // The columns share the view's width; only a column fitted by hand to long texts may need more.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setMinimumSectionSize(16);
    header()->setSectionResizeMode(QHeaderView::Stretch);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header()->setHighlightSections(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this, &ListView::headerClicked);
    header()->viewport()->installEventFilter(this);

    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(hoverTime());
    connect(&m_hoverTimer, &QTimer::timeout, this, &ListView::hoverElapsed);

    m_clickEditTimer.setSingleShot(true);
    connect(&m_clickEditTimer, &QTimer::timeout, this, &ListView::clickEditElapsed);

    m_fitTimer.setSingleShot(true);
    m_fitTimer.setInterval(0);
    connect(&m_fitTimer, &QTimer::timeout, this, &ListView::fitColumns);
    // Other rows come into view.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, &m_fitTimer, qOverload<>(&QTimer::start));
}

void ListView::setFittedColumns(const QList<int>& columns)
{
    m_fittedColumns = columns;
    m_fitTimer.start();
}

void ListView::watchShownRows()
{
    QAbstractItemModel* shown = model();
    if (!shown)
        return;
    // Once per model, however often it is shown again.
    const auto refit = qOverload<>(&QTimer::start);
    connect(shown, &QAbstractItemModel::dataChanged, &m_fitTimer, refit, Qt::UniqueConnection);
    connect(shown, &QAbstractItemModel::rowsInserted, &m_fitTimer, refit, Qt::UniqueConnection);
    connect(shown, &QAbstractItemModel::rowsRemoved, &m_fitTimer, refit, Qt::UniqueConnection);
    connect(shown, &QAbstractItemModel::modelReset, &m_fitTimer, refit, Qt::UniqueConnection);
    connect(shown, &QAbstractItemModel::layoutChanged, &m_fitTimer, refit, Qt::UniqueConnection);
    m_fitTimer.start();
}

int ListView::columnNeed(int column) const
{
    // The item's text stands this far inside its cell on either side, and the grid line takes one pixel.
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const QFontMetrics metrics(font());
    int need = 0;
    const int first = std::max(rowAt(0), 0);
    int last = rowAt(viewport()->height() - 1);
    if (last < 0)
        last = model()->rowCount() - 1;
    for (int row = first; row <= last; ++row)
        need = std::max(need, metrics.horizontalAdvance(model()->index(row, column).data().toString()));
    need += 2 * textMargin + 1;
    // The list's icon stands before the caption, with a margin of its own.
    if (last >= first && model()->index(first, column).data(Qt::DecorationRole).isValid())
        need += iconSize().width() + 2 * textMargin;
    const QString heading = model()->headerData(column, Qt::Horizontal).toString();
    const int headingMargin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header());
    return std::max(need, header()->fontMetrics().horizontalAdvance(heading) + headingMargin);
}

void ListView::setNameColumns(const QList<int>& columns)
{
    m_nameColumns = columns;
    m_fitTimer.start();
}

void ListView::fitColumnToTexts(int column)
{
    if (column < 0 || column >= header()->count())
        return;
    if (!m_fittedColumns.contains(column))
        m_fittedColumns.append(column);
    fitColumns();
}

int ListView::columnEdgeAt(int x) const
{
    const QHeaderView* columns = header();
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, columns);
    for (int column = 0; column < columns->count(); ++column) {
        const int edge = columns->sectionViewportPosition(column) + columns->sectionSize(column);
        if (std::abs(x - edge) <= grip)
            return column;
    }
    return -1;
}

bool ListView::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == header()->viewport()
        && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
            || type == QEvent::MouseButtonDblClick)) {
        // The edges between the headings fit a column; a click there sorts nothing.
        const int column = columnEdgeAt(static_cast<QMouseEvent*>(event)->position().toPoint().x());
        if (column >= 0) {
            if (type == QEvent::MouseButtonDblClick)
                fitColumnToTexts(column);
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

namespace {

// Gives each column what its texts need out of room, the least needy first, and shares what is left alike among
// those that need more (their texts are cut). Returns the room that is left over.
int shareOut(const QList<int>& columns, const QList<int>& needs, int room, QList<int>& widths)
{
    QList<int> open = columns;
    for (bool settled = true; settled && !open.isEmpty();) {
        settled = false;
        const int share = room / int(open.size());
        for (auto it = open.begin(); it != open.end();) {
            if (needs[*it] <= share) {
                widths[*it] = needs[*it];
                room -= needs[*it];
                it = open.erase(it);
                settled = true;
            } else {
                ++it;
            }
        }
    }
    for (int i = 0; i < int(open.size()); ++i) {
        widths[open[i]] = std::max(0, room / int(open.size() - i));
        room -= widths[open[i]];
    }
    return std::max(room, 0);
}

} // namespace

void ListView::fitColumns()
{
    QHeaderView* columns = header();
    const int count = columns->count();
    if (!model() || count == 0)
        return;
    // Short values (quantities, prices) and columns fitted by hand take what their texts need.
    QList<int> widths(count, -1);
    int rest = viewport()->width();
    for (const int column : std::as_const(m_fittedColumns)) {
        if (column < count && widths[column] < 0) {
            widths[column] = columnNeed(column);
            rest -= widths[column];
        }
    }
    // The names come first: every other column keeps half its share (less where its texts need less), the names
    // share what remains, and the other columns what the names leave.
    QList<int> names;
    QList<int> others;
    QList<int> needs(count, 0);
    for (int column = 0; column < count; ++column) {
        if (widths[column] >= 0)
            continue;
        needs[column] = columnNeed(column);
        (m_nameColumns.contains(column) ? names : others).append(column);
    }
    const int share = names.size() + others.size() > 0 ? rest / int(names.size() + others.size()) : 0;
    int reserved = 0;
    for (const int column : std::as_const(others))
        reserved += std::min(needs[column], share / 2);
    rest = shareOut(names, needs, rest - reserved, widths) + reserved;
    rest = shareOut(others, needs, rest, widths);
    // What every text leaves over widens the names.
    QList<int> takers;
    for (const int column : std::as_const(m_nameColumns)) {
        if (column < count && !m_fittedColumns.contains(column))
            takers.append(column);
    }
    if (takers.isEmpty())
        takers.append(count - 1);
    for (int i = 0; i < int(takers.size()); ++i) {
        const int more = rest / int(takers.size() - i);
        widths[takers[i]] = std::max(widths[takers[i]], 0) + more;
        rest -= more;
    }
    columns->setSectionResizeMode(QHeaderView::Fixed);
    for (int column = 0; column < count; ++column)
        columns->resizeSection(column, std::max(columns->minimumSectionSize(), widths[column]));
}

void ListView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    m_fitTimer.start();
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
    watchShownRows();
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
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        updateRowHeight();
        m_fitTimer.start();
    }
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
    watchShownRows();
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

bool ListView::rename(const QModelIndex& shown, const QString& caption)
{
    const int row = listRow(shown);
    if (!m_renameHandler || row < 0)
        return false;
    m_renameHandler(row, caption);
    return true;
}

void ListView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    Q_EMIT editClosed();
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT keyPressed(event->key());
    QTableView::keyPressEvent(event);
}

void ListView::focusInEvent(QFocusEvent* event)
{
    // The press that brings the focus arrives after it; it must not count as a press in a focused list.
    m_focusedByMouse = event->reason() == Qt::MouseFocusReason;
    QTableView::focusInEvent(event);
    viewport()->update();
}

void ListView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (!hasFocus())
        return;
    // Not every style marks the focused list; the selection alone looks the same with and without the focus.
    QPainter painter(viewport());
    QPen pen(palette().color(QPalette::Highlight), 2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(viewport()->rect().adjusted(1, 1, -1, -1));
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
    viewport()->update();
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_doubleClicked = true;
    m_clickEditTimer.stop();
    QTableView::mouseDoubleClickEvent(event);
    // As in the platform's lists, only the left button's double click counts.
    if (event->button() == Qt::LeftButton)
        Q_EMIT rowDoubleClicked();
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
