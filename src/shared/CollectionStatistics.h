#pragma once

#include <QList>
#include <QMap>
#include <QString>

class Database;
class QAbstractItemModel;

// A collection at a glance: how many recordings, artists, labels and formats it holds, the years
// it spans, and how its recordings fall by format, decade, year, artist and label. Names are told
// apart as the catalogue sorts them, without case; an empty or unknown value counts under "(none)".
class CollectionStatistics
{
public:
    // One bar of a chart: what it stands for and how many recordings.
    struct Bar
    {
        QString name;
        int count = 0;
        bool operator==(const Bar&) const = default;
    };
    static constexpr int kTop = 20;

    // The recordings a view shows of the display (DisplayModel), through any filter.
    static CollectionStatistics ofShown(const QAbstractItemModel& shown);
    // Every recording of the catalogue. Throws EngineError.
    static CollectionStatistics ofCatalogue(Database& db);

    static QString none();

    int recordings() const { return m_recordings; }
    int artists() const { return m_artists; }
    int labels() const { return m_labels; }
    int formats() const { return m_formats; }
    // The first and last year a recording has; 0 when none has one.
    int firstYear() const { return m_byYear.isEmpty() ? 0 : m_byYear.firstKey(); }
    int lastYear() const { return m_byYear.isEmpty() ? 0 : m_byYear.lastKey(); }

    // Most recordings first, then by name.
    const QList<Bar>& byFormat() const { return m_byFormat; }
    const QList<Bar>& topArtists() const { return m_topArtists; }
    const QList<Bar>& topLabels() const { return m_topLabels; }
    // "1970s" and on, in time order, then "(none)" for the recordings without a year.
    QList<Bar> byDecade() const;
    // The decades that have recordings (1970 for the 1970s), in time order.
    QList<int> decades() const;
    // Each year of a decade, those without recordings included.
    QList<Bar> byYearIn(int decade) const;

private:
    class NameCount;
    class Tally;
    friend class Tally;

    int m_recordings = 0;
    int m_artists = 0;
    int m_labels = 0;
    int m_formats = 0;
    int m_withoutYear = 0;
    QMap<int, int> m_byYear;
    QList<Bar> m_byFormat;
    QList<Bar> m_topArtists;
    QList<Bar> m_topLabels;
};
