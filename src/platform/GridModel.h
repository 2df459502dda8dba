#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QUtf8StringView>

// The grid's cells. Row 0 of the grid is the heading row, shown as the view's header; grid row r is
// model row r - 1. The data cells lie end to end in one UTF-8 buffer, as the catalogue hands them
// over, so that tens of thousands of rows fill, copy and search without a string per cell; a cell
// becomes a QString only when the view paints it.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The cells as they stand, shared without copying.
    struct Contents
    {
        QStringList headings;
        QByteArray chars;      // UTF-8
        QList<qsizetype> ends; // end of each data cell in chars, row by row
        int cols = 0;

        int dataRows() const { return cols > 0 ? static_cast<int>(ends.size() / cols) : 0; }
        QUtf8StringView cell(int dataRow, int col) const;
    };

    explicit GridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Grid coordinates: row 0 is the headings.
    int gridRows() const { return contents().dataRows() + 1; }
    void setGridRows(int rows);
    int cols() const { return m_contents.cols; }
    void setCols(int cols);
    QString cellText(int gridRow, int col) const;
    void setCell(int gridRow, int col, const QString& text);
    // Appends a data row; cells beyond the column count are dropped, missing ones are empty.
    void appendRow(const QUtf8StringView* cells, int count);
    void removeGridRow(int gridRow);

    const Contents& contents() const { return m_contents; }

    // The first data cell, from grid cell (gridRow, col) on, row by row and left to right, whose
    // text holds `text` (or is `text`, for wholeCell). Grid row and column, or {-1, -1} for none.
    struct Cell
    {
        int row = -1;
        int col = -1;
    };
    Cell find(int gridRow, int col, const QString& text, Qt::CaseSensitivity cs, bool wholeCell) const;

    // Between the two, changes are gathered and announced as one reset.
    void beginBatch();
    void endBatch();
    bool inBatch() const { return m_batch; }

private:
    qsizetype cellStart(qsizetype index) const { return index == 0 ? 0 : m_contents.ends.at(index - 1); }
    void beginChange();
    void endChange();

    Contents m_contents;
    bool m_batch = false;
};
