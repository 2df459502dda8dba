#include "store/JetDate.h"

#include <cmath>
#include <QRegularExpression>

namespace {

// Jet's calendar runs from the year 100 to 9999; a little beyond it no day number casts to a day.
constexpr double kMaxDayNumber = 3.0e6;

// The day that day number 0 stands for.
const QDate kEpoch(1899, 12, 30);

} // namespace

QDate JetDate::read(const QString& text, QString* rest)
{
    static const QRegularExpression usDate(QStringLiteral(R"(^\s*(\d{1,2})/(\d{1,2})/(\d{1,4})(?:\s+(.*))?$)"),
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression isoDate(QStringLiteral(R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:\s+(.*))?$)"),
                                            QRegularExpression::DotMatchesEverythingOption);
    int year = 0;
    int month = 0;
    int day = 0;
    QRegularExpressionMatch m = usDate.match(text);
    if (m.hasMatch()) {
        month = m.capturedView(1).toInt();
        day = m.capturedView(2).toInt();
        year = m.capturedView(3).toInt();
        if (m.capturedView(3).size() <= 2)
            year += year < 30 ? 2000 : 1900;
    } else if (m = isoDate.match(text); m.hasMatch()) {
        year = m.capturedView(1).toInt();
        month = m.capturedView(2).toInt();
        day = m.capturedView(3).toInt();
    } else {
        return QDate();
    }
    if (rest)
        *rest = m.captured(4).trimmed();
    return QDate(year, month, day);
}

QDate JetDate::fromDayNumber(double days, int* seconds)
{
    if (!(std::fabs(days) <= kMaxDayNumber)) // also NaN: casting it would be undefined
        return QDate();
    const double whole = std::trunc(days);
    if (seconds)
        *seconds = static_cast<int>(std::lround(std::fabs(days - whole) * 86400.0)) % 86400;
    return kEpoch.addDays(static_cast<qint64>(whole));
}
