#pragma once

#include <QByteArray>
#include <QVariant>

struct sqlite3_stmt;
struct sqlite3_value;

// One row of a table as bytes: each column's value with its type, so that two images are equal
// exactly when the rows hold the same values. An empty image stands for no row. Where only
// "is the row still as it was" is asked, a digest of the image does: it is compared, never written.
class RowImage
{
public:
    // An image with no column yet, for append.
    static QByteArray start();
    // A text is taken as the catalogue stores it when that is UTF-8: no terminated copy is made.
    static void append(QByteArray& image, sqlite3_value* value, bool utf8Catalogue);
    // The first `count` columns of the statement's current row.
    static QByteArray ofColumns(sqlite3_stmt* statement, int count);

    static QByteArray digestOf(const QByteArray& image);
    static bool isDigest(const QByteArray& image);
    // Whether the row as it reads now (an image, or empty for none) is the one expected (an image,
    // a digest, or empty).
    static bool matches(const QByteArray& expected, const QByteArray& now);

    // A column's value; a null QVariant for Null, a column past the end, and a digest.
    static QVariant value(const QByteArray& image, int column);
    // Binds the columns' values to the parameters from ?first on, each with its own type.
    static void bind(sqlite3_stmt* statement, int first, const QByteArray& image);

private:
    enum Tag : char { Null = 'N', Integer = 'I', Real = 'F', Text = 'T', Blob = 'B' };
    struct Cell
    {
        Tag tag = Null;
        const char* data = nullptr; // the 8 bytes of a number, or the bytes of a text or blob
        qint32 size = 0;
    };
    static void appendCell(QByteArray& image, Tag tag, const void* data, qint32 size);
    // Walks the cells; false when f asks to stop.
    template <typename F>
    static void forEachCell(const QByteArray& image, F f);
};
