#include "store/JetText.h"

template <typename Visit>
void JetText::scan(QStringView text, Visit visit)
{
    Place place;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Returning false stops the walk at the character, in its place.
        if (!visit(i, place))
            return;
        const QChar c = text.at(i);
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        switch (place.context) {
        case Context::Code:
            if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                place.context = Context::String;
                place.quote = c;
            } else if (c == QLatin1Char('[')) {
                place.context = Context::Name;
            } else if (c == QLatin1Char('#')) {
                place.context = Context::Date;
            } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                place.context = Context::Comment;
                ++i;
            } else if (c == QLatin1Char('(')) {
                ++place.depth;
            } else if (c == QLatin1Char(')')) {
                place.depth = qMax(0, place.depth - 1);
            }
            break;
        case Context::String:
            if (c == place.quote) {
                if (next == place.quote)
                    ++i; // a doubled quote stands for itself
                else
                    place = {Context::Code, QChar(), place.depth};
            }
            break;
        case Context::Name:
            if (c == QLatin1Char(']'))
                place.context = Context::Code;
            break;
        case Context::Date:
            if (c == QLatin1Char('#'))
                place.context = Context::Code;
            break;
        case Context::Comment:
            if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
                place.context = Context::Code;
                ++i;
            }
            break;
        }
    }
    visit(text.size(), place);
}

JetText::Place JetText::placeAt(QStringView text, qsizetype pos)
{
    Place found;
    scan(text, [&](qsizetype i, const Place& place) {
        if (i < pos)
            return true;
        found = place;
        return false;
    });
    return found;
}

QList<qsizetype> JetText::topLevelCommas(QStringView text)
{
    QList<qsizetype> commas;
    scan(text, [&](qsizetype i, const Place& place) {
        if (i < text.size() && place.context == Context::Code && place.depth == 0 && text.at(i) == QLatin1Char(','))
            commas.append(i);
        return true;
    });
    return commas;
}

QString JetText::placeAnswer(const QString& text, qsizetype pos, QString answer)
{
    const Place place = placeAt(text, pos);
    if (place.context == Context::String)
        answer.replace(place.quote, QString(2, place.quote));
    return text.left(pos) + answer + text.mid(pos + 2);
}
