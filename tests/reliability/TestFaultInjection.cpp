// A real process changing the catalogue or varolin.ini is killed at a spread of moments; whatever
// it was doing, the files it leaves are whole: the catalogue passes its integrity check and holds
// each change whole or not at all, and varolin.ini is the old file or the new one.
#include "store/Database.h"
#include "support/TestFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <sqlite3.h>

namespace {

const int kKills = 6;

// Starts the child on the folder, waits until it is changing things, lets it run for the delay
// and kills it. False when it ended by itself first.
bool killDuring(const QString& scenario, const QString& folder, int delayMs)
{
    QProcess child;
    child.start(QStringLiteral(VAROLIN_FAULTCHILD), {scenario, folder});
    EXPECT_TRUE(child.waitForReadyRead(30000)) << scenario.toStdString();
    QThread::msleep(static_cast<unsigned long>(delayMs));
    const bool running = child.state() == QProcess::Running && !child.readAllStandardOutput().contains("done");
    // An ended child has no process left; a kill of 0 would end this whole process group.
    if (const qint64 pid = child.processId(); pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    child.waitForFinished(30000);
    return running;
}

// The engine's own check of the file, past the store and its dialect.
QString integrity(const QString& catalogue)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(catalogue).constData(), &db);
    QString result;
    const auto collect = [](void* result, int, char** values, char**) {
        static_cast<QString*>(result)->append(QString::fromUtf8(values[0]));
        return 0;
    };
    sqlite3_exec(db, "PRAGMA integrity_check", collect, &result, nullptr);
    sqlite3_close(db);
    return result;
}

// Recordings whose every field but Year and Format reads "Artist <ID>".
QString catalogueWith(const TestFolder& folder, int recordings)
{
    const QString catalogue = folder.createCatalogue();
    QList<TestFolder::Recording> list;
    for (int i = 1; i <= recordings; ++i) {
        const QString a = QStringLiteral("Artist %1").arg(i);
        list.append({a, a, "1970", 9, a, a, a, a});
    }
    TestFolder::addRecordings(catalogue, list);
    return catalogue;
}

int count(const QString& catalogue, const QString& where)
{
    return TestFolder::query(catalogue, "SELECT count(*) FROM " + where).toInt();
}

} // namespace

TEST(FaultInjection, ASaveKilledLeavesEachRecordingWhole)
{
    TestFolder folder;
    const QString catalogue = catalogueWith(folder, 50);
    for (int k = 0; k < kKills; ++k) {
        EXPECT_TRUE(killDuring("save", folder.path(), 40 + 53 * k));
        EXPECT_EQ(integrity(catalogue), "ok");
        // Every field of a recording holds the same generation.
        EXPECT_EQ(count(catalogue, "Recording WHERE Artist <> Title OR Artist <> Notes OR Artist <> Label "
                                   "OR Artist <> International_Catalogue_No"),
                  0);
        EXPECT_EQ(count(catalogue, "Recording"), 50);
    }
}

TEST(FaultInjection, AnApplyKilledLeavesOneListOrTheOther)
{
    TestFolder folder;
    const QString catalogue = catalogueWith(folder, 1);
    for (int k = 0; k < kKills; ++k) {
        EXPECT_TRUE(killDuring("apply", folder.path(), 40 + 53 * k));
        EXPECT_EQ(integrity(catalogue), "ok");
        const int formats = count(catalogue, "Format");
        EXPECT_TRUE(formats == 14 || formats == 30 || formats == 60) << formats;
        EXPECT_EQ(count(catalogue, QStringLiteral("Format WHERE Description LIKE 'List of %1,*'").arg(formats)),
                  formats == 14 ? 0 : formats);
    }
}

TEST(FaultInjection, ADeleteKilledLeavesTheRestWhole)
{
    for (int k = 0; k < 3; ++k) {
        TestFolder folder;
        const QString catalogue = catalogueWith(folder, 400);
        EXPECT_TRUE(killDuring("delete", folder.path(), 20 + 30 * k));
        EXPECT_EQ(integrity(catalogue), "ok");
        // What remains is the recordings after the last one deleted, untouched.
        const int left = count(catalogue, "Recording");
        EXPECT_EQ(TestFolder::query(catalogue, "SELECT Min(ID) FROM Recording").toInt(), left ? 401 - left : 0);
        EXPECT_EQ(count(catalogue, "Recording WHERE Artist = 'Artist ' & ID"), left);
    }
}

TEST(FaultInjection, AnImportKilledAddsAllOrNothing)
{
    TestFolder folder;
    const QString catalogue = catalogueWith(folder, 0);
    QByteArray csv = "Artist,Title,Format\n";
    for (int i = 0; i < 20000; ++i)
        csv += QStringLiteral("Artist %1,Title %1,Format %2\n").arg(i).arg(i % 40).toUtf8();
    folder.writeFile("import.csv", csv);
    int killedMidway = 0;
    for (int k = 0; k < kKills; ++k) {
        killedMidway += killDuring("import", folder.path(), 10 + 40 * k);
        EXPECT_EQ(integrity(catalogue), "ok");
        const int recordings = count(catalogue, "Recording");
        const int formats = count(catalogue, "Format");
        EXPECT_TRUE((recordings == 0 && formats == 14) || (recordings == 20000 && formats == 54))
            << recordings << " recordings, " << formats << " formats";
        TestFolder::execute(catalogue, "DELETE FROM Recording; DELETE FROM Format WHERE ID > 14");
    }
    EXPECT_GT(killedMidway, 0) << "no kill fell inside an import";
}

TEST(FaultInjection, AnIniWriteKilledLeavesTheOldFileOrTheNew)
{
    TestFolder folder;
    folder.writeIni("[SQL]\n1=All\n");
    const QRegularExpression whole(QStringLiteral("^\\[SQL\\]\n1=All\n(\n?\\[HotKeys\\]\n(\\d+=(g\\d+)+\n){40})?$"));
    for (int k = 0; k < kKills; ++k) {
        EXPECT_TRUE(killDuring("ini", folder.path(), 30 + 47 * k));
        const QString text = QString::fromUtf8(folder.readFile("varolin.ini")).replace("\r\n", "\n");
        EXPECT_TRUE(whole.match(text).hasMatch()) << text.left(300).toStdString();
        QSet<QString> generations;
        for (const auto& m : QRegularExpression("g(\\d+)").globalMatch(text))
            generations.insert(m.captured(1));
        EXPECT_LE(generations.size(), 1) << "one generation throughout";
    }
}
