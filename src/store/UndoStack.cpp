#include "store/UndoStack.h"

#include "store/EngineError.h"

namespace {

const QString kRecording = QStringLiteral("Recording");

// The step's first recording, and its image on the side asked for.
const RowChanges::Row* FirstRecording(const RowChanges& changes)
{
    const RowChanges::Table* table = changes.table(kRecording);
    return table && !table->rows.isEmpty() ? &table->rows.first() : nullptr;
}

QString RecordingName(const RowChanges& changes, bool after)
{
    const RowChanges::Row* row = FirstRecording(changes);
    if (!row)
        return QString();
    const QString name = RowChanges::rowName(*changes.table(kRecording), after ? row->after : row->before, row->rowid);
    return name.startsWith(QLatin1Char('"')) ? name : QStringLiteral("the Recording ") + name;
}

} // namespace

void UndoStack::record(Kind kind, RowChanges changes)
{
    if (!changes.changesAnything())
        return;
    const QString name = nameOf(kind, changes);
    changes.keepDigestsAfter();
    qsizetype rows = 0;
    for (const RowChanges::Table& table : changes.tables)
        rows += table.rows.size();
    for (const Step& undone : std::as_const(m_undone))
        m_rows -= undone.rows;
    m_undone.clear();
    m_done.append({name, std::move(changes), rows});
    m_rows += rows;
    while (m_done.size() > kMaxSteps || (m_rows > kMaxRows && m_done.size() > 1)) {
        m_rows -= m_done.first().rows;
        m_done.removeFirst();
    }
}

void UndoStack::clear()
{
    m_done.clear();
    m_undone.clear();
    m_rows = 0;
}

QString UndoStack::nameOf(Kind kind, const RowChanges& changes)
{
    switch (kind) {
    case Kind::Delete:
        return QStringLiteral("Delete of ") + RecordingName(changes, false);
    case Kind::Amend:
        return QStringLiteral("Amend of ") + RecordingName(changes, true);
    case Kind::New:
        return QStringLiteral("New Recording ") + RecordingName(changes, true);
    case Kind::Import: {
        qsizetype added = 0;
        if (const RowChanges::Table* table = changes.table(kRecording)) {
            for (const RowChanges::Row& row : table->rows)
                added += row.before.isEmpty() && !row.after.isEmpty();
        }
        return QStringLiteral("Import of %1 Recording%2").arg(added).arg(added == 1 ? "" : "s");
    }
    case Kind::FormatsApply:
        break;
    }
    return QStringLiteral("Formats Apply");
}

QString UndoStack::undoName() const
{
    return m_done.isEmpty() ? QString() : m_done.last().name;
}

QString UndoStack::redoName() const
{
    return m_undone.isEmpty() ? QString() : m_undone.last().name;
}

UndoStack::Outcome UndoStack::undo(Database& catalogue)
{
    return move(catalogue, m_done, m_undone, RowChanges::Direction::Back);
}

UndoStack::Outcome UndoStack::redo(Database& catalogue)
{
    return move(catalogue, m_undone, m_done, RowChanges::Direction::Forward);
}

UndoStack::Outcome UndoStack::move(Database& catalogue, QList<Step>& from, QList<Step>& to,
                                   RowChanges::Direction direction)
{
    const QString verb = direction == RowChanges::Direction::Back ? QStringLiteral("Undo") : QStringLiteral("Redo");
    if (from.isEmpty())
        return {QStringLiteral("There is nothing to %1.").arg(verb.toLower())};
    Step& step = from.last();
    try {
        if (const QString why = step.changes.turn(catalogue, direction); !why.isEmpty())
            return {
                QStringLiteral("%1 %2 is not possible: %3\r\n\r\nNothing has been changed.").arg(verb, step.name, why)};
    } catch (const EngineError& e) {
        return {QStringLiteral("%1 %2 could not be done; nothing has been changed:\r\n\r\n%3")
                    .arg(verb, step.name, e.description())};
    }
    Outcome done;
    if (const RowChanges::Row* row = FirstRecording(step.changes))
        done.recording = row->rowid;
    to.append(std::move(step));
    from.removeLast();
    return done;
}
