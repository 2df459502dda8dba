#include "shared/FilterQuery.h"

#include "shared/TextFolding.h"

#include <QRegularExpression>

namespace {

const int kYear = 2;

// A whole number of the text, or false.
bool number(QStringView text, qint64* value)
{
    bool ok = false;
    *value = text.trimmed().toLongLong(&ok);
    return ok;
}

bool inRange(QStringView cell, qint64 from, qint64 to)
{
    qint64 year = 0;
    return number(cell, &year) && year >= from && year <= to;
}

} // namespace

int FilterQuery::columnNamed(QStringView name)
{
    // The short names, then the grid's headings as typed without their spaces and dots.
    static const struct
    {
        const char* name;
        int column;
    } kNames[] = {
        {"artist", 0},
        {"title", 1},
        {"year", 2},
        {"format", 3},
        {"label", 4},
        {"cat", 5},
        {"catalogueno", 5},
        {"catalogue", 5},
        {"notes", 6},
        {"note", 6},
        {"internationalcatalogueno", 7},
        {"intcat", 7},
    };
    QString key;
    for (const QChar c : TextFolding::fold(name)) {
        if (c.isLetterOrNumber())
            key += c;
    }
    for (const auto& n : kNames) {
        if (key == QLatin1String(n.name))
            return n.column;
    }
    return -1;
}

FilterQuery FilterQuery::parse(const QString& typed)
{
    FilterQuery query;
    const qsizetype n = typed.size();
    qsizetype i = 0;
    while (i < n) {
        if (typed.at(i).isSpace()) {
            ++i;
            continue;
        }
        bool exclude = false;
        if (typed.at(i) == QLatin1Char('-') && i + 1 < n && !typed.at(i + 1).isSpace()) {
            exclude = true;
            ++i;
        }
        // A field's name ends at a colon before any quote or space.
        QString field;
        qsizetype j = i;
        while (j < n && !typed.at(j).isSpace() && typed.at(j) != QLatin1Char('"') && typed.at(j) != QLatin1Char(':'))
            ++j;
        if (j < n && typed.at(j) == QLatin1Char(':') && columnNamed(QStringView(typed).mid(i, j - i)) >= 0) {
            field = typed.mid(i, j - i);
            i = j + 1;
        }
        QString value;
        bool quoted = false;
        if (i < n && typed.at(i) == QLatin1Char('"')) {
            quoted = true;
            const qsizetype close = typed.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) {
                query.m_wellFormed = false; // read to the end
                value = typed.mid(i + 1);
                i = n;
            } else {
                value = typed.mid(i + 1, close - i - 1);
                i = close + 1;
            }
        } else {
            const qsizetype start = i;
            while (i < n && !typed.at(i).isSpace())
                ++i;
            value = typed.mid(start, i - start);
        }
        query.addTerm(field, value, exclude, quoted);
    }
    return query;
}

void FilterQuery::addTerm(QString field, QString value, bool exclude, bool quoted)
{
    Term term;
    term.exclude = exclude;
    term.column = field.isEmpty() ? -1 : columnNamed(field);
    if (value.trimmed().isEmpty()) {
        // "artist:" or "" with nothing to look for.
        if (!field.isEmpty() || quoted)
            m_wellFormed = false;
        return;
    }
    if (term.column == kYear && !quoted) {
        static const QRegularExpression range(QStringLiteral("^(\\d{1,9})\\.\\.(\\d{1,9})$"));
        const QRegularExpressionMatch m = range.match(value);
        qint64 year = 0;
        if (m.hasMatch()) {
            term.range = true;
            term.from = m.captured(1).toLongLong();
            term.to = m.captured(2).toLongLong();
        } else if (!number(value, &year)) {
            m_wellFormed = false; // year:abc
            return;
        }
    }
    term.text = TextFolding::fold(value);
    m_terms.append(term);
}

bool FilterQuery::matches(const Row& row) const
{
    for (const Term& term : m_terms) {
        bool found = false;
        if (term.range) {
            found = inRange(row[term.column], term.from, term.to);
        } else if (term.column >= 0) {
            found = row[term.column].contains(term.text);
        } else {
            for (const QStringView cell : row) {
                if (cell.contains(term.text)) {
                    found = true;
                    break;
                }
            }
        }
        if (found == term.exclude)
            return false;
    }
    return true;
}
