#pragma once

#include "interchange/ImportSource.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A CSV file read whole (RFC 4180: quoted fields, doubled quotes, line breaks inside quotes), in
// UTF-8 (with or without a byte-order mark), UTF-16 with a byte-order mark, or else Windows-1252;
// records end at CR LF, LF or CR; fields are separated by commas, semicolons or tabs, whichever
// the header line holds most of. The first record names the columns.
//
// Cells are kept as places in the decoded text and made into strings only when asked for, so that
// a large file costs little more than its text.
class CsvReader : public ImportSource
{
public:
    // Reads the bytes of a file; throws InterchangeError naming the line of anything it cannot
    // read: an unterminated quote, a record with more fields than the header, bytes that are not
    // text.
    explicit CsvReader(QByteArray bytes);
    // Reads the file at path; a missing file, a folder or an empty file are refused the same way,
    // and a file whose text is too long before it is read in.
    static CsvReader fromFile(const QString& path);

    QStringList columns() const override { return m_columns; }
    int rowCount() const override { return int(m_rowFirstCell.size()) - 1; }
    QString value(int row, int column) const override;
    QString rowPlace(int row) const override;
    bool isCollectionExport() const override { return m_collectionExport; }

    QChar separator() const { return m_separator; }
    QString encoding() const { return m_encoding; }

private:
    // Eight bytes a cell: a file of 131,072 releases holds nearly two million of them.
    struct Cell
    {
        quint32 start = 0;
        quint32 length : 31 = 0;
        quint32 quoted : 1 = 0; // doubled quotes inside it stand for one
    };

    void decode(const QByteArray& bytes);
    void chooseSeparator();
    void split();
    [[noreturn]] void fail(qsizetype position, const QString& what) const;
    int lineAt(qsizetype position) const;

    QString m_text;
    QString m_encoding;
    QChar m_separator = QLatin1Char(',');
    QStringList m_columns;
    QList<Cell> m_cells;
    QList<qsizetype> m_rowFirstCell; // cells of row r: [m_rowFirstCell[r], m_rowFirstCell[r + 1])
    QList<int> m_rowLine;
    bool m_collectionExport = false;
};
