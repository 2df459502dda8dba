#pragma once

#include <QString>
#include <QStringList>

// How an entry of section "SQL" divides, kept apart from the window so it can be tried alone.
class SelectionEntry
{
public:
    // The pieces of an entry: the name up to the first comma, then the condition and the ordering
    // items, each ending at a comma that stands outside quotes, [names], #dates#, comments and
    // parentheses, so that "Initial,UCase(Left(Artist,1)) = 'N',Artist" has a condition of its own.
    static QStringList pieces(const QString& sEntry);
};
