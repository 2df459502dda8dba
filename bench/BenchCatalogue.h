#pragma once

#include <QString>

struct sqlite3;

// Catalogues for the benchmarks: generated once per size and process, with artists, labels and
// formats repeating as in a real collection.
namespace BenchCatalogue {

// A program folder holding varolin.ini ("All" as the default Selection) and a catalogue of
// `recordings` recordings.
QString folder(int recordings);

// The display statement every benchmark reads.
QString displayStatement();

// Reads every row of the statement with plain sqlite3_step, touching each column: the floor that
// the store and the window are measured beside. Returns the number of rows.
int plainRead(sqlite3* db, const QString& sqliteSql);

// The same read as a plain program makes at its start: it opens the catalogue afresh (with the
// dialect's order and functions the statement needs), reads, and closes it again.
int plainReadAtStart(const QString& catalogue, const QString& sqliteSql);

// The process's peak resident memory in MiB.
double peakMemoryMiB();

} // namespace BenchCatalogue
