#pragma once

#include "store/Recordset.h"

#include <QStringList>
#include <QUtf8StringView>
#include <string>
#include <vector>

struct sqlite3_stmt;

// The whole result of a prepared read-only statement, copied out once, so that the count is known
// and the rows can be walked while the catalogue changes underneath.
class SnapshotRecordset final : public Recordset
{
public:
    // Steps the statement to its end; the statement stays the caller's to finalize. utf8Catalogue
    // says that the catalogue stores its text as UTF-8.
    SnapshotRecordset(sqlite3_stmt* statement, bool utf8Catalogue);
    ~SnapshotRecordset() override;

    bool eof() const override;
    void moveFirst() override;
    void moveLast() override;
    void moveNext() override;
    int recordCount() override;
    int rows() const { return m_rows; }
    size_t textBytes() const { return m_utf8.size(); }

    int fieldCount() const override;
    QString fieldName(int index) const override;
    QVariant value(int index) const override;
    QString text(int index) const override;

    // A text value as the engine holds it (UTF-8), without copying; empty for Null and for values
    // that are not text.
    QUtf8StringView utf8View(int index) const;
    qint64 integer(int index) const;

    // A text cell's bytes where they lie, for walks over every cell (find, copy): the row and index
    // must be in range, and a number or Null gives false.
    bool textCell(int row, int index, QUtf8StringView* text) const
    {
        const Cell& c = m_cells[static_cast<size_t>(row) * m_names.size() + static_cast<size_t>(index)];
        if (c.length < 0)
            return false;
        *text = QUtf8StringView(m_utf8.data() + c.offset, c.length);
        return true;
    }

    // The same of any row, the current one staying where it is: a model shows the rows from here.
    QString textAt(int row, int index) const;
    qint64 integerAt(int row, int index) const;

    // Where a value lies in m_utf8: a text of `length` bytes, or the 8 bytes of a number.
    struct Cell
    {
        quint32 offset;
        qint32 length;
    };

private:
    enum : qint32 { kNull = -1, kInteger = -2, kFloat = -3 };
    const Cell& cell(int index) const;
    const Cell& cellAt(int row, int index) const;
    template <typename T>
    T number(const Cell& c) const;

    QStringList m_names;
    std::vector<Cell> m_cells;
    std::string m_utf8;
    int m_rows = 0;
    int m_row = 0;
};
