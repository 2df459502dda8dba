#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The Selections of varolin.ini's [SQL] section: "name,condition,order1,...,order8" under keys 1,
// 2, ... up to the first missing one, and "Default" choosing one of them from 1.
class SelectionList
{
public:
    struct Selection
    {
        QString name;
        QString where;
        QString order; // the ordering items joined by ", "
        bool operator==(const Selection&) const = default;
    };

    // The pieces of an entry: the name up to the first comma, then the condition and the ordering
    // items, each ending at a comma that stands outside quotes, [names], #dates#, comments and
    // parentheses, so that "Initial,UCase(Left(Artist,1)) = 'N',Artist" has a condition of its own.
    static QStringList pieces(const QString& entry);
    static Selection fromEntry(const QString& entry);

    // Every Selection of the [SQL] section as the session read it (keys case-folded), and the
    // position of the default one (-1 when "Default" names none of them).
    static QList<Selection> fromSection(const QHash<QString, QString>& section);
    static int defaultIndex(const QHash<QString, QString>& section, int count);

    // The entry a Selection is stored as: "name,condition,order1,order2,...".
    static QString entryOf(const Selection& selection);
    // The ordering items of a Selection, each trimmed.
    static QStringList orderItems(const QString& order);
    // Why the Selection cannot be stored so that it reads back as it is, or the empty string: no
    // name, a comma in the name or one that would cut the condition, a line break, or an entry
    // longer than the 99 characters a value is read to.
    static QString storeRefusal(const Selection& selection);

    // True when the condition asks the user for values ("??").
    static bool asksForValues(const QString& condition);
    // The condition with "~~Year~~" made the current year.
    static QString withCurrentYear(const QString& condition);
    // The statement the display runs for the Selection, its questions answered in `where`; the
    // current year stands for "~~Year~~" in the condition and in the order alike.
    static QString displayStatement(const Selection& selection, const QString& where);
};
