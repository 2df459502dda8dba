// What an import of a file would do: every row counted once, each format of the file matched to
// one of the catalogue's or to a part of its own name, and the plan the same when made again.
#include "FuzzSupport.h"
#include "interchange/CsvReader.h"
#include "interchange/FormatMatcher.h"
#include "interchange/Importer.h"
#include "interchange/InterchangeError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<CsvReader> csv;
    try {
        csv = std::make_unique<CsvReader>(Fuzz::bytes(data, size));
    } catch (const InterchangeError&) {
        return 0;
    }
    Importer importer(Fuzz::catalogue(), *csv, ColumnMapping::match(csv->columns()));
    importer.setNotesExtra(size % 2 == 0);
    Importer::Counts counts;
    try {
        counts = importer.plan();
    } catch (const InterchangeError& e) { // no Format ID left for a new format
        Fuzz::check(!e.message().isEmpty(), "a refusal without a message");
        return 0;
    }
    Fuzz::check(counts.added + counts.present + counts.emptyRows == csv->rowCount(), "a row counted other than once");
    int formatRows = 0;
    for (const Importer::FormatUse& use : counts.formats) {
        formatRows += use.rows;
        const QStringList details = FormatMatcher::details(use.source);
        const bool known = importer.catalogueFormats().contains(use.target, Qt::CaseInsensitive);
        Fuzz::check(known != use.isNew || use.target.isEmpty(), "a new format that the catalogue has", use.target);
        Fuzz::check(known || use.target == use.source.trimmed() || use.target == details.value(0),
                    "a new format that is no part of the file's", use.source + QStringLiteral(" -> ") + use.target);
    }
    Fuzz::check(formatRows <= counts.added, "more rows with a format than rows added");
    for (int row = 0; row < std::min(csv->rowCount(), 50); ++row) {
        const Importer::Fields fields = importer.fields(row);
        Fuzz::check(
            fields[RecordingFields::CatalogueNo].trimmed().compare(QLatin1String("none"), Qt::CaseInsensitive) != 0,
            "\"none\" stored as a catalogue number");
    }
    // A choice of the user's made and the plan made again: the rows are counted the same.
    if (!counts.formats.isEmpty()) {
        importer.setFormatTarget(counts.formats.constFirst().source, QStringLiteral("LP"));
        const Importer::Counts again = importer.plan(); // LP is the catalogue's: no new ID needed
        Fuzz::check(again.added == counts.added && again.present == counts.present, "a format choice changed the rows");
        Fuzz::check(again.formats.constFirst().target == QLatin1String("LP"), "the choice not taken");
    }
    return 0;
}
