#include "shared/DisplayModel.h"

#include "shared/TextFolding.h"

#include "platform/ItemRoles.h"
#include "store/SnapshotRecordset.h"

#include <QAbstractProxyModel>
#include <QStringDecoder>
#include <QStringMatcher>

namespace {

const char* const kFieldNames[DisplayModel::kColumns] = {
    "Artist", "Title", "Year", "Format", "Label", "Catalogue_No", "Notes", "International_Catalogue_No"};

} // namespace

int DisplayModel::Rows::count() const
{
    return snapshot ? snapshot->rows() : 0;
}

qint64 DisplayModel::Rows::id(int row) const
{
    return snapshot->integerAt(row, idField);
}

QUtf8StringView DisplayModel::Rows::cell(int row, int col, QByteArray& scratch) const
{
    const int field = fields[static_cast<size_t>(col)];
    QUtf8StringView text;
    if (snapshot->textCell(row, field, &text))
        return text;
    scratch = snapshot->textAt(row, field).toUtf8();
    return QUtf8StringView(scratch.constData(), scratch.size());
}

DisplayModel::DisplayModel(QObject* parent) : QAbstractTableModel(parent)
{}

DisplayModel::~DisplayModel() = default;

const QStringList& DisplayModel::headings()
{
    static const QStringList kHeadings{QStringLiteral("Artist"), QStringLiteral("Title"),
                                       QStringLiteral("Year"),   QStringLiteral("Format"),
                                       QStringLiteral("Label"),  QStringLiteral("Catalogue No."),
                                       QStringLiteral("Notes"),  QStringLiteral("International Catalogue No.")};
    return kHeadings;
}

QLatin1String DisplayModel::fieldName(int col)
{
    return QLatin1String(kFieldNames[col]);
}

int DisplayModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return hasNotice() ? 1 : m_rows.count();
}

int DisplayModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant DisplayModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (hasNotice())
        return role == Qt::DisplayRole && index.column() == 0 ? QVariant(m_rows.notice) : QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::ToolTipRole: {
        // A tip only where the cell holds more lines than it shows.
        const QString text = cellText(index.row(), index.column());
        return text.contains(QLatin1Char('\n')) ? QVariant(text) : QVariant();
    }
    case ItemRoles::RecordingId:
        return idAt(index.row());
    default:
        return QVariant();
    }
}

QVariant DisplayModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns)
        return QVariant();
    return headings().at(section);
}

void DisplayModel::setRecordings(std::unique_ptr<SnapshotRecordset> snapshot)
{
    Rows rows;
    for (int c = 0; c < kColumns; ++c)
        rows.fields[c] = snapshot->fieldIndex(QString(fieldName(c)));
    rows.idField = snapshot->fieldIndex(QStringLiteral("ID")); // throws for a column the result lacks
    rows.snapshot = std::move(snapshot);
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void DisplayModel::showNotice(const QString& caption)
{
    beginResetModel();
    m_rows = Rows();
    m_rows.notice = caption;
    endResetModel();
}

void DisplayModel::clear()
{
    beginResetModel();
    m_rows = Rows();
    endResetModel();
}

qint64 DisplayModel::idAt(int row) const
{
    return hasRecordings() && row >= 0 && row < m_rows.count() ? m_rows.id(row) : 0;
}

int DisplayModel::rowOfId(qint64 id) const
{
    const int n = m_rows.count();
    for (int r = 0; r < n; ++r) {
        if (m_rows.id(r) == id)
            return r;
    }
    return -1;
}

QString DisplayModel::cellText(int row, int col) const
{
    if (!hasRecordings() || row < 0 || row >= m_rows.count() || col < 0 || col >= kColumns)
        return QString();
    return m_rows.snapshot->textAt(row, m_rows.fields[col]);
}

namespace {

QModelIndex ToSource(QModelIndex index)
{
    while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(index.model()))
        index = proxy->mapToSource(index);
    return index;
}

} // namespace

