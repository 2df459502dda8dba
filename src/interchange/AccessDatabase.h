#pragma once

#include "interchange/ImportSource.h"

#include <memory>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// An Access (Jet 3, Jet 4 or ACE) database file, read through libmdb: its tables, and any one of
// them read whole as rows of text. Jet 3 text is taken as Windows-1252; Null reads as empty text;
// dates read as "yyyy-MM-dd" (with the time when it is not midnight).
class AccessDatabase
{
public:
    class Table;

    // Opens the file for reading; throws InterchangeError for a missing file, a folder, or a file
    // that is not an Access database.
    explicit AccessDatabase(const QString& path);
    ~AccessDatabase();
    AccessDatabase(const AccessDatabase&) = delete;
    AccessDatabase& operator=(const AccessDatabase&) = delete;

    // True when the file starts with the signature of an Access database.
    static bool hasAccessSignature(const QString& path);
    // True when the file is to be read as an Access database: by its signature, or by its name
    // (.mdb, .accdb), so that a damaged one is refused as such rather than read as text.
    static bool isAccessFile(const QString& path);

    // The user's tables, in the file's order (system tables left out).
    QStringList tables() const { return m_tables; }
    // Reads a table whole; throws InterchangeError when there is no table of that name. A column
    // named Format that holds numbers is read through the file's own Format table, if it has one.
    std::unique_ptr<Table> readTable(const QString& name) const;
    // The one table with an Artist and a Title column, if exactly one has them; else empty.
    QString recordingTable() const;
    // A table's column names, without reading its rows.
    QStringList columnsOf(const QString& name) const;

private:
    struct Handle;
    QString tableNamed(const QString& name) const;
    QString m_path;
    std::unique_ptr<Handle> m_handle;
    QStringList m_tables;
};

class AccessDatabase::Table : public ImportSource
{
public:
    QStringList columns() const override { return m_columns; }
    int rowCount() const override { return int(m_rows.size()); }
    QString value(int row, int column) const override { return m_rows.at(row).value(column); }
    QString rowPlace(int row) const override { return QStringLiteral("row %1").arg(row + 1); }
    QString formatText(int column, const QString& value) const override;

private:
    friend class AccessDatabase;
    QStringList m_columns;
    QList<bool> m_numeric;
    QList<QStringList> m_rows;
    QHash<QString, QString> m_formatDescriptions; // the file's Format table: ID -> Description
};
