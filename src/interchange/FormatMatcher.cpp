#include "interchange/FormatMatcher.h"

#include <QRegularExpression>

FormatMatcher::FormatMatcher(const QStringList& descriptions)
{
    for (const QString& description : descriptions) {
        const QString folded = description.trimmed().toCaseFolded();
        if (!folded.isEmpty() && !m_byFolded.contains(folded))
            m_byFolded.insert(folded, description.trimmed());
    }
}

QString FormatMatcher::find(const QString& text) const
{
    return m_byFolded.value(text.trimmed().toCaseFolded());
}

QStringList FormatMatcher::details(const QString& text)
{
    // A part that is only a quantity ("2x") names no format.
    static const QRegularExpression quantity(QStringLiteral(R"(^\d+\s*[x×]\s*)"),
                                             QRegularExpression::CaseInsensitiveOption);
    QStringList parts;
    for (const QString& part : text.split(QLatin1Char(','))) {
        QString detail = part.trimmed();
        detail.remove(quantity);
        if (!detail.isEmpty())
            parts.append(detail);
    }
    return parts;
}

QString FormatMatcher::matchDetails(const QString& text) const
{
    if (const QString whole = find(text); !whole.isEmpty())
        return whole;
    const QStringList parts = details(text);
    for (qsizetype i = parts.size() - 1; i >= 0; --i) {
        for (qsizetype j = 0; j < i; ++j) {
            if (const QString joined = find(parts.at(j) + QLatin1Char(' ') + parts.at(i)); !joined.isEmpty())
                return joined;
        }
        if (const QString alone = find(parts.at(i)); !alone.isEmpty())
            return alone;
    }
    return parts.value(0);
}
