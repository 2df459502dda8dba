#include "store/JetLexer.h"

#include "store/EngineError.h"

bool JetToken::isWord(const char* word) const
{
    return type == Word && text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool JetToken::isSymbol(const char* symbol) const
{
    return type == Symbol && text == QLatin1String(symbol);
}

namespace {

[[noreturn]] void fail(const QString& message)
{
    throw EngineError(EngineError::Kind::Syntax, message);
}

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A quoted string: the quote doubled inside stands for itself.
qsizetype readQuoted(const QString& sql, qsizetype i, QString* value)
{
    const QChar quote = sql.at(i);
    for (qsizetype j = i + 1; j < sql.size(); ++j) {
        if (sql.at(j) != quote) {
            value->append(sql.at(j));
        } else if (j + 1 < sql.size() && sql.at(j + 1) == quote) {
            value->append(quote);
            ++j;
        } else {
            return j + 1;
        }
    }
    fail(QStringLiteral("Syntax error: the text starting at %1 has no closing quote (%2).")
             .arg(sql.mid(i, 20), QString(quote)));
}

qsizetype readUntil(const QString& sql, qsizetype i, QChar close, const char* what, QString* value)
{
    const qsizetype end = sql.indexOf(close, i + 1);
    if (end < 0)
        fail(QStringLiteral("Syntax error: the %1 starting at '%2' has no closing '%3'.")
                 .arg(QLatin1String(what), sql.mid(i, 20), QString(close)));
    *value = sql.mid(i + 1, end - i - 1);
    return end + 1;
}

qsizetype readNumber(const QString& sql, qsizetype i)
{
    while (i < sql.size() && isDigit(sql.at(i)))
        ++i;
    if (i < sql.size() && sql.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < sql.size() && isDigit(sql.at(i)))
            ++i;
    }
    if (i < sql.size() && (sql.at(i) == QLatin1Char('e') || sql.at(i) == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < sql.size() && (sql.at(j) == QLatin1Char('+') || sql.at(j) == QLatin1Char('-')))
            ++j;
        if (j < sql.size() && isDigit(sql.at(j))) {
            i = j;
            while (i < sql.size() && isDigit(sql.at(i)))
                ++i;
        }
    }
    return i;
}

} // namespace

QList<JetToken> JetLexer::tokenize(const QString& sql)
{
    static const QString twoCharSymbols[] = {QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>")};
    static const QString oneCharSymbols = QStringLiteral("=<>+-*/\\^&(),.;!");

    QList<JetToken> tokens;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (QStringView(sql).mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                fail(QStringLiteral("Syntax error: the comment starting at '%1' has no closing '*/'.")
                         .arg(sql.mid(i, 20)));
            i = end + 2;
            continue;
        }
        JetToken token;
        token.pos = i;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            token.type = JetToken::String;
            i = readQuoted(sql, i, &token.text);
        } else if (c == QLatin1Char('[')) {
            token.type = JetToken::Name;
            i = readUntil(sql, i, QLatin1Char(']'), "name", &token.text);
        } else if (c == QLatin1Char('#')) {
            token.type = JetToken::Date;
            i = readUntil(sql, i, QLatin1Char('#'), "date", &token.text);
        } else if (isDigit(c) || (c == QLatin1Char('.') && i + 1 < sql.size() && isDigit(sql.at(i + 1)))) {
            token.type = JetToken::Number;
            const qsizetype end = readNumber(sql, i);
            token.text = sql.mid(i, end - i);
            i = end;
        } else if (isWordStart(c)) {
            token.type = JetToken::Word;
            qsizetype end = i;
            while (end < sql.size() && isWordPart(sql.at(end)))
                ++end;
            token.text = sql.mid(i, end - i);
            i = end;
        } else {
            token.type = JetToken::Symbol;
            for (const QString& two : twoCharSymbols) {
                if (QStringView(sql).mid(i, 2) == two)
                    token.text = two;
            }
            if (token.text.isEmpty() && oneCharSymbols.contains(c))
                token.text = c;
            if (token.text.isEmpty())
                fail(
                    QStringLiteral("Syntax error: unexpected character '%1' in '%2'.").arg(QString(c), sql.mid(i, 20)));
            i += token.text.size();
        }
        tokens.append(token);
    }
    JetToken end;
    end.pos = sql.size();
    tokens.append(end);
    return tokens;
}
