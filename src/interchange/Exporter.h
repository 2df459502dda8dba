#pragma once

#include <QString>

class Database;

// Writes recordings to a CSV file: UTF-8 with a byte-order mark, CR LF, the field names as the
// header, Format as its description.
class Exporter
{
public:
    // Writes the recordings a display statement (Catalogue::displayStatement) finds, in its order,
    // and returns how many. The file is replaced whole or not at all: throws InterchangeError
    // when it cannot be written, EngineError when the statement cannot be run.
    static int exportStatement(Database& db, const QString& jetSql, const QString& path);
};
