// A program that changes a catalogue or an INI file over and over, as the windows do, until it is
// killed: the fault-injection tests kill it at chosen moments and then look at what it left.
//
//   varolin_faultchild save|apply|delete|import|ini FOLDER
//
// It prints "ready" once it has started changing things.
#include "interchange/ColumnMapping.h"
#include "interchange/CsvReader.h"
#include "interchange/Importer.h"
#include "shared/IniFile.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/Recordset.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDir>

namespace {

void ready()
{
    std::puts("ready");
    std::fflush(stdout);
}

// Each pass writes one generation into every field of every recording, a recording at a time,
// as the editor's OK does.
void save(Database& db)
{
    const auto rs = db.openRecordset(QStringLiteral("Recording"));
    rs->setIndex(QStringLiteral("PrimaryKey"));
    ready();
    for (int generation = 1;; ++generation) {
        for (qint64 id = 1; id <= 50; ++id) {
            rs->seek(QStringLiteral("="), id);
            rs->edit();
            for (const char* field :
                 {"Artist", "Title", "Year", "Label", "Catalogue_No", "International_Catalogue_No", "Notes"})
                rs->setField(QLatin1String(field), QStringLiteral("generation %1 ").arg(generation).repeated(40));
            rs->update();
        }
    }
}

// The format editor's Apply: the whole table rewritten in one transaction, two lists in turn.
void apply(Database& db)
{
    ready();
    for (int pass = 0;; ++pass) {
        const int count = pass % 2 == 0 ? 30 : 60;
        db.beginTrans();
        db.execute(Catalogue::deleteFormatsStatement());
        const auto rs = db.openRecordset(QStringLiteral("Format"));
        for (int i = 1; i <= count; ++i) {
            rs->addNew();
            rs->setField(QStringLiteral("ID"), i);
            rs->setField(QStringLiteral("Description"), QStringLiteral("List of %1, format %2").arg(count).arg(i));
            rs->update();
        }
        db.commitTrans();
    }
}

void remove(Database& db)
{
    ready();
    for (qint64 id = 1;; ++id)
        db.execute(Catalogue::deleteRecordingStatement(id));
}

void import(Database& db, const QString& folder)
{
    const CsvReader source = CsvReader::fromFile(folder + QStringLiteral("/import.csv"));
    Importer importer(db, source, ColumnMapping::match(source.columns()));
    ready();
    importer.run();
    std::puts("done");
    std::fflush(stdout);
}

// Settings saved over and over: every key's value changes together, in one replacement.
void ini(const QString& folder)
{
    ready();
    for (int generation = 1;; ++generation) {
        QList<IniFile::Entry> entries;
        for (int key = 1; key <= 40; ++key)
            entries.append(
                {QStringLiteral("HotKeys"), QString::number(key), QStringLiteral("g%1").arg(generation).repeated(20)});
        IniFile::write(folder + QStringLiteral("/varolin.ini"), entries);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString scenario = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (scenario == QLatin1String("ini")) {
        ini(folder);
        return 0;
    }
    const auto db = Database::open(folder + QStringLiteral("/varolin.mdb"));
    if (scenario == QLatin1String("save"))
        save(*db);
    else if (scenario == QLatin1String("apply"))
        apply(*db);
    else if (scenario == QLatin1String("delete"))
        remove(*db);
    else if (scenario == QLatin1String("import"))
        import(*db, folder);
    return 0;
}
