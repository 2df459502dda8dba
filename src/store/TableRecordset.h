#pragma once

#include "store/Recordset.h"

#include <QStringList>
#include <QVariantList>

struct sqlite3;

// One table reached directly: walked in the order of its ID column, sought by ID (the index
// "PrimaryKey"), and changed through AddNew or Edit followed by Update. Rows are found by ID, never
// by SQLite's rowid, which another tool's table need not tie to the ID and a VACUUM may renumber.
// As with the older engine, the current record stays where it was after an AddNew is stored:
// MoveLast reaches the new row.
class TableRecordset : public Recordset
{
public:
    TableRecordset(sqlite3* db, const QString& table);

    bool eof() const override;
    void moveFirst() override;
    void moveLast() override;
    void moveNext() override;
    int recordCount() override;

    int fieldCount() const override;
    QString fieldName(int index) const override;
    QVariant value(int index) const override;

    void setIndex(const QString& indexName) override;
    void seek(const QString& comparison, const QVariant& key) override;
    bool noMatch() const override;
    void addNew() override;
    void edit() override;
    void setValue(int index, const QVariant& value) override;
    void update() override;
    qint64 lastModified() const override;

private:
    enum class Mode { None, AddNew, Edit };

    // Makes the row the query finds current; none found leaves no current record.
    bool load(const QString& sqlTail, const QVariantList& keys = {});
    void checkField(int index) const;
    // The ID column's name as SQL text.
    QString idName() const;
    // Takes back a write that failed or reached other rows than the current one.
    void undoUpdate(bool ownTransaction);

    sqlite3* m_db;
    QString m_table; // quoted for SQL
    QString m_name;  // as the catalogue spells it
    QStringList m_names;
    int m_idColumn = -1;
    QVariantList m_current;
    QVariant m_id;
    qint64 m_rowid = 0; // orders rows of one ID, or of none, as a walk goes; never finds a row
    qint64 m_lastModified = 0;
    bool m_hasCurrent = false;
    bool m_noMatch = false;
    Mode m_mode = Mode::None;
    QVariantList m_buffer;
    QList<bool> m_changed;
};
