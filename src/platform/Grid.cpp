#include "platform/Grid.h"

#include "platform/GridModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>

Grid::Grid(QWidget* parent) : QTableView(parent), m_model(new GridModel(this))
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection); // the selected range is ours to set
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(horizontalHeader()->sizeHint().height());
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);

    connect(m_model, &QAbstractItemModel::modelReset, this, &Grid::applyColumnWidths);
    connect(this, &QAbstractItemView::clicked, this, [this] { emit cellClicked(); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { emit cellDoubleClicked(); });
}

int Grid::rows() const
{
    return m_model->gridRows();
}

void Grid::setRows(int rows)
{
    const QScopedValueRollback syncing(m_syncing, true);
    m_model->setGridRows(rows);
    const int last = qMax(0, rows - 1);
    m_row = qMin(m_row, last);
    m_selRow1 = qMin(m_selRow1, last);
    m_selRow2 = qMin(m_selRow2, last);
    m_topRow = qBound(1, m_topRow, qMax(1, last)); // an emptied grid is scrolled to the top
    applyCurrent();
    applySelection();
    applyScroll();
}

int Grid::cols() const
{
    return m_model->cols();
}

void Grid::setCols(int cols)
{
    const QScopedValueRollback syncing(m_syncing, true);
    m_model->setCols(cols);
    if (m_col >= cols)
        m_col = qMax(0, cols - 1);
    applyCurrent();
}

void Grid::setRow(int row)
{
    setCurrentCell(row, m_col);
}

void Grid::setCol(int col)
{
    setCurrentCell(m_row, col);
}

void Grid::setCurrentCell(int row, int col)
{
    row = qBound(0, row, rows() - 1);
    col = qBound(0, col, qMax(0, cols() - 1));
    if (row == m_row && col == m_col)
        return;
    m_row = row;
    m_col = col;
    applyCurrent();
    emit rowColChange();
}

QString Grid::text() const
{
    return textAt(m_row, m_col);
}

void Grid::setText(const QString& text)
{
    m_model->setCell(m_row, m_col, text);
}

QString Grid::textAt(int row, int col) const
{
    return m_model->cellText(row, col);
}

int Grid::topRow() const
{
    return isVisible() && !m_model->inBatch() ? verticalScrollBar()->value() + 1 : m_topRow;
}

void Grid::setTopRow(int row)
{
    m_topRow = qMax(1, row);
    applyScroll();
}

int Grid::leftCol() const
{
    return isVisible() && !m_model->inBatch() ? horizontalScrollBar()->value() : m_leftCol;
}

void Grid::setLeftCol(int col)
{
    m_leftCol = qMax(0, col);
    applyScroll();
}

void Grid::setSelection(int row1, int col1, int row2, int col2)
{
    m_selRow1 = qMin(row1, row2);
    m_selRow2 = qMax(row1, row2);
    m_selCol1 = qMin(col1, col2);
    m_selCol2 = qMax(col1, col2);
    applySelection();
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

void Grid::addItem(const QString& tabText)
{
    const QList<QByteArray> cells = tabText.toUtf8().split('\t');
    QList<QUtf8StringView> views;
    for (const QByteArray& cell : cells)
        views.append(QUtf8StringView(cell.constData(), cell.size()));
    addRow(views.constData(), static_cast<int>(views.size()));
}

void Grid::addRow(const QUtf8StringView* cells, int count)
{
    const QScopedValueRollback syncing(m_syncing, true);
    m_model->appendRow(cells, count);
}

void Grid::removeItem(int row)
{
    const QScopedValueRollback syncing(m_syncing, true);
    m_model->removeGridRow(row);
    // The highlighted rows move up with the rows below the one removed.
    if (m_selRow1 > row)
        --m_selRow1;
    if (m_selRow2 > row)
        --m_selRow2;
    applySelection();
    if (m_row >= rows())
        m_row = qMax(0, rows() - 1);
    applyCurrent();
}

void Grid::setVisible(bool visible)
{
    // Hidden, the grid gathers its changes; shown, it announces them at once and takes up its
    // current cell, selection and scroll position again.
    const QScopedValueRollback syncing(m_syncing, true);
    if (!visible)
        m_model->beginBatch();
    QTableView::setVisible(visible);
    if (visible && m_model->inBatch()) {
        m_model->endBatch();
        doItemsLayout();
        applyCurrent();
        applySelection();
        applyScroll();
    }
}

void Grid::applyCurrent()
{
    if (m_model->inBatch())
        return;
    const QScopedValueRollback syncing(m_syncing, true);
    const int top = verticalScrollBar()->value();
    const int left = horizontalScrollBar()->value();
    const QModelIndex index = m_row >= 1 ? m_model->index(m_row - 1, m_col) : QModelIndex();
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    // Moving the current cell from code does not scroll, as the grid's users expect.
    verticalScrollBar()->setValue(top);
    horizontalScrollBar()->setValue(left);
}

void Grid::applySelection()
{
    if (m_model->inBatch())
        return;
    const int first = qMax(1, m_selRow1) - 1;
    const int last = m_selRow2 - 1;
    if (last < first || m_model->rowCount() == 0 || cols() == 0) {
        selectionModel()->clearSelection();
        return;
    }
    const QItemSelection range(m_model->index(first, qBound(0, m_selCol1, cols() - 1)),
                               m_model->index(qMin(last, m_model->rowCount() - 1), qBound(0, m_selCol2, cols() - 1)));
    selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

void Grid::applyScroll()
{
    if (m_model->inBatch() || !isVisible())
        return;
    verticalScrollBar()->setValue(m_topRow - 1);
    horizontalScrollBar()->setValue(m_leftCol);
}

void Grid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (m_syncing || !current.isValid())
        return;
    // The user moved the current cell (keys or mouse): the whole row stays highlighted with it.
    const int row = current.row() + 1;
    const int col = current.column();
    if (row == m_row && col == m_col)
        return;
    m_row = row;
    m_col = col;
    setSelection(row, 0, row, cols() - 1);
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
