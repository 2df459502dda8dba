#include "interchange/CsvReader.h"
#include "interchange/CsvWriter.h"
#include "interchange/InterchangeError.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <QFile>
#include <sys/stat.h>

namespace {

QList<QStringList> rowsOf(const CsvReader& csv)
{
    QList<QStringList> rows;
    for (int r = 0; r < csv.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < csv.columns().size(); ++c)
            row.append(csv.value(r, c));
        rows.append(row);
    }
    return rows;
}

} // namespace

TEST(CsvReader, ReadsWhatSpreadsheetsAndDatabasesWrite)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
        QStringList columns;
        QList<QStringList> rows;
    } cases[] = {
        {"LF, plain", "A,B\n1,2\n3,4\n", {"A", "B"}, {{"1", "2"}, {"3", "4"}}},
        {"BOM, CRLF, no last line end", "\357\273\277A,B\r\n1,2\r\n3,4", {"A", "B"}, {{"1", "2"}, {"3", "4"}}},
        {"quotes keep a separator, a quote, line breaks",
         "A,B\r\n\"x, y\",\"say \"\"hi\"\"\"\r\n\"two\r\nlines\",\"a\nb\"\r\n",
         {"A", "B"},
         {{"x, y", "say \"hi\""}, {"two\r\nlines", "a\nb"}}},
        {"semicolons in the header choose them", "A;B\n1,5;2\n", {"A", "B"}, {{"1,5", "2"}}},
        {"tabs", "A\tB\nx y\tz\n", {"A", "B"}, {{"x y", "z"}}},
        {"a second mark is a character", "\357\273\277\357\273\277A,B\n", {QString(QChar(0xFEFF)) + "A", "B"}, {}},
        {"Windows-1252", "Artist,Price\nMot\xF6rhead,\2005\n", {"Artist", "Price"}, {{"Motörhead", "€5"}}},
        {"1252 with a pair valid as UTF-8", "A\n\x91\xD6\x92 f\xFCr Sch\xF6n\n", {"A"}, {{"‘Ö’ für Schön"}}},
        {"UTF-16 with its mark", QByteArray("\377\376A\0,\0B\0\n\0\351\0,\0002\0", 16), {"A", "B"}, {{"é", "2"}}},
        {"short rows, blank lines, lone CR", "A,B,C\r1\r\r\n2,\n\n", {"A", "B", "C"}, {{"1", "", ""}, {"2", "", ""}}},
        {"empty quoted field, spaces kept", "A,B\n\"\", x \n", {"A", "B"}, {{"", " x "}}},
        {"names trimmed, a quote inside a field kept", " A ,B\n5\"x,y\n", {"A", "B"}, {{"5\"x", "y"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CsvReader csv(c.bytes);
        EXPECT_EQ(csv.columns(), c.columns);
        EXPECT_EQ(rowsOf(csv), c.rows);
    }
}

TEST(CsvReader, RefusesWhatItCannotReadWholeNamingTheLine)
{
    const struct
    {
        QByteArray bytes;
        const char* says;
    } cases[] = {
        {"A,B\n1,2\n\"open,3\n4,5\n", "line 3 a quoted field is never closed"},
        {"A,B\n1,2\n\"x\"\"\n", "line 3 a quoted field is never closed"},
        {"A,B\n1,2\n\"a\nb\",2\n1,2,3\n", "line 5 has 3 fields, but the header line names only 2"},
        {QByteArray("A,B\n1,2\nx\0y,1\n", 14), "line 3 holds bytes that are not text"},
        {"A,B\n\x81,2\n", "line 2 holds bytes that are not text"},
        {QByteArray("\377\376A\0,\0B\0\n\0\0\330,\0", 14), "line 2 holds bytes that are not text"}, // half a pair
        {"\357\273\277A,B\n\xFF,2\n", "marked as UTF-8 but holds bytes that are not UTF-8"},
        {"A,B\nMot\xC3\xB6rhead,Dü\r\nBj\xF6rk,2\n", "line 3 holds bytes that are not UTF-8 text, though the rest"},
        {"A,B\nMot\xC3\xB6rhead,D\xC3\xBC\xC3", "line 2 holds bytes that are not UTF-8 text, though the rest"},
        // Characters of three and four bytes (’, €, a clef) count as UTF-8 too.
        {"A\n\xE2\x80\x99\xE2\x82\xAC \xF0\x9D\x84\x9E\nBj\xF6rk\n",
         "line 3 holds bytes that are not UTF-8 text, though the rest"},
        {"\357\273\277A,B\n1,\xC3", "marked as UTF-8 but holds bytes that are not UTF-8"}, // cut off at the end
        {"", "the file is empty"},
        {"\xEF\xBB\xBF", "the file is empty"},
        {"A,B\n\"x\"y,2\n", "line 2 has text after the closing quote"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(TestFolder::thrown<InterchangeError>([&] { CsvReader{c.bytes}; }).contains(c.says)) << c.says;
}

TEST(CsvReader, NamesTheFileItCannotOpen)
{
    TestFolder folder;
    folder.writeFile("empty.csv", QByteArray());
    // A pipe or a device would be read without end, a loop of links never reached.
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.file("pipe.csv")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(folder.file("loop.csv"), folder.file("loop.csv")));
    const std::pair<QString, QString> cases[] = {
        {folder.file("none.csv"), "Could not find the file '%1'."},
        {folder.path(), "'%1' is a folder, not a file that can be imported."},
        {folder.file("empty.csv"), "'%1' cannot be imported: the file is empty."},
        {folder.file("pipe.csv"), "'%1' is a named pipe (FIFO), not a file that can be imported."},
        {"/dev/zero", "'%1' is a device, not a file that can be imported."},
        {folder.file("loop.csv"), "Cannot open '%1': its symbolic links lead round in a loop."},
    };
    for (const auto& [path, message] : cases)
        EXPECT_EQ(TestFolder::thrown<InterchangeError>([&] { CsvReader::fromFile(path); }), message.arg(path));
}

TEST(CsvWriter, QuotesOnlyWhereNeededAndReadsBackTheSame)
{
    // A spreadsheet would run a formula: such a text goes after an apostrophe, as does one that has its own.
    const QStringList fields = {"plain",       "",    "a,b",      "say \"hi\"", "two\r\nlines", " padded",
                                "Motörhead 🎸", "x;y", "=1+2",     "-5",         "+x",           "@cmd",
                                "\tt",         "\rr", "'='quote", "''",         "'T",           "a=b"};
    QByteArray out;
    CsvWriter::appendRecord(out, fields);
    EXPECT_EQ(out, QByteArray("plain,,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\" padded\",Motörhead 🎸,\"x;y\","
                              "'=1+2,'-5,'+x,'@cmd,\"'\tt\",\"'\rr\",''='quote,''',''T,a=b\r\n"));

    QByteArray file = CsvWriter::byteOrderMark();
    CsvWriter::appendRecord(
        file, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16", "17", "18"});
    file += out;
    const CsvReader csv(file);
    ASSERT_EQ(csv.rowCount(), 1);
    EXPECT_EQ(rowsOf(csv).first(), fields);
}
