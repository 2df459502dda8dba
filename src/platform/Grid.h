#pragma once

#include <QTableView>

// The grid of text cells the main window browses: a table view over any table model (or a proxy on
// one), addressed in grid coordinates where row 0 is the heading row and grid row r is the model's
// row r - 1. The current cell and the selection are the view's own; only a scroll position set
// while the grid is hidden waits here until it is shown.
class Grid : public QTableView
{
    Q_OBJECT

public:
    explicit Grid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    int rows() const;
    int cols() const;

    int row() const;
    void setRow(int row);
    int col() const;
    void setCol(int col);
    QString textAt(int row, int col) const;
    // The recording a grid row shows (ItemRoles::RecordingId), or 0 for none.
    qint64 idAt(int row) const;

    int topRow() const;
    void setTopRow(int row);
    int leftCol() const;
    void setLeftCol(int col);

    // The selected range's first row and last column, or 0 when nothing is selected.
    int selStartRow() const;
    int selEndCol() const;
    void setSelection(int row1, int col1, int row2, int col2);

    int colWidth(int col) const;
    void setColWidth(int col, int pixels);
    // The height of the heading row, which data rows share.
    int rowHeight() const;

    void setVisible(bool visible) override;

signals:
    void cellClicked();
    void cellDoubleClicked();
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void rowColChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void setCurrentCell(int row, int col);
    void applyScroll();
    void applyColumnWidths();
    QItemSelection selectedRange() const;

    int m_topRow = 1;
    int m_leftCol = 0;
    QList<int> m_colWidths; // kept here: the view forgets them whenever the model is reset
};
