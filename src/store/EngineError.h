#pragma once

#include <exception>
#include <QString>
#include <string>

struct sqlite3;

// The one exception the store throws: a failure of the database engine, with a description fit to
// show the user as it stands.
class EngineError : public std::exception
{
public:
    enum class Kind {
        General,
        FileNotFound,
        PermissionDenied,
        NotACatalogue,
        Damaged,
        JetFile,
        Locked,
        ReadOnly,
        DiskFull,
        Syntax,
        Interrupted // stopped by the one who asked for it
    };

    EngineError(Kind kind, const QString& description);

    // The engine's last error on db, described for the user; context says what was being done.
    static EngineError fromSqlite(sqlite3* db, int resultCode, const QString& context = QString());

    // What to do about a damaged catalogue, to follow its description.
    static QString damagedAdvice();

    Kind kind() const { return m_kind; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    Kind m_kind;
    QString m_description;
    std::string m_what;
};
