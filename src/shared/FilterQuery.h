#pragma once

#include <array>
#include <QList>
#include <QString>
#include <QStringView>

// What the user types into the filter box, read into terms: words that must each appear in some
// cell of a row, a "quoted phrase" as one piece, field:word for one column (artist, title, year,
// format, label, cat, notes, or a heading of the grid), year:1970..1979 for a range, and -term to
// exclude. Everything is compared folded (TextFolding). What cannot be read (a quote left open,
// year:abc, a field with nothing after it) marks the query as faulty, and the rest still filters.
class FilterQuery
{
public:
    static constexpr int kColumns = 8;

    struct Term
    {
        QString text;    // folded
        int column = -1; // -1: any cell
        bool exclude = false;
        bool range = false; // years from..to, both included
        qint64 from = 0;
        qint64 to = 0;
    };

    // The folded cells of one row.
    using Row = std::array<QStringView, kColumns>;

    static FilterQuery parse(const QString& typed);

    bool isEmpty() const { return m_terms.isEmpty(); }
    // Everything typed could be read.
    bool isWellFormed() const { return m_wellFormed; }

    bool matches(const Row& row) const;

    // The column a field name stands for (folded, without spaces or punctuation), or -1.
    static int columnNamed(QStringView name);

private:
    void addTerm(QString field, QString value, bool exclude, bool quoted);

    QList<Term> m_terms;
    bool m_wellFormed = true;
};
