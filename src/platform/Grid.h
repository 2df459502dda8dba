#pragma once

#include <QTableView>

class GridModel;

// The grid of text cells the main window browses: a table view over a GridModel, addressed in grid
// coordinates where row 0 is the heading row. It keeps its own current cell, selected range and
// scroll position, so that they can be set while the grid is hidden and rows are being gathered;
// showing it again announces the gathered rows with one reset.
class Grid : public QTableView
{
    Q_OBJECT

public:
    explicit Grid(QWidget* parent = nullptr);

    GridModel* gridModel() const { return m_model; }

    int rows() const;
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);

    int row() const { return m_row; }
    void setRow(int row);
    int col() const { return m_col; }
    void setCol(int col);
    QString text() const;
    void setText(const QString& text);
    QString textAt(int row, int col) const;

    int topRow() const;
    void setTopRow(int row);
    int leftCol() const;
    void setLeftCol(int col);

    int selStartRow() const { return m_selRow1; }
    int selEndRow() const { return m_selRow2; }
    int selStartCol() const { return m_selCol1; }
    int selEndCol() const { return m_selCol2; }
    void setSelection(int row1, int col1, int row2, int col2);

    int colWidth(int col) const;
    void setColWidth(int col, int pixels);
    // The height of the heading row, which data rows share.
    int rowHeight() const;

    // Appends a row from tab-separated text.
    void addItem(const QString& tabText);
    // Appends a row from its cells (UTF-8), which may hold tabs of their own.
    void addRow(const QUtf8StringView* cells, int count);
    void removeItem(int row);

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
    void applyCurrent();
    void applySelection();
    void applyScroll();
    void applyColumnWidths();

    GridModel* m_model;
    int m_row = 0;
    int m_col = 0;
    int m_selRow1 = 0;
    int m_selRow2 = 0;
    int m_selCol1 = 0;
    int m_selCol2 = 0;
    int m_topRow = 1;
    int m_leftCol = 0;
    QList<int> m_colWidths; // kept here: the view forgets them whenever the model is reset
    bool m_syncing = false;
};
