#pragma once

#include <QList>
#include <QString>

struct JetToken
{
    enum Type { End, Word, Name, String, Date, Number, Symbol };
    Type type = End;
    QString text; // a word or symbol as written, a name or string without its quotes, a date without #
    qsizetype pos = 0;

    bool isWord(const char* word) const;
    bool isSymbol(const char* symbol) const;
};

// Splits a statement in the Jet dialect into tokens: words, [names], 'strings' and "strings",
// #dates#, numbers and operators; /* comments */ count as white space. Throws EngineError for what
// it cannot read.
class JetLexer
{
public:
    static QList<JetToken> tokenize(const QString& sql);
};
