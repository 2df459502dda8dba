#include "shared/ShownRecordings.h"

#include "shared/DisplayModel.h"
#include "shared/TextFolding.h"
#include "store/JetCollation.h"

namespace {

const int kYear = 2;

} // namespace

ShownRecordings::ShownRecordings(QObject* parent) : QSortFilterProxyModel(parent)
{
    setObjectName(QStringLiteral("shown"));
    // Ties keep the display's order, and a change of the display is filtered and sorted again.
    setDynamicSortFilter(true);
}

void ShownRecordings::setSourceModel(QAbstractItemModel* source)
{
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    forget();
    QSortFilterProxyModel::setSourceModel(source);
    if (source) {
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, &ShownRecordings::forget);
        connect(source, &QAbstractItemModel::dataChanged, this, &ShownRecordings::forget);
    }
}

void ShownRecordings::forget()
{
    m_folded.clear();
    m_folded.squeeze();
    m_cellStarts.clear();
    m_cellStarts.squeeze();
    m_foldedValid = false;
    m_sortKeys.clear();
    m_keysColumn = -1;
}

const DisplayModel* ShownRecordings::display() const
{
    return qobject_cast<const DisplayModel*>(sourceModel());
}

bool ShownRecordings::setFilterText(const QString& typed)
{
    m_filterText = typed;
    m_filter = FilterQuery::parse(typed);
    invalidateFilter();
    return m_filter.isWellFormed();
}

void ShownRecordings::foldAll() const
{
    const DisplayModel* shown = display();
    const int rows = shown && shown->hasRecordings() ? shown->rowCount() : 0;
    m_folded.clear();
    m_cellStarts.clear();
    m_cellStarts.reserve(qsizetype(rows) * FilterQuery::kColumns + 1);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < FilterQuery::kColumns; ++c) {
            m_cellStarts.append(m_folded.size());
            m_folded += TextFolding::fold(shown->cellText(r, c));
        }
    }
    m_cellStarts.append(m_folded.size());
    m_foldedValid = true;
}

bool ShownRecordings::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_filter.isEmpty() || sourceParent.isValid())
        return true;
    const DisplayModel* shown = display();
    if (!shown || !shown->hasRecordings())
        return true; // a notice such as "(No Recordings Found)" stays
    if (!m_foldedValid)
        foldAll();
    FilterQuery::Row row;
    const qsizetype first = qsizetype(sourceRow) * FilterQuery::kColumns;
    if (first + FilterQuery::kColumns >= m_cellStarts.size())
        return true;
    for (int c = 0; c < FilterQuery::kColumns; ++c) {
        const qsizetype start = m_cellStarts.at(first + c);
        row[c] = QStringView(m_folded).mid(start, m_cellStarts.at(first + c + 1) - start);
    }
    return m_filter.matches(row);
}

QString ShownRecordings::sortKey(const QString& cell, int column)
{
    if (cell.isEmpty())
        return QString();
    bool isNumber = false;
    const qint64 year = column == kYear ? cell.trimmed().toLongLong(&isNumber) : 0;
    // Numbers first, in their order: the sign bit turned over makes the unsigned order the signed
    // one, and the padding makes the text order the number order.
    if (isNumber)
        return QStringLiteral("%1").arg(quint64(year) ^ (quint64(1) << 63), 20, 10, QLatin1Char('0'));
    // Letters first, accents aside; where those tie, the accented letters decide.
    QString key;
    key.reserve(cell.size() * 2 + 2);
    if (column == kYear)
        key += QChar(0xFFFE); // a Year that is no number sorts after those that are
    for (const QChar c : cell)
        key += QChar(JetCollation::baseLetter(c));
    key += QChar(0x0001);
    for (const QChar c : cell)
        key += QChar(JetCollation::fold(c));
    return key;
}

void ShownRecordings::keyAll(int column) const
{
    const DisplayModel* shown = display();
    const int rows = shown && shown->hasRecordings() ? shown->rowCount() : 0;
    m_sortKeys.clear();
    m_sortKeys.reserve(rows);
    for (int r = 0; r < rows; ++r)
        m_sortKeys.append(sortKey(shown->cellText(r, column), column));
    m_keysColumn = column;
}

void ShownRecordings::sort(int column, Qt::SortOrder order)
{
    if (column >= 0 && column != m_keysColumn)
        keyAll(column);
    QSortFilterProxyModel::sort(column, order);
}

void ShownRecordings::clearSort()
{
    QSortFilterProxyModel::sort(-1);
}

bool ShownRecordings::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (left.column() != m_keysColumn)
        keyAll(left.column());
    if (left.row() >= m_sortKeys.size() || right.row() >= m_sortKeys.size())
        return false; // a notice, not recordings
    const QString& a = m_sortKeys.at(left.row());
    const QString& b = m_sortKeys.at(right.row());
    // Empty cells last, whichever way the column is sorted.
    if (a.isEmpty() != b.isEmpty())
        return sortOrder() == Qt::AscendingOrder ? b.isEmpty() : a.isEmpty();
    return a < b;
}
