#include "shared/CollectionStatistics.h"

#include "shared/DisplayModel.h"
#include "store/Database.h"
#include "store/Statement.h"

#include <algorithm>
#include <QHash>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

using Bar = CollectionStatistics::Bar;

// Most recordings first; equal counts by name, without case.
bool ranksBefore(const Bar& a, const Bar& b)
{
    if (a.count != b.count)
        return a.count > b.count;
    return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
}

// The year a Year cell holds: digits alone, between outer spaces, from 1 to 9999; else 0.
int yearOf(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty() || text.size() > 4)
        return 0;
    int year = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return 0;
        year = year * 10 + (c - '0');
    }
    return year;
}

std::string_view bytes(QUtf8StringView view)
{
    return {reinterpret_cast<const char*>(view.data()), static_cast<size_t>(view.size())};
}

std::string_view columnText(sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(s, column))) : std::string_view();
}

int displayColumn(QLatin1String field)
{
    for (int c = 0; c < DisplayModel::kColumns; ++c) {
        if (DisplayModel::fieldName(c) == field)
            return c;
    }
    return -1;
}

} // namespace

// The recordings under each name of one field. A spelling met before is found by its bytes alone;
// a new one is folded once to join the names it differs from only by case or by outer spaces. A
// name is shown as most of its recordings spell it.
class CollectionStatistics::NameCount
{
public:
    void add(std::string_view utf8)
    {
        auto it = m_exact.find(utf8);
        if (it == m_exact.end())
            it = m_exact.emplace(std::string(utf8), spellingOf(utf8)).first;
        ++m_spellings[it->second].count;
    }

    // The names, "(none)" not counted.
    int distinct() const { return m_groups - (m_byKey.contains(QString()) ? 1 : 0); }

    QList<Bar> ranked(qsizetype limit = -1) const
    {
        QList<Bar> bars(m_groups);
        QList<int> most(m_groups, 0);
        for (const Spelling& s : m_spellings) {
            Bar& bar = bars[s.group];
            bar.count += s.count;
            if (s.count > most[s.group]) {
                most[s.group] = s.count;
                bar.name = s.name;
            }
        }
        std::stable_sort(bars.begin(), bars.end(), ranksBefore);
        if (limit >= 0 && bars.size() > limit)
            bars.resize(limit);
        return bars;
    }

private:
    struct BytesHash
    {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    struct Spelling
    {
        int group = 0;
        int count = 0;
        QString name;
    };

    int spellingOf(std::string_view utf8)
    {
        const QString name = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).trimmed();
        const QString key = name.toCaseFolded();
        auto found = m_byKey.constFind(key);
        if (found == m_byKey.constEnd())
            found = m_byKey.insert(key, m_groups++);
        m_spellings.append(Spelling{found.value(), 0, name.isEmpty() ? CollectionStatistics::none() : name});
        return static_cast<int>(m_spellings.size()) - 1;
    }

    std::unordered_map<std::string, int, BytesHash, std::equal_to<>> m_exact;
    QHash<QString, int> m_byKey;
    QList<Spelling> m_spellings;
    int m_groups = 0;
};

class CollectionStatistics::Tally
{
public:
    void add(std::string_view artist, std::string_view label, std::string_view format, std::string_view year)
    {
        ++m_recordings;
        m_artists.add(artist);
        m_labels.add(label);
        m_formats.add(format);
        if (const int y = yearOf(year); y > 0)
            ++m_byYear[y];
        else
            ++m_withoutYear;
    }

    CollectionStatistics result() const
    {
        CollectionStatistics s;
        s.m_recordings = m_recordings;
        s.m_artists = m_artists.distinct();
        s.m_labels = m_labels.distinct();
        s.m_formats = m_formats.distinct();
        s.m_withoutYear = m_withoutYear;
        s.m_byYear = m_byYear;
        s.m_byFormat = m_formats.ranked();
        s.m_topArtists = m_artists.ranked(kTop);
        s.m_topLabels = m_labels.ranked(kTop);
        return s;
    }

private:
    int m_recordings = 0;
    int m_withoutYear = 0;
    NameCount m_artists;
    NameCount m_labels;
    NameCount m_formats;
    QMap<int, int> m_byYear;
};

CollectionStatistics CollectionStatistics::ofShown(const QAbstractItemModel& shown)
{
    Tally tally;
    const DisplayModel* display = DisplayModel::behind(&shown);
    if (!display || !display->hasRecordings())
        return tally.result();
    static const int artist = displayColumn(QLatin1String("Artist"));
    static const int label = displayColumn(QLatin1String("Label"));
    static const int format = displayColumn(QLatin1String("Format"));
    static const int year = displayColumn(QLatin1String("Year"));
    const DisplayModel::Rows& rows = display->rows();
    QByteArray scratch[4];
    for (const int r : DisplayModel::shownRows(shown)) {
        tally.add(bytes(rows.cell(r, artist, scratch[0])), bytes(rows.cell(r, label, scratch[1])),
                  bytes(rows.cell(r, format, scratch[2])), bytes(rows.cell(r, year, scratch[3])));
    }
    return tally.result();
}

CollectionStatistics CollectionStatistics::ofCatalogue(Database& db)
{
    Tally tally;
    Statement statement(db.handle(), QStringLiteral("SELECT Artist, Label, Format, Year FROM Expanded_Recording"));
    sqlite3_stmt* s = statement.handle();
    while (statement.step())
        tally.add(columnText(s, 0), columnText(s, 1), columnText(s, 2), columnText(s, 3));
    return tally.result();
}

QString CollectionStatistics::none()
{
    return QStringLiteral("(none)");
}

QList<CollectionStatistics::Bar> CollectionStatistics::byDecade() const
{
    QList<Bar> bars;
    for (const int decade : decades()) {
        int count = 0;
        for (auto it = m_byYear.lowerBound(decade); it != m_byYear.end() && it.key() < decade + 10; ++it)
            count += it.value();
        bars.append(Bar{QStringLiteral("%1s").arg(decade), count});
    }
    if (m_withoutYear > 0)
        bars.append(Bar{none(), m_withoutYear});
    return bars;
}

QList<int> CollectionStatistics::decades() const
{
    QList<int> list;
    for (auto it = m_byYear.cbegin(); it != m_byYear.cend(); ++it) {
        const int decade = it.key() - it.key() % 10;
        if (list.isEmpty() || list.last() != decade)
            list.append(decade);
    }
    return list;
}

QList<CollectionStatistics::Bar> CollectionStatistics::byYearIn(int decade) const
{
    QList<Bar> bars;
    for (int year = decade; year < decade + 10; ++year)
        bars.append(Bar{QString::number(year), m_byYear.value(year)});
    return bars;
}
