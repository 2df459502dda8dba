#include "interchange/InterchangeCommand.h"

#include "interchange/AccessDatabase.h"
#include "interchange/CsvReader.h"
#include "interchange/DisplayPages.h"
#include "interchange/Exporter.h"
#include "interchange/Importer.h"
#include "interchange/InterchangeError.h"
#include "interchange/PdfExport.h"
#include "shared/DisplayModel.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/SnapshotRecordset.h"

#include <cstdio>

namespace {

void say(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

// The catalogue the window would open. At the default place a missing one is made for an import,
// as the window offers to; a "Database" entry naming a missing file is an error, not a place to
// start a new catalogue.
std::unique_ptr<Database> openCatalogue(const Session& session, const QString& defaultCatalogue, bool createMissing)
{
    const bool named = session.namesCatalogue();
    const QStringList candidates = CataloguePathCandidates(session.cataloguePath(defaultCatalogue));
    for (const QString& path : candidates) {
        try {
            return Database::open(path);
        } catch (const EngineError& e) {
            const bool lastChance = path == candidates.last();
            if (e.kind() != EngineError::Kind::FileNotFound || (lastChance && (named || !createMissing)))
                throw;
        }
    }
    Catalogue::create(candidates.last());
    say(stdout, QStringLiteral("Created a new, empty catalogue at '%1'.").arg(candidates.last()));
    return Database::open(candidates.last());
}

std::unique_ptr<ImportSource> openSource(const InterchangeRequest& request, std::unique_ptr<AccessDatabase>& access)
{
    if (!AccessDatabase::isAccessFile(request.importFile)) {
        if (!request.table.isEmpty())
            throw InterchangeError(QStringLiteral("--table names a table of an Access database, and '%1' is not one.")
                                       .arg(request.importFile));
        return std::make_unique<CsvReader>(CsvReader::fromFile(request.importFile));
    }
    access = std::make_unique<AccessDatabase>(request.importFile);
    if (!request.table.isEmpty())
        return access->readTable(request.table);
    const QString table = access->recordingTable();
    if (table.isEmpty())
        throw InterchangeError(QStringLiteral("'%1' holds the tables %2; name the one to import with --table.")
                                   .arg(request.importFile, access->tables().join(QStringLiteral(", "))));
    return access->readTable(table);
}

int runImport(const Session& session, const InterchangeRequest& request, const QString& defaultCatalogue)
{
    std::unique_ptr<AccessDatabase> access;
    const std::unique_ptr<ImportSource> source = openSource(request, access);
    ColumnMapping mapping = ColumnMapping::match(source->columns());
    if (!request.map.isEmpty())
        mapping.override(source->columns(), request.map);
    if (mapping.isEmpty()) // before a missing catalogue is made for it
        throw InterchangeError(Importer::noFieldMessage(source->columns()));
    const std::unique_ptr<Database> db = openCatalogue(session, defaultCatalogue, true);
    db->setProgressHandler(request.keepGoing);
    Importer importer(*db, *source, mapping);
    importer.mapFormats(request.mapFormats);
    importer.setNotesExtra(request.notesExtra);
    Importer::Counts counts;
    try {
        counts = importer.run();
    } catch (const EngineError& e) {
        throw EngineError(e.kind(), QStringLiteral("The recordings could not be imported, and the catalogue is as it "
                                                   "was: %1")
                                        .arg(e.description()));
    }
    say(stdout, Importer::summary(counts));
    for (const QString& sentence : Importer::columnsSummary(counts))
        say(stdout, sentence);
    if (!counts.columnsLeftOut.isEmpty() && !counts.columnsInNotes)
        say(stdout, QStringLiteral("Add --notes-extra to keep them in Notes."));
    return 0;
}

// The Selection's recordings as pages of a PDF file, as the window prints them; how many.
int exportPdf(Database& db, const QString& sql, const QString& selection, const InterchangeRequest& request,
              const QString& settingsFile)
{
    if (const QString refusal = Exporter::targetRefusal(request.exportFile, db.path(), settingsFile);
        !refusal.isEmpty())
        throw InterchangeError(refusal);
    DisplayModel display;
    display.setRecordings(db.openSnapshot(sql));
    DisplayPages::Heading heading;
    heading.selection = selection;
    DisplayPages pages(display, DisplayPages::defaultColumns(), heading);
    const auto keepGoing = [&](int, int) { return !request.keepGoing || request.keepGoing(); };
    if (!PdfExport::write(pages, request.exportFile, PdfExport::defaultLayout(), keepGoing))
        throw EngineError(EngineError::Kind::Interrupted, QStringLiteral("Stopped."));
    return display.rowCount();
}

int runExport(Session& session, const InterchangeRequest& request, const QString& defaultCatalogue)
{
    const int iDefault = session.LoadSelections();
    const QList<SelectionList::Selection>& selections = session.selections;
    const int index = request.selection > 0 ? request.selection - 1 : iDefault;
    if (index < 0 || index >= selections.size()) {
        say(stderr, request.selection > 0
                        ? QStringLiteral("There is no Selection %1: varolin.ini lists %2.")
                              .arg(request.selection)
                              .arg(selections.size())
                        : QStringLiteral("varolin.ini chooses no default Selection; name one with --selection."));
        return 2;
    }
    const SelectionList::Selection& selection = selections.at(index);
    if (SelectionList::asksForValues(selection.where)) {
        say(stderr, QStringLiteral("The Selection \"%1\" asks for values (\"??\"), which the command line cannot "
                                   "answer; export it from the window, or choose another with --selection.")
                        .arg(selection.name));
        return 2;
    }
    const std::unique_ptr<Database> db = openCatalogue(session, defaultCatalogue, false);
    db->setProgressHandler(request.keepGoing);
    const QString sql = SelectionList::displayStatement(selection, selection.where);
    int n = 0;
    try {
        n = isPdfFile(request.exportFile) ? exportPdf(*db, sql, selection.name, request, session.iniFile())
                                          : Exporter::exportStatement(*db, sql, request.exportFile, session.iniFile());
    } catch (const EngineError& e) {
        throw EngineError(
            e.kind(), QStringLiteral("The Selection \"%1\" could not be run: %2").arg(selection.name, e.description()));
    }
    say(stdout, QStringLiteral("%1 %2 of the Selection \"%3\" written to '%4'.")
                    .arg(n)
                    .arg(n == 1 ? QStringLiteral("recording") : QStringLiteral("recordings"), selection.name,
                         request.exportFile));
    return 0;
}

} // namespace

bool isPdfFile(const QString& path)
{
    return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

int RunInterchangeCommand(const InterchangeRequest& request, const QString& iniFile, const QString& defaultCatalogue)
{
    Session session(iniFile);
    if (const QString problem = session.iniProblem(); !problem.isEmpty()) {
        say(stderr, QStringLiteral("Cannot read the settings file '%1': %2.").arg(iniFile, problem));
        return 1;
    }
    try {
        return request.importFile.isEmpty() ? runExport(session, request, defaultCatalogue)
                                            : runImport(session, request, defaultCatalogue);
    } catch (const InterchangeError& e) {
        say(stderr, e.message());
    } catch (const EngineError& e) {
        if (e.kind() == EngineError::Kind::Interrupted) {
            say(stderr, QStringLiteral("Stopped; nothing was written."));
            return 130;
        }
        say(stderr, e.description());
    }
    return 1;
}
