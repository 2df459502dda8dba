#pragma once

#include <functional>
#include <QString>
#include <QStringList>

// What the command line asks of the catalogue without opening the window: bring a file in
// (--import, --table, --map, --map-format, --notes-extra) or write a Selection out (--export, --selection).
struct InterchangeRequest
{
    QString importFile;
    QString table;           // the table of an Access database to import
    QString map;             // SOURCE=Field,... overriding the matched columns
    QStringList mapFormats;  // SOURCE=FORMAT, each choosing what a format of the file becomes
    bool notesExtra = false; // the columns that fill no field go to Notes
    QString exportFile;
    int selection = 0; // counts the Selections from 1; 0 is the default Selection
    // Asked while statements run; false stops the work with nothing written (Ctrl+C).
    std::function<bool()> keepGoing;
};

// Runs the request on the catalogue the program would open: the "Database" entry of iniFile, or
// defaultCatalogue without one. Writes its summary to standard output and its errors to standard
// error; returns the process's exit status (0 on success, 130 when stopped by keepGoing).
int RunInterchangeCommand(const InterchangeRequest& request, const QString& iniFile, const QString& defaultCatalogue);

// Whether an export to the path writes pages (a PDF file) rather than CSV.
bool isPdfFile(const QString& path);