const DisplayModel* DisplayModel::behind(const QAbstractItemModel* shown)
{
    while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(shown))
        shown = proxy->sourceModel();
    return qobject_cast<const DisplayModel*>(shown);
}

int DisplayModel::sourceRow(const QAbstractItemModel& shown, int row)
{
    return ToSource(shown.index(row, 0)).row();
}

int DisplayModel::shownRowOf(const QAbstractItemModel& shown, qint64 id)
{
    const DisplayModel* display = behind(&shown);
    const int row = display && display->hasRecordings() ? display->rowOfId(id) : -1;
    if (row < 0)
        return -1;
    // Up through the proxies, from the display to the model the view shows.
    QList<const QAbstractProxyModel*> proxies;
    for (const auto* model = &shown; model != display;) {
        const auto* proxy = qobject_cast<const QAbstractProxyModel*>(model);
        proxies.prepend(proxy);
        model = proxy->sourceModel();
    }
    QModelIndex index = display->index(row, 0);
    for (const QAbstractProxyModel* proxy : proxies)
        index = proxy->mapFromSource(index);
    return index.isValid() ? index.row() : -1;
}

QList<int> DisplayModel::shownRows(const QAbstractItemModel& shown)
{
    const int n = shown.rowCount();
    QList<int> rows(n);
    const bool direct = behind(&shown) == &shown;
    for (int r = 0; r < n; ++r)
        rows[r] = direct ? r : sourceRow(shown, r);
    return rows;
}

DisplayModel::Cell DisplayModel::find(const QAbstractItemModel& shown, int row, int col, const QString& text,
                                      Qt::CaseSensitivity cs, bool wholeCell, bool ignoreAccents)
{
    if (ignoreAccents)
        return findWithoutAccents(shown, row, col, TextFolding::withoutAccents(text), cs, wholeCell);
    const DisplayModel* display = behind(&shown);
    if (!display || !display->hasRecordings())
        return {};
    // Each cell is decoded into one reused buffer and searched there: no string per cell.
    const QStringMatcher matcher(text, cs);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString buffer;
    QByteArray scratch;
    const QList<int> rows = shownRows(shown);
    const Rows& source = display->rows();
    for (int r = qMax(0, row); r < rows.size(); ++r) {
        for (int c = r == row ? qMax(0, col) : 0; c < kColumns; ++c) {
            const QUtf8StringView utf8 = source.cell(rows.at(r), c, scratch);
            // A cell of fewer UTF-8 bytes than the text has characters is too short to hold it.
            if (utf8.size() < text.size())
                continue;
            if (buffer.size() < utf8.size())
                buffer.resize(utf8.size());
            const QStringView cell(buffer.constData(),
                                   decoder.appendToBuffer(buffer.data(), QByteArrayView(utf8.data(), utf8.size())) -
                                       buffer.constData());
            if (wholeCell ? cell.compare(text, cs) == 0 : matcher.indexIn(cell) >= 0)
                return {r, c};
        }
    }
    return {};
}

DisplayModel::Cell DisplayModel::findWithoutAccents(const QAbstractItemModel& shown, int row, int col,
                                                    const QString& text, Qt::CaseSensitivity cs, bool wholeCell)
{
    const DisplayModel* display = behind(&shown);
    if (!display || !display->hasRecordings())
        return {};
    const QStringMatcher matcher(text, cs);
    const QList<int> rows = shownRows(shown);
    for (int r = qMax(0, row); r < rows.size(); ++r) {
        for (int c = r == row ? qMax(0, col) : 0; c < kColumns; ++c) {
            const QString cell = TextFolding::withoutAccents(display->cellText(rows.at(r), c));
            if (wholeCell ? cell.compare(text, cs) == 0 : matcher.indexIn(cell) >= 0)
                return {r, c};
        }
    }
    return {};
}
