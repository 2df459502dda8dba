#pragma once

#include <array>
#include <memory>
#include <QAbstractTableModel>
#include <QStringList>
#include <QUtf8StringView>

class SnapshotRecordset;

// The display: the recordings a Selection's statement found, one row each, its eight cells and its
// recording ID together (ItemRoles::RecordingId). The rows are the statement's result itself, held
// once and shared with a copy on the clipboard; a cell becomes a QString only when it is asked for.
// Instead of recordings the display may show one row of notice, such as "(No Recordings Found)".
class DisplayModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kColumns = 8;

    // The rows of one result and where each shown column lies in it.
    struct Rows
    {
        std::shared_ptr<const SnapshotRecordset> snapshot;
        std::array<int, kColumns> fields{};
        int idField = -1;
        QString notice; // shown in place of recordings when there is no snapshot

        int count() const;
        qint64 id(int row) const;
        // A text cell as the catalogue holds it; a number is written into scratch and viewed there.
        QUtf8StringView cell(int row, int col, QByteArray& scratch) const;
    };

    explicit DisplayModel(QObject* parent = nullptr);
    ~DisplayModel() override;

    // The headings of the eight columns, in their order.
    static const QStringList& headings();
    // The catalogue's field each column shows.
    static QLatin1String fieldName(int col);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The statement's result becomes the display, in one reset.
    void setRecordings(std::unique_ptr<SnapshotRecordset> snapshot);
    // One row of notice in place of recordings.
    void showNotice(const QString& caption);
    // No rows at all; the last result is let go before the next one is read.
    void clear();

    bool hasRecordings() const { return m_rows.snapshot != nullptr; }
    const Rows& rows() const { return m_rows; }
    qint64 idAt(int row) const;
    // The row showing the recording, or -1.
    int rowOfId(qint64 id) const;
    QString cellText(int row, int col) const;

    // The display's rows in the order a view over it shows them, through any proxies between.
    static QList<int> shownRows(const QAbstractItemModel& shown);
    // The display model behind a view's model, through any proxies; null when there is none.
    static const DisplayModel* behind(const QAbstractItemModel* shown);
    // The display's row behind a shown row.
    static int sourceRow(const QAbstractItemModel& shown, int row);
    // The shown row of the recording, or -1 when it is not shown.
    static int shownRowOf(const QAbstractItemModel& shown, qint64 id);

    // The first cell, from (row, col) of the shown rows on, row by row and left to right, whose
    // text holds `text` (or is `text`, for wholeCell). Shown row and column, or {-1, -1}.
    struct Cell
    {
        int row = -1;
        int col = -1;
    };
    static Cell find(const QAbstractItemModel& shown, int row, int col, const QString& text, Qt::CaseSensitivity cs,
                     bool wholeCell, bool ignoreAccents = false);

private:
    // find, with the accents of the cells and of the text (given without them) left aside.
    static Cell findWithoutAccents(const QAbstractItemModel& shown, int row, int col, const QString& text,
                                   Qt::CaseSensitivity cs, bool wholeCell);
    bool hasNotice() const { return !m_rows.snapshot && !m_rows.notice.isEmpty(); }

    Rows m_rows;
};
