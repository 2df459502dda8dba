#include "platform/GridModel.h"

#include <QStringDecoder>
#include <QStringMatcher>

QUtf8StringView GridModel::Contents::cell(int dataRow, int col) const
{
    const qsizetype index = static_cast<qsizetype>(dataRow) * cols + col;
    const qsizetype start = index == 0 ? 0 : ends.at(index - 1);
    return QUtf8StringView(chars.constData() + start, ends.at(index) - start);
}

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent)
{}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_contents.dataRows();
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_contents.cols;
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    const QUtf8StringView text = m_contents.cell(index.row(), index.column());
    if (role == Qt::ToolTipRole && !QByteArrayView(text.data(), text.size()).contains('\n'))
        return QVariant(); // a tip only where the cell holds more lines than it shows
    return text.toString();
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_contents.cols)
        return QVariant();
    return m_contents.headings.at(section);
}

void GridModel::beginChange()
{
    if (!m_batch)
        beginResetModel();
}

void GridModel::endChange()
{
    if (!m_batch)
        endResetModel();
}

void GridModel::beginBatch()
{
    if (!m_batch) {
        beginResetModel();
        m_batch = true;
    }
}

void GridModel::endBatch()
{
    if (m_batch) {
        m_batch = false;
        endResetModel();
    }
}

void GridModel::setGridRows(int rows)
{
    const int dataRows = qMax(0, rows - 1);
    if (dataRows == m_contents.dataRows())
        return;
    beginChange();
    if (dataRows < m_contents.dataRows()) {
        const qsizetype cells = static_cast<qsizetype>(dataRows) * m_contents.cols;
        m_contents.chars.truncate(cellStart(cells));
        m_contents.ends.resize(cells);
    } else {
        const qsizetype end = m_contents.chars.size();
        m_contents.ends.resize(static_cast<qsizetype>(dataRows) * m_contents.cols, end);
    }
    endChange();
}

void GridModel::setCols(int cols)
{
    cols = qMax(0, cols);
    if (cols == m_contents.cols)
        return;
    beginChange();
    Contents resized;
    resized.cols = cols;
    resized.headings = m_contents.headings.mid(0, cols);
    while (resized.headings.size() < cols)
        resized.headings.append(QString());
    for (int r = 0; r < m_contents.dataRows(); ++r) {
        for (int c = 0; c < cols; ++c) {
            if (c < m_contents.cols) {
                const QUtf8StringView cell = m_contents.cell(r, c);
                resized.chars.append(cell.data(), cell.size());
            }
            resized.ends.append(resized.chars.size());
        }
    }
    m_contents = std::move(resized);
    endChange();
}

QString GridModel::cellText(int gridRow, int col) const
{
    if (col < 0 || col >= m_contents.cols || gridRow < 0 || gridRow >= gridRows())
        return QString();
    if (gridRow == 0)
        return m_contents.headings.at(col);
    return m_contents.cell(gridRow - 1, col).toString();
}

void GridModel::setCell(int gridRow, int col, const QString& text)
{
    if (col < 0 || col >= m_contents.cols || gridRow < 0 || gridRow >= gridRows())
        return;
    if (gridRow == 0) {
        m_contents.headings[col] = text;
        if (!m_batch)
            emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const qsizetype index = static_cast<qsizetype>(gridRow - 1) * m_contents.cols + col;
    const qsizetype start = cellStart(index);
    const QByteArray utf8 = text.toUtf8();
    const qsizetype oldLength = m_contents.ends.at(index) - start;
    const qsizetype delta = utf8.size() - oldLength;
    m_contents.chars.replace(start, oldLength, utf8);
    if (delta != 0) {
        for (qsizetype i = index; i < m_contents.ends.size(); ++i)
            m_contents.ends[i] += delta;
    }
    if (!m_batch)
        emit dataChanged(this->index(gridRow - 1, col), this->index(gridRow - 1, col));
}

void GridModel::appendRow(const QUtf8StringView* cells, int count)
{
    const int row = m_contents.dataRows();
    if (!m_batch)
        beginInsertRows(QModelIndex(), row, row);
    for (int c = 0; c < m_contents.cols; ++c) {
        if (c < count)
            m_contents.chars.append(cells[c].data(), cells[c].size());
        m_contents.ends.append(m_contents.chars.size());
    }
    if (!m_batch)
        endInsertRows();
}

void GridModel::removeGridRow(int gridRow)
{
    if (gridRow < 1 || gridRow >= gridRows())
        return;
    const int row = gridRow - 1;
    if (!m_batch)
        beginRemoveRows(QModelIndex(), row, row);
    const qsizetype first = static_cast<qsizetype>(row) * m_contents.cols;
    const qsizetype start = cellStart(first);
    const qsizetype length = cellStart(first + m_contents.cols) - start;
    m_contents.chars.remove(start, length);
    m_contents.ends.remove(first, m_contents.cols);
    for (qsizetype i = first; i < m_contents.ends.size(); ++i)
        m_contents.ends[i] -= length;
    if (!m_batch)
        endRemoveRows();
}

GridModel::Cell GridModel::find(int gridRow, int col, const QString& text, Qt::CaseSensitivity cs, bool wholeCell) const
{
    // Each cell is decoded into one reused buffer and searched there: no string per cell.
    const QStringMatcher matcher(text, cs);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString buffer;
    const int cols = m_contents.cols;
    const qsizetype cells = m_contents.ends.size();
    for (qsizetype index = static_cast<qsizetype>(qMax(1, gridRow) - 1) * cols + qMax(0, col); index < cells; ++index) {
        const qsizetype start = cellStart(index);
        const QByteArrayView utf8(m_contents.chars.constData() + start, m_contents.ends.at(index) - start);
        // A cell of fewer UTF-8 bytes than the text has characters is too short to hold it.
        if (utf8.size() < text.size())
            continue;
        if (buffer.size() < utf8.size())
            buffer.resize(utf8.size());
        const QStringView cell(buffer.constData(), decoder.appendToBuffer(buffer.data(), utf8) - buffer.constData());
        const bool match = wholeCell ? cell.compare(text, cs) == 0 : matcher.indexIn(cell) >= 0;
        if (match)
            return {static_cast<int>(index / cols) + 1, static_cast<int>(index % cols)};
    }
    return {};
}
