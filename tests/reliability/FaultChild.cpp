// Changes a catalogue or varolin.ini over and over, as the windows do, until the fault-injection
// tests kill it:  varolin_faultchild save|apply|delete|import|ini FOLDER
// It prints "ready" once it has started changing things, and "done" when an import has ended.
#include "interchange/ColumnMapping.h"
#include "interchange/CsvReader.h"
#include "interchange/Importer.h"
#include "shared/IniFile.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <cstdio>
#include <QCoreApplication>

namespace {

void say(const char* line)
{
    std::puts(line);
    std::fflush(stdout);
}

// Each pass writes one generation into every field of every recording, a recording at a time,
// as the editor's OK does.
void save(Database& db)
{
    const auto rs = db.openRecordset("Recording");
    rs->setIndex("PrimaryKey");
    say("ready");
    for (int generation = 1;; ++generation)
        for (qint64 id = 1; id <= 50; ++id) {
            rs->seek("=", id);
            rs->edit();
            for (const char* field :
                 {"Artist", "Title", "Year", "Label", "Catalogue_No", "International_Catalogue_No", "Notes"})
                rs->setField(field, QStringLiteral("generation %1 ").arg(generation).repeated(40));
            rs->update();
        }
}

// The format editor's Apply: the whole table rewritten in one transaction, two lists in turn.
void apply(Database& db)
{
    say("ready");
    for (int pass = 0;; ++pass) {
        const int count = pass % 2 == 0 ? 30 : 60;
        db.beginTrans();
        db.execute(Catalogue::deleteFormatsStatement());
        const auto rs = db.openRecordset("Format");
        for (int i = 1; i <= count; ++i) {
            rs->addNew();
            rs->setField("ID", i);
            rs->setField("Description", QStringLiteral("List of %1, format %2").arg(count).arg(i));
            rs->update();
        }
        db.commitTrans();
    }
}

// Settings saved over and over: every key's value changes together, in one replacement.
void ini(const QString& folder)
{
    say("ready");
    for (int generation = 1;; ++generation) {
        QList<IniFile::Entry> entries;
        for (int key = 1; key <= 40; ++key)
            entries.append({"HotKeys", QString::number(key), QStringLiteral("g%1").arg(generation).repeated(20)});
        IniFile::write(folder + "/varolin.ini", entries);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString scenario = argv[1];
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (scenario == "ini")
        ini(folder);
    const auto db = Database::open(folder + "/varolin.mdb");
    if (scenario == "save")
        save(*db);
    else if (scenario == "apply")
        apply(*db);
    else if (scenario == "delete") {
        say("ready");
        for (qint64 id = 1;; ++id)
            db->execute(Catalogue::deleteRecordingStatement(id));
    } else if (scenario == "import") {
        const CsvReader source = CsvReader::fromFile(folder + "/import.csv");
        Importer importer(*db, source, ColumnMapping::match(source.columns()));
        say("ready");
        importer.run();
        say("done");
    }
    return 0;
}
