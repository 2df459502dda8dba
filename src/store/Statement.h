#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQLite statement, finalized when it goes out of scope. Failures throw EngineError.
class Statement
{
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value);
    // True while there is a row; false when done.
    bool step();

    QString text(int column) const;
    qint64 int64(int column) const;
    QVariant value(int column) const;

    sqlite3_stmt* handle() const { return m_stmt; }

    // A table or column name as SQL text: in double quotes, a quote inside it doubled.
    static QString quoted(const QString& name);

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};
