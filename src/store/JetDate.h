#pragma once

#include <QDate>
#include <QString>

// Dates as Jet reads them, the same for a #date# literal, a text handed to Year, Month or Day, and
// a date kept in an Access file.
class JetDate
{
public:
    // A date written month/day/year (always in that order) or year-month-day, ending the text or
    // followed by white space and *rest (trimmed). A year of one or two digits is 2000 to 2029 below
    // 30 and 1930 to 1999 from 30; one of five digits or more is no date. Invalid when the text
    // does not start with a date or names no day of the calendar.
    static QDate read(const QString& text, QString* rest = nullptr);

    // The day of a day number: its whole part counts days from 30 December 1899, back for a negative one,
    // and its fraction, always forward, the time of day, given in *seconds when asked for. Invalid
    // for a number beyond the years 100 to 9999 or no number at all.
    static QDate fromDayNumber(double days, int* seconds = nullptr);
};
