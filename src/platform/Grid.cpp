#include "platform/Grid.h"

#include "platform/GridCellDelegate.h"
#include "platform/ItemRoles.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

Grid::Grid(QWidget* parent) : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setItemDelegate(new GridCellDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(horizontalHeader()->sizeHint().height());
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);

    connect(this, &QAbstractItemView::clicked, this, [this] { emit cellClicked(); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { emit cellDoubleClicked(); });
}

void Grid::setModel(QAbstractItemModel* model)
{
    if (model == this->model())
        return;
    if (this->model())
        disconnect(this->model(), nullptr, this, nullptr);
    QTableView::setModel(model);
    if (model) {
        connect(model, &QAbstractItemModel::modelReset, this, [this] {
            m_topRow = 1; // new rows are shown from the top
            applyColumnWidths();
        });
    }
    applyColumnWidths();
}

int Grid::rows() const
{
    return model() ? model()->rowCount() + 1 : 1;
}

int Grid::cols() const
{
    return model() ? model()->columnCount() : 0;
}

int Grid::row() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : 0;
}

int Grid::col() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.column() : 0;
}

void Grid::setRow(int row)
{
    setCurrentCell(row, col());
}

void Grid::setCol(int col)
{
    setCurrentCell(row(), col);
}

void Grid::setCurrentCell(int row, int col)
{
    if (!model())
        return;
    row = qBound(0, row, rows() - 1);
    col = qBound(0, col, qMax(0, cols() - 1));
    // Moving the current cell from code does not scroll, as the grid's users expect.
    const int top = verticalScrollBar()->value();
    const int left = horizontalScrollBar()->value();
    const QModelIndex index = row >= 1 ? model()->index(row - 1, col) : QModelIndex();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    verticalScrollBar()->setValue(top);
    horizontalScrollBar()->setValue(left);
}

QString Grid::textAt(int row, int col) const
{
    if (!model() || col < 0 || col >= cols() || row < 0 || row >= rows())
        return QString();
    if (row == 0)
        return model()->headerData(col, Qt::Horizontal).toString();
    return model()->index(row - 1, col).data().toString();
}

qint64 Grid::idAt(int row) const
{
    if (!model() || row < 1 || row >= rows())
        return 0;
    return model()->index(row - 1, 0).data(ItemRoles::RecordingId).toLongLong();
}

int Grid::topRow() const
{
    return isVisible() ? verticalScrollBar()->value() + 1 : m_topRow;
}

void Grid::setTopRow(int row)
{
    m_topRow = qMax(1, row);
    applyScroll();
}

int Grid::leftCol() const
{
    return isVisible() ? horizontalScrollBar()->value() : m_leftCol;
}

void Grid::setLeftCol(int col)
{
    m_leftCol = qMax(0, col);
    applyScroll();
}

QItemSelection Grid::selectedRange() const
{
    return selectionModel() ? selectionModel()->selection() : QItemSelection();
}

int Grid::selStartRow() const
{
    const QItemSelection selection = selectedRange();
    int first = -1;
    for (const QItemSelectionRange& range : selection)
        first = first < 0 ? range.top() : qMin(first, range.top());
    return first + 1;
}

int Grid::selEndCol() const
{
    int last = 0;
    for (const QItemSelectionRange& range : selectedRange())
        last = qMax(last, range.right());
    return last;
}

void Grid::setSelection(int row1, int col1, int row2, int col2)
{
    if (!model())
        return;
    const int first = qMax(1, qMin(row1, row2)) - 1;
    const int last = qMin(qMax(row1, row2) - 1, model()->rowCount() - 1);
    if (last < first || cols() == 0) {
        selectionModel()->clearSelection();
        return;
    }
    const int left = qBound(0, qMin(col1, col2), cols() - 1);
    const int right = qBound(0, qMax(col1, col2), cols() - 1);
    selectionModel()->select(QItemSelection(model()->index(first, left), model()->index(last, right)),
                             QItemSelectionModel::ClearAndSelect);
}

int Grid::colWidth(int col) const
{
    return columnWidth(col);
}

void Grid::setColWidth(int col, int pixels)
{
    if (col < 0)
        return;
    if (col >= m_colWidths.size())
        m_colWidths.resize(col + 1, -1);
    m_colWidths[col] = pixels;
    setColumnWidth(col, pixels);
}

void Grid::applyColumnWidths()
{
    for (int c = 0; c < m_colWidths.size() && c < cols(); ++c) {
        if (m_colWidths.at(c) >= 0)
            setColumnWidth(c, m_colWidths.at(c));
    }
}

int Grid::rowHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

void Grid::setVisible(bool visible)
{
    QTableView::setVisible(visible);
    // A scroll position set while hidden is taken up once the rows are laid out.
    if (visible) {
        doItemsLayout();
        applyScroll();
    }
}

void Grid::applyScroll()
{
    if (!isVisible())
        return;
    verticalScrollBar()->setValue(m_topRow - 1);
    horizontalScrollBar()->setValue(m_leftCol);
}

void Grid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row() || current.column() != previous.column())
        emit rowColChange();
}

void Grid::keyPressEvent(QKeyEvent* event)
{
    // A held Enter opens what it opens once, not again with every repeat.
    if (event->isAutoRepeat() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        return;
    }
    emit keyDown(event->key(), event->modifiers());
    if (event->matches(QKeySequence::Copy)) {
        event->ignore(); // copying is the window's command, not the view's own
        return;
    }
    QTableView::keyPressEvent(event);
}

bool Grid::event(QEvent* event)
{
    // The window's Ctrl shortcuts (copy, amend, ...) win over any key the view has of its own.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->modifiers().testFlag(Qt::ControlModifier)) {
        event->ignore();
        return false;
    }
    return QTableView::event(event);
}
