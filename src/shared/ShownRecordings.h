#pragma once

#include "shared/FilterQuery.h"

#include <QAbstractProxyModel>
#include <QList>
#include <QString>
#include <vector>

class DisplayModel;

// What the grid shows of the display: the rows the filter lets through, in the order of a column
// the user sorts by, or in the display's own order. The folded texts the filter compares are made
// once for each result the display holds, when first needed, not once a keystroke; the keys of a
// sorted column likewise. A sort keeps the current row where it is in the view (a layout change);
// a new filter resets the rows shown.
class ShownRecordings : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit ShownRecordings(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* source) override;

    // Filters by what the user typed; false when some of it could not be read (the rest filters).
    bool setFilterText(const QString& typed);
    bool isFiltering() const { return !m_filter.isEmpty(); }

    // Sorts by a column: the catalogue's order of text (case and accents beside their letter), the
    // Year by number, empty cells last either way. Rows that tie keep the order shown before, so
    // one sort refines another. A column of -1 is the display's own order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    void clearSort() { sort(-1); }
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // The key a cell sorts by.
    static QString sortKey(const QString& cell, int column);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const DisplayModel* display() const;
    // The rows the filter lets through, in the display's order, then sorted.
    void choose();
    bool accepts(int sourceRow) const;
    void foldAll() const;
    void keyAll(int column) const;
    void sortRows(std::vector<int>& rows) const;
    void indexShown();
    void forget();

    FilterQuery m_filter;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    std::vector<int> m_rows;    // the display's row of each shown row
    std::vector<int> m_shownOf; // the shown row of each display row, or -1
    // The folded cells of every row, one after another, and where each begins.
    mutable QString m_folded;
    mutable std::vector<qsizetype> m_cellStarts;
    mutable bool m_foldedValid = false;
    mutable std::vector<QString> m_sortKeys; // of m_keysColumn, by the display's row
    mutable int m_keysColumn = -1;
};
