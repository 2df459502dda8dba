#pragma once

#include <QString>

class Database;
class QAbstractItemModel;

// Writes recordings to a CSV file: UTF-8 with a byte-order mark, CR LF, the field names as the
// header in the grid's order of the columns (which the import reads back), Format as its
// description.
class Exporter
{
public:
    // Writes the recordings a display statement (Catalogue::displayStatement) finds, in its order,
    // and returns how many. The file is replaced whole or not at all: throws InterchangeError
    // when it cannot be written, EngineError when the statement cannot be run.
    // settingsFile is the varolin.ini in use, which no export may replace.
    static int exportStatement(Database& db, const QString& jetSql, const QString& path,
                               const QString& settingsFile = QString());
    // Writes the recordings a view shows of the display (DisplayModel, through any filter or sort),
    // in the order shown, and returns how many; the same file as exportStatement writes.
    static int exportShown(const QAbstractItemModel& shown, const QString& path, const QString& catalogue,
                           const QString& settingsFile);
    // Why no export may be written to the path, or the empty string: a folder, pipe or device, the
    // catalogue or one of its companion files, the settings file, the running program, or an
    // existing file that is not text (a program, a database).
    static QString targetRefusal(const QString& path, const QString& catalogue, const QString& settingsFile);
};
