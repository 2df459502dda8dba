#pragma once

#include <QString>

// Turns one statement of the Jet dialect (SELECT or DELETE) into SQLite's dialect: "&" joins texts,
// "strings" become 'strings', [names] and #dates# are read, True and False are -1 and 0, Jet's
// functions are mapped to the catalogue connection's own, and text compares without regard to case.
// Throws EngineError for a statement it cannot read, or for anything after the statement but ";".
class JetTranslator
{
public:
    struct Result
    {
        QString sql;
        bool isSelect = false;
    };

    static Result translate(const QString& jetSql);
};
