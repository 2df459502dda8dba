#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Where a position of a text in the Jet dialect stands, read as the dialect's lexer reads it:
// in plain code, or inside a 'string' or "string" (a doubled quote stays inside), a [name], a
// #date# or a /* comment */. Used where a text must be cut or filled in before it is parsed.
class JetText
{
public:
    enum class Context { Code, String, Name, Date, Comment };

    struct Place
    {
        Context context = Context::Code;
        QChar quote;   // the quote of the string, inside one
        int depth = 0; // parentheses open in code
    };

    // The place of the character at pos (pos = size() gives the place after the last character).
    static Place placeAt(QStringView text, qsizetype pos);
    // The commas that stand in code, outside every parenthesis.
    static QList<qsizetype> topLevelCommas(QStringView text);
    // The text with the two characters of a "??" at pos replaced by a user's answer. Inside a
    // quoted string a quote of the answer is doubled, so O'Brien finds O'Brien instead of breaking
    // the statement; elsewhere the answer stands as typed.
    static QString placeAnswer(const QString& text, qsizetype pos, QString answer);

private:
    template <typename Visit>
    static void scan(QStringView text, Visit visit);
};
