#include "interchange/DisplayPages.h"
#include "interchange/PdfExport.h"
#include "shared/DisplayModel.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace {

// The text of a PDF file as a reader takes it out, a page a form feed.
QString pdfText(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000))
        return QString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

TEST(DisplayPages, EveryPageIsHeadedAndNumberedAndNoCellIsCut)
{
    const QString longNote = QStringLiteral("Gatefold sleeve with a booklet of lyrics; ").repeated(12) +
                             QStringLiteral("the last words of a long note.");
    const QString endlessNote =
        QStringLiteral("line\n").repeated(150) + QStringLiteral("the end of a note taller than a page");
    const struct
    {
        int rows;
        QString note; // of the middle row
        QString filter;
        int minPages;
        int maxPages;
    } cases[] = {
        {0, {}, {}, 1, 1},
        {1, longNote, QStringLiteral("artist:can"), 1, 1},
        {120, longNote, {}, 3, 6},
        {3, endlessNote, {}, 2, 4},
    };
    for (const auto& c : cases) {
        TestFolder folder;
        const QString path = folder.createCatalogue();
        QList<TestFolder::Recording> recordings;
        for (int i = 0; i < c.rows; ++i)
            recordings.append({QStringLiteral("Artist %1").arg(i, 4, 10, QLatin1Char('0')), "Title", "1972", 1, "Label",
                               "CAT", i == c.rows / 2 ? c.note : QString()});
        if (!recordings.isEmpty())
            TestFolder::addRecordings(path, recordings);
        const auto db = Database::open(path);
        DisplayModel display;
        display.setRecordings(db->openSnapshot(Catalogue::displayStatement(QString(), QStringLiteral("Artist"))));
        DisplayPages::Heading heading;
        heading.selection = QStringLiteral("All Recordings");
        heading.filter = c.filter;
        DisplayPages pages(display, DisplayPages::defaultColumns(), heading);
        const QString pdf = folder.file("out.pdf");
        ASSERT_TRUE(PdfExport::write(pages, pdf, PdfExport::defaultLayout()));

        const QString text = pdfText(pdf);
        const QStringList sheets = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        const int m = pages.pageCount();
        EXPECT_GE(m, c.minPages) << c.rows;
        EXPECT_LE(m, c.maxPages) << c.rows;
        ASSERT_EQ(sheets.size(), m) << text.toStdString();
        for (int p = 0; p < m; ++p) {
            EXPECT_TRUE(sheets[p].contains(QStringLiteral("page %1 of %2").arg(p + 1).arg(m))) << p;
            EXPECT_TRUE(sheets[p].contains(QStringLiteral("All Recordings"))) << p;
            EXPECT_TRUE(sheets[p].contains(QStringLiteral("Catalogue No."))) << p;
            EXPECT_EQ(sheets[p].contains(QStringLiteral("Filter: artist:can")), !c.filter.isEmpty());
        }
        for (int i = 0; i < c.rows; ++i)
            EXPECT_TRUE(text.contains(QStringLiteral("Artist %1").arg(i, 4, 10, QLatin1Char('0')))) << i;
        if (!c.note.isEmpty()) {
            const QString lastWords = c.note.section(QLatin1Char('\n'), -1).section(QLatin1Char(';'), -1).trimmed();
            EXPECT_TRUE(text.simplified().contains(lastWords)) << lastWords.toStdString();
        }
        if (c.note == endlessNote) {
            const QRegularExpression line(QStringLiteral("^line$"), QRegularExpression::MultilineOption);
            EXPECT_EQ(text.count(line), 150);
        }
    }
}

TEST(DisplayPages, AStoppedPdfLeavesNoFile)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    QList<TestFolder::Recording> recordings(600, {"Can", "Tago Mago", "1971", 1});
    TestFolder::addRecordings(path, recordings);
    const auto db = Database::open(path);
    DisplayModel display;
    display.setRecordings(db->openSnapshot(Catalogue::displayStatement(QString(), QString())));
    DisplayPages pages(display, DisplayPages::defaultColumns(), {});
    int asked = 0;
    EXPECT_FALSE(PdfExport::write(pages, folder.file("out.pdf"), PdfExport::defaultLayout(),
                                  [&](int done, int total) { return ++asked < 3 && done < total; }));
    EXPECT_FALSE(QFile::exists(folder.file("out.pdf")));
}

} // namespace
