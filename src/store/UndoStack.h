#pragma once

#include "store/RowChanges.h"

#include <QList>
#include <QString>

class Database;

// The changes this program made to the catalogue in this run, to be taken back one by one, newest
// first, and made again. A step another program has reached since (it changed, deleted or added
// one of the step's rows) is refused, and both the catalogue and the history stay as they were.
// The history keeps the newest kMaxSteps steps, and of large imports no more than kMaxRows rows
// in all (some 20 MB each 131,072), the newest step always.
class UndoStack
{
public:
    enum class Kind { Delete, Amend, New, Import, FormatsApply };
    static constexpr int kMaxSteps = 100;
    static constexpr qsizetype kMaxRows = 1000000;

    // Adds what a command changed as the newest step, which ends what could be redone. A command
    // that changed nothing adds no step.
    void record(Kind kind, RowChanges changes);
    void clear();

    // What Undo and Redo would do ("Delete of "Artist – Title""); empty when there is nothing.
    QString undoName() const;
    QString redoName() const;

    struct Outcome
    {
        QString refusal;      // why nothing was done, to show; empty when it was done
        qint64 recording = 0; // a recording the step reached, for the display to stand on
    };
    Outcome undo(Database& catalogue);
    Outcome redo(Database& catalogue);

private:
    struct Step
    {
        QString name;
        RowChanges changes;
        qsizetype rows = 0;
    };
    Outcome move(Database& catalogue, QList<Step>& from, QList<Step>& to, RowChanges::Direction direction);
    static QString nameOf(Kind kind, const RowChanges& changes);

    QList<Step> m_done;   // oldest first
    QList<Step> m_undone; // the last undone last
    qsizetype m_rows = 0; // of all the steps
};
