#pragma once

#include "store/Recordset.h"

#include <QStringList>
#include <vector>

struct sqlite3_stmt;

// The whole result of a prepared read-only statement, copied out once, so that the count is known
// and the rows can be walked while the catalogue changes underneath.
class SnapshotRecordset : public Recordset
{
public:
    // Steps the statement to its end; the statement stays the caller's to finalize.
    explicit SnapshotRecordset(sqlite3_stmt* statement);

    bool eof() const override;
    void moveFirst() override;
    void moveLast() override;
    void moveNext() override;
    int recordCount() override;

    int fieldCount() const override;
    QString fieldName(int index) const override;
    QVariant value(int index) const override;
    QString text(int index) const override;

    // A text value without copying it; empty for Null and for values that are not text.
    QStringView textView(int index) const;
    bool isText(int index) const;

private:
    struct Cell
    {
        qint64 value; // integer, bits of a double, or the offset of a text in m_text
        qint32 length;
        quint8 type;
    };
    const Cell& cell(int index) const;

    QStringList m_names;
    std::vector<Cell> m_cells;
    QString m_text;
    int m_rows = 0;
    int m_row = 0;
};
