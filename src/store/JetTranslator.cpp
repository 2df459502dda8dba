#include "store/JetTranslator.h"

#include "store/EngineError.h"
#include "store/JetDate.h"
#include "store/JetFunctions.h"
#include "store/JetLexer.h"
#include "store/Statement.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>

namespace {

const char* const kKeywords[] = {
    "SELECT",      "FROM", "WHERE", "ORDER",  "GROUP", "HAVING", "BY",   "AND",   "OR",   "NOT",    "LIKE",  "BETWEEN",
    "IN",          "IS",   "AS",    "ASC",    "DESC",  "ON",     "JOIN", "INNER", "LEFT", "RIGHT",  "OUTER", "DISTINCT",
    "DISTINCTROW", "ALL",  "TOP",   "DELETE", "MOD",   "UNION",  "XOR",  "EQV",   "IMP",  "EXISTS", "NULL"};

QString quoteName(const QString& name)
{
    return Statement::quoted(name);
}

QString quoteText(const QString& text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

// Deeper nesting than this is refused: the translation recurses once per level, and SQLite's own
// parser gives up a little over twice as deep.
const int kMaxNesting = 40;

// An expression's SQL, and whether it is one of SQLite's truth values (1 or 0). The dialect's True
// is -1: a truth becomes -1 or 0 wherever it is taken as a value, and stays as it is where it is only
// tested (WHERE, ON, HAVING, And, Or, Not), so that the tests keep SQLite's use of the primary key.
struct Expr
{
    QString sql;
    bool truth = false;
};

QString value(const Expr& e)
{
    return e.truth ? QStringLiteral("(-") + e.sql + QLatin1Char(')') : e.sql;
}

// A left-nested chain such as "f(f(a, b), c)", built in one pass: each step's opening goes in
// front of all the steps before it, so a long run of operators costs its length, not its square.
class Chain
{
public:
    explicit Chain(QString first) : m_first(std::move(first)) {}

    void add(const QString& opening, const QString& rest)
    {
        m_openings.append(opening);
        m_rest += rest;
    }
    bool isEmpty() const { return m_openings.isEmpty(); }
    QString text() const
    {
        QString sql;
        for (auto it = m_openings.crbegin(); it != m_openings.crend(); ++it)
            sql += *it;
        return sql + m_first + m_rest;
    }

private:
    QString m_first;
    QStringList m_openings;
    QString m_rest;
};

class Parser
{
public:
    explicit Parser(const QString& sql) : m_sql(sql), m_tokens(JetLexer::tokenize(sql)) {}

    JetTranslator::Result statement();

private:
    const JetToken& peek(int ahead = 0) const
    {
        return m_tokens.at(qMin<qsizetype>(m_at + ahead, m_tokens.size() - 1));
    }
    JetToken take() { return m_tokens.at(qMin<qsizetype>(m_at++, m_tokens.size() - 1)); }
    bool acceptWord(const char* word);
    bool acceptSymbol(const char* symbol);
    void expectWord(const char* word);
    void expectSymbol(const char* symbol);
    [[noreturn]] void fail(const QString& what) const;
    bool isKeyword(const JetToken& token) const;

    QString select();
    QString deleteStatement();
    QString selectList();
    QString fromList();
    QString joinSource();
    QString tablePrimary();
    QString orderList();
    QStringList expressionItems();
    QString expressionList();

    // One level of nesting more for the life of the object.
    class Nesting
    {
    public:
        explicit Nesting(Parser& parser) : m_parser(parser), m_depth(parser.m_depth) { parser.deeper(); }
        ~Nesting() { m_parser.m_depth = m_depth; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& m_parser;
        int m_depth;
    };
    void deeper();

    Expr expression();
    Expr orLevel();
    Expr andLevel();
    Expr notLevel();
    Expr comparison();
    Expr concatenation();
    Expr additive();
    Expr modulo();
    Expr integerDivision();
    Expr multiplicative();
    Expr unary();
    Expr power();
    Expr primary();
    QString nameChain(const QString& first);
    QString functionCall(const JetToken& name);
    QString dateLiteral(const JetToken& token) const;

    QString m_sql;
    QList<JetToken> m_tokens;
    qsizetype m_at = 0;
    int m_depth = 0;
};

bool Parser::acceptWord(const char* word)
{
    if (!peek().isWord(word))
        return false;
    ++m_at;
    return true;
}

bool Parser::acceptSymbol(const char* symbol)
{
    if (!peek().isSymbol(symbol))
        return false;
    ++m_at;
    return true;
}

void Parser::expectWord(const char* word)
{
    if (!acceptWord(word))
        fail(QStringLiteral("%1 expected").arg(QLatin1String(word)));
}

void Parser::expectSymbol(const char* symbol)
{
    if (!acceptSymbol(symbol))
        fail(QStringLiteral("'%1' expected").arg(QLatin1String(symbol)));
}

void Parser::fail(const QString& what) const
{
    const JetToken& token = peek();
    const QString near = token.type == JetToken::End ? QStringLiteral("at the end of the statement")
                                                     : QStringLiteral("at '%1'").arg(m_sql.mid(token.pos, 30));
    throw EngineError(EngineError::Kind::Syntax, QStringLiteral("Syntax error (%1 %2) in: %3").arg(what, near, m_sql));
}

void Parser::deeper()
{
    if (++m_depth > kMaxNesting)
        fail(QStringLiteral("nested more than %1 deep").arg(kMaxNesting));
}

bool Parser::isKeyword(const JetToken& token) const
{
    if (token.type != JetToken::Word)
        return false;
    for (const char* keyword : kKeywords) {
        if (token.isWord(keyword))
            return true;
    }
    return false;
}

JetTranslator::Result Parser::statement()
{
    JetTranslator::Result result;
    if (peek().isWord("SELECT")) {
        result.sql = select();
        result.isSelect = true;
    } else if (peek().isWord("DELETE")) {
        result.sql = deleteStatement();
    } else {
        fail(QStringLiteral("a SELECT or DELETE statement expected"));
    }
    acceptSymbol(";");
    if (peek().type != JetToken::End)
        throw EngineError(EngineError::Kind::Syntax,
                          QStringLiteral("Characters found after end of SQL statement: %1").arg(m_sql.mid(peek().pos)));
    return result;
}

QString Parser::select()
{
    const Nesting nesting(*this);
    expectWord("SELECT");
    QString sql = QStringLiteral("SELECT ");
    if (acceptWord("DISTINCT"))
        sql += QStringLiteral("DISTINCT ");
    else if (!acceptWord("DISTINCTROW"))
        acceptWord("ALL");
    QString limit;
    if (acceptWord("TOP")) {
        if (peek().type != JetToken::Number)
            fail(QStringLiteral("a number expected after TOP"));
        limit = QStringLiteral(" LIMIT ") + take().text;
        if (peek().isWord("PERCENT"))
            fail(QStringLiteral("TOP ... PERCENT is not supported"));
    }
    sql += selectList();
    expectWord("FROM");
    sql += QStringLiteral(" FROM ") + fromList();
    if (acceptWord("WHERE"))
        sql += QStringLiteral(" WHERE ") + expression().sql;
    if (acceptWord("GROUP")) {
        expectWord("BY");
        sql += QStringLiteral(" GROUP BY ") + expressionList();
    }
    if (acceptWord("HAVING"))
        sql += QStringLiteral(" HAVING ") + expression().sql;
    if (acceptWord("ORDER")) {
        expectWord("BY");
        sql += QStringLiteral(" ORDER BY ") + orderList();
    }
    return sql + limit;
}

QString Parser::deleteStatement()
{
    expectWord("DELETE");
    // Jet accepts "DELETE * FROM t" and "DELETE t.* FROM t"; the target adds nothing for one table.
    while (!peek().isWord("FROM") && peek().type != JetToken::End)
        take();
    expectWord("FROM");
    QString sql = QStringLiteral("DELETE FROM ") + tablePrimary();
    if (acceptWord("WHERE"))
        sql += QStringLiteral(" WHERE ") + expression().sql;
    return sql;
}

QString Parser::selectList()
{
    QStringList items;
    do {
        if (acceptSymbol("*")) {
            items << QStringLiteral("*");
            continue;
        }
        QString item = value(expression());
        if (acceptWord("AS")) {
            const JetToken alias = take();
            if (alias.type != JetToken::Word && alias.type != JetToken::Name)
                fail(QStringLiteral("a name expected after AS"));
            item += QStringLiteral(" AS ") + quoteName(alias.text);
        }
        items << item;
    } while (acceptSymbol(","));
    return items.join(QStringLiteral(", "));
}

QString Parser::fromList()
{
    QStringList sources;
    do {
        sources << joinSource();
    } while (acceptSymbol(","));
    return sources.join(QStringLiteral(", "));
}

QString Parser::joinSource()
{
    QString sql = tablePrimary();
    for (;;) {
        QString join;
        if (acceptWord("INNER")) {
            join = QStringLiteral(" INNER JOIN ");
        } else if (acceptWord("LEFT")) {
            acceptWord("OUTER");
            join = QStringLiteral(" LEFT JOIN ");
        } else if (acceptWord("RIGHT")) {
            acceptWord("OUTER");
            join = QStringLiteral(" RIGHT JOIN ");
        } else if (peek().isWord("JOIN")) {
            join = QStringLiteral(" INNER JOIN ");
        } else {
            return sql;
        }
        expectWord("JOIN");
        sql += join + tablePrimary();
        expectWord("ON");
        sql += QStringLiteral(" ON ") + expression().sql;
    }
}

QString Parser::tablePrimary()
{
    const Nesting nesting(*this);
    QString sql;
    if (acceptSymbol("(")) {
        sql = peek().isWord("SELECT") ? QLatin1Char('(') + select() + QLatin1Char(')')
                                      : QLatin1Char('(') + joinSource() + QLatin1Char(')');
        expectSymbol(")");
    } else {
        const JetToken name = take();
        if (!(name.type == JetToken::Name || (name.type == JetToken::Word && !isKeyword(name))))
            fail(QStringLiteral("a table name expected"));
        sql = quoteName(name.text);
    }
    const bool hasAs = acceptWord("AS");
    if (peek().type == JetToken::Name || (peek().type == JetToken::Word && !isKeyword(peek())))
        sql += QStringLiteral(" AS ") + quoteName(take().text);
    else if (hasAs)
        fail(QStringLiteral("a name expected after AS"));
    return sql;
}

QString Parser::orderList()
{
    // Every ordering compares text without regard to case, whatever the expression.
    QStringList items;
    do {
        QString item = value(expression()) + QStringLiteral(" COLLATE NOCASE");
        if (acceptWord("DESC"))
            item += QStringLiteral(" DESC");
        else
            acceptWord("ASC");
        items << item;
    } while (acceptSymbol(","));
    return items.join(QStringLiteral(", "));
}

QStringList Parser::expressionItems()
{
    QStringList items;
    do {
        items << value(expression());
    } while (acceptSymbol(","));
    return items;
}

QString Parser::expressionList()
{
    return expressionItems().join(QStringLiteral(", "));
}

Expr Parser::expression()
{
    const Nesting nesting(*this);
    return orLevel();
}

Expr Parser::orLevel()
{
    const Expr first = andLevel();
    Chain chain(first.sql);
    for (;;) {
        if (acceptWord("OR"))
            chain.add(QStringLiteral("("), QStringLiteral(" OR ") + andLevel().sql + QLatin1Char(')'));
        else if (acceptWord("XOR"))
            chain.add(QStringLiteral("((("),
                      QStringLiteral(") <> 0) <> ((") + andLevel().sql + QStringLiteral(") <> 0))"));
        else
            return chain.isEmpty() ? first : Expr{chain.text(), true};
    }
}

Expr Parser::andLevel()
{
    const Expr first = notLevel();
    Chain chain(first.sql);
    while (acceptWord("AND"))
        chain.add(QStringLiteral("("), QStringLiteral(" AND ") + notLevel().sql + QLatin1Char(')'));
    return chain.isEmpty() ? first : Expr{chain.text(), true};
}

Expr Parser::notLevel()
{
    // A run of Nots is counted rather than recursed into; each is a level of nesting all the same.
    const int depth = m_depth;
    int nots = 0;
    while (acceptWord("NOT")) {
        ++nots;
        deeper();
    }
    const Expr operand = comparison();
    m_depth = depth;
    if (nots == 0)
        return operand;
    return {QStringLiteral("(NOT ").repeated(nots) + operand.sql + QString(nots, QLatin1Char(')')), true};
}

Expr Parser::comparison()
{
    const Expr first = concatenation();
    Chain chain(first.sql);
    bool truth = first.truth;
    // Each step compares the value of all before it, which is -1 or 0 once it is a truth itself.
    auto step = [&](const QString& rest) {
        chain.add(truth ? QStringLiteral("((-") : QStringLiteral("("),
                  (truth ? QStringLiteral(")") : QString()) + rest);
        truth = true;
    };
    for (;;) {
        const JetToken& token = peek();
        if (token.type == JetToken::Symbol &&
            (token.text == QLatin1String("=") || token.text == QLatin1String("<>") ||
             token.text == QLatin1String("<") || token.text == QLatin1String(">") ||
             token.text == QLatin1String("<=") || token.text == QLatin1String(">="))) {
            const QString op = take().text;
            step(QStringLiteral(" COLLATE NOCASE %1 %2)").arg(op, value(concatenation())));
            continue;
        }
        if (acceptWord("IS")) {
            const bool negated = acceptWord("NOT");
            expectWord("NULL");
            step(negated ? QStringLiteral(" IS NOT NULL)") : QStringLiteral(" IS NULL)"));
            continue;
        }
        const bool negated =
            token.isWord("NOT") && (peek(1).isWord("LIKE") || peek(1).isWord("BETWEEN") || peek(1).isWord("IN"));
        if (negated)
            take();
        const QString notText = negated ? QStringLiteral("NOT ") : QString();
        if (acceptWord("LIKE")) {
            step(QStringLiteral(" %1LIKE %2)").arg(notText, value(concatenation())));
        } else if (acceptWord("BETWEEN")) {
            const QString low = value(concatenation());
            expectWord("AND");
            step(QStringLiteral(" COLLATE NOCASE %1BETWEEN %2 AND %3)").arg(notText, low, value(concatenation())));
        } else if (acceptWord("IN")) {
            expectSymbol("(");
            const QString list = peek().isWord("SELECT") ? select() : expressionList();
            expectSymbol(")");
            step(QStringLiteral(" COLLATE NOCASE %1IN (%2))").arg(notText, list));
        } else {
            return chain.isEmpty() ? first : Expr{chain.text(), true};
        }
    }
}

Expr Parser::concatenation()
{
    const Expr first = additive();
    Chain chain(value(first));
    while (acceptSymbol("&"))
        chain.add(QStringLiteral("jet_concat("), QStringLiteral(", ") + value(additive()) + QLatin1Char(')'));
    return chain.isEmpty() ? first : Expr{chain.text()};
}

Expr Parser::additive()
{
    const Expr first = modulo();
    Chain chain(value(first));
    for (;;) {
        if (acceptSymbol("+"))
            chain.add(QStringLiteral("jet_add("), QStringLiteral(", ") + value(modulo()) + QLatin1Char(')'));
        else if (acceptSymbol("-"))
            chain.add(QStringLiteral("("), QStringLiteral(" - ") + value(modulo()) + QLatin1Char(')'));
        else
            return chain.isEmpty() ? first : Expr{chain.text()};
    }
}

Expr Parser::modulo()
{
    const Expr first = integerDivision();
    Chain chain(value(first));
    while (acceptWord("MOD"))
        chain.add(QStringLiteral("jet_mod("), QStringLiteral(", ") + value(integerDivision()) + QLatin1Char(')'));
    return chain.isEmpty() ? first : Expr{chain.text()};
}

Expr Parser::integerDivision()
{
    const Expr first = multiplicative();
    Chain chain(value(first));
    while (acceptSymbol("\\"))
        chain.add(QStringLiteral("jet_intdiv("), QStringLiteral(", ") + value(multiplicative()) + QLatin1Char(')'));
    return chain.isEmpty() ? first : Expr{chain.text()};
}

Expr Parser::multiplicative()
{
    const Expr first = unary();
    Chain chain(value(first));
    for (;;) {
        if (acceptSymbol("*"))
            chain.add(QStringLiteral("("), QStringLiteral(" * ") + value(unary()) + QLatin1Char(')'));
        else if (acceptSymbol("/"))
            chain.add(QStringLiteral("(CAST("), QStringLiteral(" AS REAL) / ") + value(unary()) + QLatin1Char(')'));
        else
            return chain.isEmpty() ? first : Expr{chain.text()};
    }
}

Expr Parser::unary()
{
    // Signs are counted like Nots: a long run of them must not run the stack out.
    const int depth = m_depth;
    int minuses = 0;
    for (;;) {
        if (acceptSymbol("-")) {
            ++minuses;
            deeper();
        } else if (!acceptSymbol("+")) {
            break;
        }
    }
    const Expr operand = power();
    m_depth = depth;
    if (minuses == 0)
        return operand;
    return {QStringLiteral("(- ").repeated(minuses) + value(operand) + QString(minuses, QLatin1Char(')'))};
}

Expr Parser::power()
{
    const Expr first = primary();
    Chain chain(value(first));
    while (acceptSymbol("^")) {
        QString right;
        if (acceptSymbol("-"))
            right = QStringLiteral("(- ") + value(primary()) + QLatin1Char(')');
        else
            right = value(primary());
        chain.add(QStringLiteral("jet_pow("), QStringLiteral(", ") + right + QLatin1Char(')'));
    }
    return chain.isEmpty() ? first : Expr{chain.text()};
}

Expr Parser::primary()
{
    const JetToken token = peek();
    switch (token.type) {
    case JetToken::Number:
        take();
        return {token.text};
    case JetToken::String:
        take();
        return {quoteText(token.text)};
    case JetToken::Date:
        take();
        return {quoteText(dateLiteral(token))};
    case JetToken::Name:
        take();
        return {nameChain(token.text)};
    case JetToken::Symbol:
        if (acceptSymbol("(")) {
            Expr inner = peek().isWord("SELECT") ? Expr{select()} : expression();
            expectSymbol(")");
            inner.sql = QLatin1Char('(') + inner.sql + QLatin1Char(')');
            return inner;
        }
        break;
    case JetToken::Word:
        if (acceptWord("TRUE"))
            return {QStringLiteral("-1")};
        if (acceptWord("FALSE"))
            return {QStringLiteral("0")};
        if (acceptWord("NULL"))
            return {QStringLiteral("NULL")};
        if (acceptWord("EXISTS")) {
            expectSymbol("(");
            const QString query = select();
            expectSymbol(")");
            return {QStringLiteral("(EXISTS (%1))").arg(query), true};
        }
        // Left and Right are join words too; followed by "(" they are Jet's functions.
        if (isKeyword(token) && !((token.isWord("LEFT") || token.isWord("RIGHT")) && peek(1).isSymbol("(")))
            break;
        take();
        if (peek().isSymbol("("))
            return {functionCall(token)};
        return {nameChain(token.text)};
    case JetToken::End:
        break;
    }
    fail(QStringLiteral("an expression expected"));
}

QString Parser::nameChain(const QString& first)
{
    QString sql = quoteName(first);
    while (peek().isSymbol(".") || peek().isSymbol("!")) {
        take();
        if (acceptSymbol("*"))
            return sql + QStringLiteral(".*");
        const JetToken part = take();
        if (part.type != JetToken::Word && part.type != JetToken::Name)
            fail(QStringLiteral("a field name expected"));
        sql += QLatin1Char('.') + quoteName(part.text);
    }
    return sql;
}

QString Parser::functionCall(const JetToken& name)
{
    expectSymbol("(");
    QStringList args;
    bool distinct = false;
    if (acceptSymbol("*")) {
        args << QStringLiteral("*");
    } else if (!peek().isSymbol(")")) {
        distinct = acceptWord("DISTINCT");
        args = expressionItems();
    }
    expectSymbol(")");

    const JetFunctions::Info* function = JetFunctions::find(name.text);
    if (!function)
        throw EngineError(EngineError::Kind::Syntax,
                          QStringLiteral("Undefined function '%1' in expression: %2").arg(name.text, m_sql));
    const bool starMisused = args == QStringList{QStringLiteral("*")} && qstrcmp(function->sqlName, "count") != 0;
    if (args.size() < function->minArgs || args.size() > function->maxArgs || starMisused ||
        (distinct && !function->aggregate))
        throw EngineError(
            EngineError::Kind::Syntax,
            QStringLiteral("Wrong number of arguments used with function '%1' in: %2").arg(name.text, m_sql));
    return QLatin1String(function->sqlName) + QLatin1Char('(') + (distinct ? QStringLiteral("DISTINCT ") : QString()) +
           args.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString Parser::dateLiteral(const JetToken& token) const
{
    // A date literal is a date as every reader of dates takes it, with an optional time, or a time alone.
    static const QRegularExpression timeOnly(QStringLiteral(R"(^\s*(\d{1,2}):(\d{2})(?::(\d{2}))?\s*(AM|PM)?\s*$)"),
                                             QRegularExpression::CaseInsensitiveOption);

    auto badDate = [&]() {
        throw EngineError(EngineError::Kind::Syntax,
                          QStringLiteral("Syntax error in date '#%1#' in: %2").arg(token.text, m_sql));
    };
    auto readTime = [&](const QString& text) -> QString {
        const QRegularExpressionMatch m = timeOnly.match(text);
        if (!m.hasMatch())
            badDate();
        int hour = m.captured(1).toInt();
        const QString half = m.captured(4).toUpper();
        if (!half.isEmpty() && (hour < 1 || hour > 12))
            badDate();
        if (half == QLatin1String("PM") && hour != 12)
            hour += 12;
        else if (half == QLatin1String("AM") && hour == 12)
            hour = 0;
        const QTime time(hour, m.captured(2).toInt(), m.captured(3).toInt());
        if (!time.isValid())
            badDate();
        return time.toString(QStringLiteral("HH:mm:ss"));
    };

    QString rest;
    const QDate date = JetDate::read(token.text, &rest);
    if (!date.isValid()) // a time of day alone, or else no date
        return readTime(token.text);
    const QString dateText = date.toString(QStringLiteral("yyyy-MM-dd"));
    return rest.isEmpty() ? dateText : dateText + QLatin1Char(' ') + readTime(rest);
}

} // namespace

JetTranslator::Result JetTranslator::translate(const QString& jetSql)
{
    Parser parser(jetSql);
    return parser.statement();
}
