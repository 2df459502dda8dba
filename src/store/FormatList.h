#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class Database;

// The Format table held in memory while the user edits it: kept in the list's sorted order, changed
// by add, amend and remove, and written back whole by apply. One object serves the whole run, so an
// ID handed out is never handed out again even if the entry is dropped. Every refusal and failure is
// returned as the text to show the user; an empty text means it went through.
class FormatList
{
public:
    struct Format
    {
        qint64 id = 0;
        QVariant description; // as the table holds it: another tool may have left it Null or blank

        bool isBlank() const;
        // The description, or the empty string for a blank one.
        QString text() const;
    };

    // What an add or amend did: the index the entry now has, or -1 when nothing changed.
    struct Change
    {
        int index = -1;
        QString refusal;
    };

    // Far beyond any format's name: longer text was pasted by mistake, and no list could show it.
    static constexpr int kMaxDescription = 255;
    // A description as typed or read, its control characters (a line break, a tab) made spaces and
    // the blanks around it taken away.
    static QString tidied(const QString& typed);

    // Reads the table in the engine's order; on failure the list is left empty.
    QString load(Database* catalogue);

    int count() const { return static_cast<int>(m_aFormats.size()); }
    const Format& at(int i) const { return m_aFormats.at(i); }
    // Something was added, amended or removed since the last load.
    bool changed() const { return m_bChanged; }

    // Why no format can be added at all; asked before the user types one.
    QString newRefusal() const;
    // The typed text is cleaned first; one that is empty then changes nothing and refuses nothing.
    Change add(const QString& typed);
    Change amend(int index, const QString& typed);
    // Why the entry may not go: recordings use it, or that could not be checked.
    QString deleteRefusal(Database& catalogue, int index) const;
    // The index to select after removing, or -1 when the list is empty.
    int remove(int index);

    // What an apply did: wrote the list, found the table changed by another program since the load
    // (and wrote nothing), or failed with the text to show.
    struct Applied
    {
        bool changedElsewhere = false;
        QString failure;
        bool written() const { return !changedElsewhere && failure.isEmpty(); }
    };
    enum class Overwrite { No, Yes };
    // Rewrites the table in one transaction; on failure it is rolled back and the list kept. A table
    // another program changed since the load is written over only when told to.
    Applied apply(Database& catalogue, Overwrite overwrite = Overwrite::No) const;

private:
    using Rows = QList<std::pair<QVariant, QVariant>>; // ID, Description, as the table holds them
    static Rows readRows(Database& catalogue);
    int insertSorted(const Format& format);
    QString check(QString* typed, int amended) const;
    void refuseFormatsTakenIntoUse(Database& catalogue) const;

    QList<Format> m_aFormats;
    Rows m_aLoaded;      // the table as the last load read it
    qint64 m_iMaxID = 0; // only grows, for the whole run
    bool m_bChanged = false;
};
