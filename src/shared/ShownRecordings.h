#pragma once

#include "shared/FilterQuery.h"

#include <QList>
#include <QSortFilterProxyModel>
#include <QString>

class DisplayModel;

// What the grid shows of the display: the rows the filter lets through, in the order of a column
// the user sorts by, or in the display's own order. The folded texts the filter compares are made
// once for each result the display holds, when first needed, not once a keystroke; the keys of a
// sorted column likewise.
class ShownRecordings : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit ShownRecordings(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* source) override;

    // Filters by what the user typed; false when some of it could not be read (the rest filters).
    bool setFilterText(const QString& typed);
    const QString& filterText() const { return m_filterText; }
    bool isFiltering() const { return !m_filter.isEmpty(); }

    // Sorts by a column: the catalogue's order of text (case and accents beside their letter), the
    // Year by number, empty cells last either way; rows that tie keep the display's order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Back to the display's own order.
    void clearSort();

    // The key a cell sorts by.
    static QString sortKey(const QString& cell, int column);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    void forget();
    void foldAll() const;
    void keyAll(int column) const;
    const DisplayModel* display() const;

    QString m_filterText;
    FilterQuery m_filter;
    // The folded cells of every row, one after another, and where each begins.
    mutable QString m_folded;
    mutable QList<qsizetype> m_cellStarts;
    mutable bool m_foldedValid = false;
    mutable QList<QString> m_sortKeys; // of m_keysColumn, by the display's row
    mutable int m_keysColumn = -1;
};
