#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The catalogue's tables, its stored query and every statement the program sends.
class Catalogue
{
public:
    // The display: the Selection's condition and ordering over Expanded_Recording; no ordering means
    // by artist and year.
    static QString displayStatement(const QString& where, const QString& order);
    static QString deleteRecordingStatement(qint64 id);
    static QString formatListStatement();
    static QString formatUseCountStatement(qint64 formatId);
    static QString deleteFormatsStatement();
    // The highest format ID recordings refer to, as "MaxFormat".
    static QString highestFormatInUseStatement();
    // The number of recordings, as "Count", whose format is in the table but not among the IDs.
    static QString recordingsOfFormatsOtherThanStatement(const QList<qint64>& formatIds);
    // The number of recordings, as "Count", whose format is one of the IDs.
    static QString recordingsOfFormatsStatement(const QList<qint64>& formatIds);

    // The formats a new catalogue starts with, in ID order from 1.
    static QStringList starterFormats();

    // Creates a new, empty catalogue at path; an existing file is never touched. Throws EngineError.
    static void create(const QString& path);
};
