#include "shared/SelectionCondition.h"

#include <QRegularExpression>

namespace {

using Test = SelectionCondition::Test;

const QString kAsk = QStringLiteral("??");

// A literal of the dialect; in a Like pattern the wildcards stand for themselves.
QString literal(const QString& value, bool pattern)
{
    QString text = value;
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    if (pattern) {
        QString escaped;
        for (const QChar c : text) {
            if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('['))
                escaped += QLatin1Char('[') + c + QLatin1Char(']');
            else
                escaped += c;
        }
        text = escaped;
    }
    return text;
}

QString unliteral(const QString& text, bool pattern)
{
    QString value = text;
    value.replace(QLatin1String("''"), QLatin1String("'"));
    if (pattern)
        value.replace(QRegularExpression(QStringLiteral("\\[([*?#\\[])\\]")), QStringLiteral("\\1"));
    return value;
}

QString rowText(const SelectionCondition::Row& row)
{
    // The fields' names are plain words, written as the Selections of the starter file write them.
    const QString& field = row.field;
    const auto value = [&](const QString& v, bool pattern) { return row.ask ? kAsk : literal(v, pattern); };
    switch (row.test) {
    case Test::Contains:
        return QStringLiteral("%1 Like '*%2*'").arg(field, value(row.value, true));
    case Test::Is:
        return QStringLiteral("%1 = '%2'").arg(field, value(row.value, false));
    case Test::StartsWith:
        return QStringLiteral("%1 Like '%2*'").arg(field, value(row.value, true));
    case Test::EndsWith:
        return QStringLiteral("%1 Like '*%2'").arg(field, value(row.value, true));
    case Test::Between:
        return QStringLiteral("%1 Between '%2' And '%3'").arg(field, value(row.value, false), value(row.value2, false));
    case Test::IsEmpty:
        return QStringLiteral("(%1 Is Null Or %1 = '')").arg(field);
    case Test::IsNotEmpty:
        return QStringLiteral("(%1 Is Not Null And %1 <> '')").arg(field);
    }
    return QString();
}

// The pieces of a condition at its top-level " And " or " Or " (outside quotes and parentheses,
// and not the And of a Between), and which of the two joined them; nothing when both do.
std::optional<std::pair<QStringList, bool>> split(const QString& condition)
{
    QStringList pieces;
    std::optional<bool> any;
    int depth = 0;
    bool quoted = false;
    bool between = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < condition.size(); ++i) {
        const QChar c = condition.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (depth == 0 && c == QLatin1Char(' ')) {
            const QStringView rest = QStringView(condition).mid(i);
            if (rest.startsWith(QLatin1String(" Between "))) {
                between = true;
            } else if (rest.startsWith(QLatin1String(" And ")) && between) {
                between = false;
            } else if (rest.startsWith(QLatin1String(" And ")) || rest.startsWith(QLatin1String(" Or "))) {
                const bool isOr = rest.startsWith(QLatin1String(" Or "));
                if (any && *any != isOr)
                    return std::nullopt;
                any = isOr;
                pieces << condition.mid(start, i - start);
                i += isOr ? 3 : 4;
                start = i + 1;
            }
        }
    }
    pieces << condition.mid(start);
    return std::make_pair(pieces, any.value_or(false));
}

std::optional<SelectionCondition::Row> readRow(const QString& text)
{
    static const QString name = QStringLiteral("(%1)").arg(SelectionCondition::fields().join(QLatin1Char('|')));
    static const QString quoted = QStringLiteral("'((?:[^']|'')*)'");
    static const struct
    {
        Test test;
        QRegularExpression pattern;
        bool like;
    } kForms[] = {
        {Test::Contains, QRegularExpression(QStringLiteral("^%1 Like '\\*((?:[^']|'')*)\\*'$").arg(name)), true},
        {Test::StartsWith, QRegularExpression(QStringLiteral("^%1 Like '((?:[^'*]|''|\\[\\*\\])*)\\*'$").arg(name)),
         true},
        {Test::EndsWith, QRegularExpression(QStringLiteral("^%1 Like '\\*((?:[^']|'')*)'$").arg(name)), true},
        {Test::Is, QRegularExpression(QStringLiteral("^%1 = %2$").arg(name, quoted)), false},
        {Test::Between, QRegularExpression(QStringLiteral("^%1 Between %2 And %2$").arg(name, quoted)), false},
        {Test::IsEmpty, QRegularExpression(QStringLiteral("^\\(%1 Is Null Or \\1 = ''\\)$").arg(name)), false},
        {Test::IsNotEmpty, QRegularExpression(QStringLiteral("^\\(%1 Is Not Null And \\1 <> ''\\)$").arg(name)), false},
    };
    for (const auto& form : kForms) {
        const QRegularExpressionMatch m = form.pattern.match(text);
        if (!m.hasMatch())
            continue;
        SelectionCondition::Row row;
        row.field = m.captured(1);
        row.test = form.test;
        const QString first = m.captured(2);
        row.ask = first == kAsk;
        if (!row.ask) {
            row.value = unliteral(first, form.like);
            row.value2 = unliteral(m.captured(3), false);
        } else if (form.test == Test::Between && m.captured(3) != kAsk) {
            return std::nullopt;
        }
        // Only the form this row writes reads back as it.
        if (rowText(row) == text)
            return row;
    }
    return std::nullopt;
}

} // namespace

const QStringList& SelectionCondition::fields()
{
    static const QStringList kFields = {
        "Artist", "Title", "Year", "Format", "Label", "Catalogue_No", "International_Catalogue_No", "Notes"};
    return kFields;
}

QString SelectionCondition::testName(Test test)
{
    static const char* const kNames[] = {"contains", "is",       "starts with", "ends with",
                                         "between",  "is empty", "is not empty"};
    return QLatin1String(kNames[static_cast<int>(test)]);
}

QString SelectionCondition::text() const
{
    QStringList pieces;
    for (const Row& row : rows)
        pieces << rowText(row);
    return pieces.join(any ? QStringLiteral(" Or ") : QStringLiteral(" And "));
}

std::optional<SelectionCondition> SelectionCondition::read(const QString& condition)
{
    SelectionCondition read;
    if (condition.trimmed().isEmpty())
        return read;
    const auto pieces = split(condition);
    if (!pieces)
        return std::nullopt;
    read.any = pieces->second;
    for (const QString& piece : pieces->first) {
        const std::optional<Row> row = readRow(piece);
        if (!row)
            return std::nullopt;
        read.rows << *row;
    }
    // Written again it must be the very text: then nothing is rewritten unasked.
    if (read.text() != condition)
        return std::nullopt;
    return read;
}
