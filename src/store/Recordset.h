#pragma once

#include <QString>
#include <QVariant>

// A set of rows of the catalogue with a current record, as the windows read and write them.
// Snapshots are read-only copies of a statement's result; table recordsets reach one table
// directly, by its primary key. Every failure is thrown as EngineError.
class Recordset
{
public:
    enum class Type { Table = 1, Snapshot = 4 };

    virtual ~Recordset() = default;

    virtual bool eof() const = 0;
    virtual void moveFirst() = 0;
    virtual void moveLast() = 0;
    virtual void moveNext() = 0;
    virtual int recordCount() = 0;

    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    // The field's position, without regard to case; throws when the recordset has no such field.
    int fieldIndex(const QString& name) const;

    // The current record's value: a null QVariant for Null.
    virtual QVariant value(int index) const = 0;
    QVariant field(const QString& name) const { return value(fieldIndex(name)); }
    // The value as the grid shows it: Null as empty text, numbers in plain decimal.
    virtual QString text(int index) const;
    // A REAL as a cell shows it.
    static QString numberText(double d);

    // Table recordsets only.
    virtual void setIndex(const QString& indexName);
    virtual void seek(const QString& comparison, const QVariant& key);
    virtual bool noMatch() const;
    virtual void addNew();
    virtual void edit();
    virtual void setValue(int index, const QVariant& value);
    void setField(const QString& name, const QVariant& v) { setValue(fieldIndex(name), v); }
    virtual void update();
    // The primary key of the record the last update stored (a new record's too).
    virtual qint64 lastModified() const;

    virtual void close() {}

protected:
    [[noreturn]] static void noCurrentRecord();
    [[noreturn]] static void notSupported();
};
