// The CSV reader reads a file whole or refuses it with a message, and what it reads, written back
// by the CSV writer, reads back the same.
#include "FuzzSupport.h"
#include "interchange/CsvReader.h"
#include "interchange/CsvWriter.h"
#include "interchange/InterchangeError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = Fuzz::bytes(data, size);
    QList<QStringList> rows;
    QStringList columns;
    try {
        const CsvReader csv(bytes);
        columns = csv.columns();
        for (int r = 0; r < csv.rowCount(); ++r) {
            Fuzz::check(csv.rowPlace(r).startsWith(QLatin1String("line ")), "a row without its line");
            QStringList row;
            for (int c = 0; c < columns.size(); ++c)
                row.append(csv.value(r, c));
            rows.append(row);
        }
    } catch (const InterchangeError& e) {
        Fuzz::check(!e.message().isEmpty(), "a refusal without a message");
        return 0;
    }
    // A lone empty column reads back as a blank line, which holds no record.
    if (columns.size() < 2)
        return 0;
    QByteArray written = CsvWriter::byteOrderMark();
    CsvWriter::appendRecord(written, columns);
    for (const QStringList& row : rows)
        CsvWriter::appendRecord(written, row);
    try {
        const CsvReader again(written);
        Fuzz::check(again.columns() == columns, "the columns change when written and read back");
        Fuzz::check(again.rowCount() == rows.size(), "the row count changes when written and read back");
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < columns.size(); ++c)
                Fuzz::check(again.value(r, c) == rows.at(r).at(c), "a value changes when written and read back",
                            rows.at(r).at(c));
        }
    } catch (const InterchangeError& e) {
        Fuzz::fail("what was written cannot be read back", e.message());
    }
    return 0;
}
