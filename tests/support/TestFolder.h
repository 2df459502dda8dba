#pragma once

#include <functional>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

class Database;

// A fresh program folder for one test: varolin.ini and the catalogue live here.
class TestFolder
{
public:
    struct Recording
    {
        QString artist;
        QString title;
        QString year;
        int format = 9;
        QString label;
        QString catalogueNo;
        QString notes;
        QString internationalNo;
    };

    TestFolder();

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes) const;
    QByteArray readFile(const QString& name) const;
    // Writes varolin.ini from lines joined with "\n".
    void writeIni(const QString& text) const { writeFile(QStringLiteral("varolin.ini"), text.toUtf8()); }

    // Creates an empty catalogue, by default varolin.mdb of this folder, and returns its path.
    QString createCatalogue(const QString& name = QStringLiteral("varolin.mdb")) const;
    // Adds recordings through the store and returns the ID of the last one added.
    static int addRecordings(const QString& catalogue, const QList<Recording>& recordings);
    // Runs SQLite statements on the catalogue as another program would, past the store.
    static void execute(const QString& catalogue, const QString& sql);
    // One value read the same way.
    static QVariant query(const QString& catalogue, const QString& sql);

    // Runs f where file permissions hold: as root, under an unprivileged user id, with this folder
    // open to it, since root may open anything. False, without running f, when root cannot give up
    // its privilege here.
    bool withoutPrivilege(const std::function<void()>& f) const;

    // The text of the E that f throws, or "(nothing thrown)".
    template <typename E, typename F>
    static QString thrown(F f)
    {
        try {
            f();
        } catch (const E& e) {
            return QString::fromUtf8(e.what());
        }
        return QStringLiteral("(nothing thrown)");
    }

private:
    QTemporaryDir m_dir;
};

// Failures show texts as texts.
#include <ostream>
#include <QStringList>
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{' << list.join(QStringLiteral("\", \"")).prepend('"').append('"').toStdString() << '}';
}
