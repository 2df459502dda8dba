#pragma once

#include <QHash>
#include <QList>
#include <QString>

class Database;

// Recordings that may be the same release as one about to be saved: their Artist and Title alike
// once case, accents, spaces, punctuation and a leading "The" are set aside. A check is a lookup
// in keys made from the catalogue once; they are made again only when the catalogue changed by
// other means than the saves remembered here (another program, an import, a Delete).
class DuplicateFinder
{
public:
    struct Match
    {
        qint64 id = 0;
        QString artist;
        QString title;
        QString format;
        QString catalogueNo;
        bool operator==(const Match&) const = default;
    };

    // The key two recordings share when they are alike; empty when Artist and Title say nothing.
    static QString key(const QString& artist, const QString& title);

    // The recordings other than `except` alike with the Artist and Title. Throws EngineError.
    QList<Match> find(Database& catalogue, const QString& artist, const QString& title, qint64 except = 0);
    // A recording this program has just saved, so that no new reading of the catalogue is needed.
    void remember(Database& catalogue, qint64 id, const QString& artist, const QString& title);

private:
    bool current(Database& catalogue) const;
    void build(Database& catalogue);
    void setKey(qint64 id, const QString& key);
    void markCurrent(Database& catalogue);

    const Database* m_catalogue = nullptr;
    qint64 m_dataVersion = -1;
    qint64 m_totalChanges = -1;
    QHash<QString, QList<qint64>> m_idsOf;
    QHash<qint64, QString> m_keyOf;
};
