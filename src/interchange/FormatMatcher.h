#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Which of the catalogue's formats a format named in a file becomes. The online database's
// collection export lists a release's format with its details, "2xVinyl, LP, Album": the most
// specific detail the catalogue has a format for is the one a collector filed it under.
class FormatMatcher
{
public:
    FormatMatcher() = default;
    explicit FormatMatcher(const QStringList& descriptions);

    // The catalogue's description that the text names whole, without regard to case; empty for none.
    QString find(const QString& text) const;
    // A collection export's format: its parts tried from the last to the first, each after any
    // earlier part joined to it ("Vinyl, 12\", Single" is 12" Single when the catalogue has it, else
    // Single), a detail the catalogue has no format for passed over. When none matches, the first
    // part, without its quantity ("2xVinyl" is Vinyl), is the new format.
    QString matchDetails(const QString& text) const;
    // The text's comma-separated parts, trimmed, each without a quantity "2x"; empty ones left out.
    static QStringList details(const QString& text);

private:
    QHash<QString, QString> m_byFolded; // case-folded description -> description
};
