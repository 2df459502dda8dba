#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class Database;

// What one command did to rows of the catalogue: each row it reached, by table and rowid, as it
// read before the command and after it (RowImage; empty where there was no row). It can be turned
// back, the rows put as they were before, and forward again. Either way it first makes sure, under
// the write lock, that every row still reads as this program left it: a row another program has
// changed, deleted or added since is refused, and then nothing is written.
//
// Only the side to be written is kept whole; the side the catalogue holds is kept as digests,
// which is all its check needs, and read whole again when the rows are turned.
class RowChanges
{
public:
    struct Row
    {
        qint64 rowid = 0;
        QByteArray before;
        QByteArray after;
    };
    struct Table
    {
        QString name;
        QStringList columns; // in the table's order, as the images hold them
        QList<Row> rows;     // by rowid
    };

    QList<Table> tables;

    // Whether any row reads otherwise after than before.
    bool changesAnything() const;
    // The table's rows; none when the command did not reach it.
    const Table* table(const QString& name) const;
    // Keeps only digests of the images after, which the catalogue holds now.
    void keepDigestsAfter();

    enum class Direction { Back, Forward };
    // Puts the rows as they were before (Back) or after (Forward), in one transaction. A refusal
    // is returned, having written nothing; empty when done. Throws EngineError, having written
    // nothing.
    QString turn(Database& catalogue, Direction direction);

    // The table's columns as the catalogue has them now.
    static QStringList columnsOf(Database& catalogue, const QString& table);
    // How a row is named for the user: "Artist – Title", a format's description, else its ID.
    static QString rowName(const Table& table, const QByteArray& image, qint64 rowid);

private:
    using Images = QList<QList<QByteArray>>; // each table's rows as they read now

    // Reads every row as it is now; why one stops the turn, or empty.
    QString check(Database& catalogue, bool back, Images* now) const;
    // Puts each row as it is to be, where it is not so already.
    void write(Database& catalogue, bool back, const Images& now) const;
    // Why a row that reads `now` stops the turn, or empty.
    static QString conflict(const Table& table, const Row& row, const QByteArray& now, bool back);
    // Why formats the turn takes away may not go: recordings now use them.
    QString formatsStillUsed(Database& catalogue, const Images& now, bool back) const;
};
