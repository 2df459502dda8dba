#include "shared/ShownRecordings.h"

#include "shared/DisplayModel.h"
#include "shared/TextFolding.h"
#include "store/JetCollation.h"

#include <algorithm>
#include <numeric>

namespace {

const int kYear = 2;

} // namespace

ShownRecordings::ShownRecordings(QObject* parent) : QAbstractProxyModel(parent)
{
    setObjectName(QStringLiteral("shown"));
}

void ShownRecordings::setSourceModel(QAbstractItemModel* source)
{
    beginResetModel();
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    QAbstractProxyModel::setSourceModel(source);
    if (source) {
        // The display changes only as a whole, when a Selection is read again.
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
            beginResetModel();
            forget();
        });
        connect(source, &QAbstractItemModel::modelReset, this, [this] {
            choose();
            endResetModel();
        });
        connect(source, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& from, const QModelIndex& to) {
            forget();
            for (int r = from.row(); r <= to.row(); ++r) {
                const QModelIndex shown = mapFromSource(sourceModel()->index(r, 0));
                if (shown.isValid())
                    emit dataChanged(shown, shown.siblingAtColumn(columnCount() - 1));
            }
        });
        connect(source, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
    }
    forget();
    choose();
    endResetModel();
}

const DisplayModel* ShownRecordings::display() const
{
    return qobject_cast<const DisplayModel*>(sourceModel());
}

void ShownRecordings::forget()
{
    m_folded.clear();
    m_folded.squeeze();
    m_cellStarts.clear();
    m_cellStarts.shrink_to_fit();
    m_foldedValid = false;
    m_sortKeys.clear();
    m_sortKeys.shrink_to_fit();
    m_keysColumn = -1;
}

bool ShownRecordings::setFilterText(const QString& typed)
{
    m_filter = FilterQuery::parse(typed);
    beginResetModel();
    choose();
    endResetModel();
    return m_filter.isWellFormed();
}

void ShownRecordings::choose()
{
    const int rows = sourceModel() ? sourceModel()->rowCount() : 0;
    m_rows.clear();
    m_rows.reserve(size_t(rows));
    for (int r = 0; r < rows; ++r) {
        if (accepts(r))
            m_rows.push_back(r);
    }
    sortRows(m_rows);
    indexShown();
}

void ShownRecordings::indexShown()
{
    const int rows = sourceModel() ? sourceModel()->rowCount() : 0;
    m_shownOf.assign(size_t(rows), -1);
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_shownOf[size_t(m_rows[i])] = int(i);
}

void ShownRecordings::foldAll() const
{
    const DisplayModel* shown = display();
    const int rows = shown && shown->hasRecordings() ? shown->rowCount() : 0;
    m_folded.clear();
    m_cellStarts.clear();
    m_cellStarts.reserve(size_t(rows) * FilterQuery::kColumns + 1);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < FilterQuery::kColumns; ++c) {
            m_cellStarts.push_back(m_folded.size());
            m_folded += TextFolding::fold(shown->cellText(r, c));
        }
    }
    m_cellStarts.push_back(m_folded.size());
    m_foldedValid = true;
}

bool ShownRecordings::accepts(int sourceRow) const
{
    const DisplayModel* shown = display();
    // A notice such as "(No Recordings Found)" stays whatever the filter.
    if (m_filter.isEmpty() || !shown || !shown->hasRecordings())
        return true;
    if (!m_foldedValid)
        foldAll();
    const size_t first = size_t(sourceRow) * FilterQuery::kColumns;
    if (first + FilterQuery::kColumns >= m_cellStarts.size())
        return true;
    FilterQuery::Row row;
    for (int c = 0; c < FilterQuery::kColumns; ++c) {
        const qsizetype start = m_cellStarts[first + size_t(c)];
        row[size_t(c)] = QStringView(m_folded).mid(start, m_cellStarts[first + size_t(c) + 1] - start);
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
    m_sortKeys.reserve(size_t(rows));
    for (int r = 0; r < rows; ++r)
        m_sortKeys.push_back(sortKey(shown->cellText(r, column), column));
    m_keysColumn = column;
}

void ShownRecordings::sortRows(std::vector<int>& rows) const
{
    const DisplayModel* shown = display();
    if (m_sortColumn < 0) {
        std::sort(rows.begin(), rows.end()); // the display's own order
        return;
    }
    if (!shown || !shown->hasRecordings())
        return;
    if (m_keysColumn != m_sortColumn)
        keyAll(m_sortColumn);
    const std::vector<QString>& keys = m_sortKeys;
    // Empty cells last, whichever way the column is sorted.
    const auto emptyLast =
        std::stable_partition(rows.begin(), rows.end(), [&](int r) { return !keys[size_t(r)].isEmpty(); });
    if (m_sortOrder == Qt::AscendingOrder)
        std::stable_sort(rows.begin(), emptyLast, [&](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    else
        std::stable_sort(rows.begin(), emptyLast, [&](int a, int b) { return keys[size_t(b)] < keys[size_t(a)]; });
}

void ShownRecordings::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column >= 0 && column < columnCount() ? column : -1;
    m_sortOrder = order;
    // The rows move, and the current one and the selection move with them.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<QPair<int, int>> sourceCells; // display row and column of each
    for (const QModelIndex& index : before)
        sourceCells.append({m_rows[size_t(index.row())], index.column()});
    sortRows(m_rows);
    indexShown();
    QModelIndexList after;
    for (const auto& [row, column] : sourceCells)
        after.append(index(m_shownOf[size_t(row)], column));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QModelIndex ShownRecordings::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || size_t(row) >= m_rows.size() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex ShownRecordings::parent(const QModelIndex&) const
{
    return {};
}

int ShownRecordings::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ShownRecordings::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

QModelIndex ShownRecordings::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel() || size_t(proxyIndex.row()) >= m_rows.size())
        return {};
    return sourceModel()->index(m_rows[size_t(proxyIndex.row())], proxyIndex.column());
}

QModelIndex ShownRecordings::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid() || size_t(sourceIndex.row()) >= m_shownOf.size())
        return {};
    const int row = m_shownOf[size_t(sourceIndex.row())];
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QVariant ShownRecordings::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!sourceModel())
        return {};
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    return sourceModel()->headerData(section, orientation, role);
}
