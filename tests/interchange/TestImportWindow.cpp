#include "browser/frmMain.h"
#include "interchange/frmImport.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/StatusPanel.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

const QString kIni = QStringLiteral("[SQL]\n1=All\n2=Broken,NoSuchColumn = 1\nDefault=1\n");
const QString kJet = QStringLiteral(VAROLIN_TESTDATA_DIR "/jet/nwind-jet3.mdb");
const QList<TestFolder::Recording> kRecordings = {{"Abba", "Waterloo", "1974", 9}};

template <typename T>
T* in(QDialog* dialog, const char* name)
{
    return ProgramWindow::findControl<T>(dialog, name);
}

} // namespace

TEST(ImportWindow, ImportsWhatTheColumnsSayByKeyboardAndShowsIt)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(kIni, kRecordings));
    program.folder.writeFile("mine.csv", "Artist,Title,Released,Comments,Format\n"
                                         "Blur,Parklife,1994-04-25,Signed,CD\n"
                                         "abba,WATERLOO,1974,,cd\n"
                                         "Can,Tago Mago,1971,Gatefold,LP\n");
    Dialogs::scriptInputAnswer(program.folder.file("mine.csv"));
    program.whenShows<QDialog>({[](QDialog* d) {
        EXPECT_EQ(ProgramWindow::focus(), in<QComboBox>(d, "cboFieldArtist"));
        EXPECT_FALSE(in<QComboBox>(d, "cboTable")->isEnabled());
        EXPECT_EQ(in<QLabel>(d, "lblSummary")->text(),
                  QStringLiteral("2 recordings to be added, 1 already in the catalogue, 0 new formats."));
        // Comments go to Notes: Alt+O reaches the list, End then Up picks the column before Format.
        ProgramWindow::press(Qt::Key_O, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ProgramWindow::focus() == in<QComboBox>(d, "cboFieldNotes"); }));
        ProgramWindow::press(Qt::Key_End);
        ProgramWindow::press(Qt::Key_Up);
        EXPECT_EQ(in<QComboBox>(d, "cboFieldNotes")->currentText(), QStringLiteral("Comments"));
        EXPECT_EQ(in<QLabel>(d, "lblColumns")->text(), QStringLiteral("Fields no column fills, left empty: Label, "
                                                                      "Catalogue No., International Catalogue No."));
        // The file's LP becomes an EP: Alt+M to the formats, Down to LP, Alt+E to what it becomes.
        ProgramWindow::press(Qt::Key_M, Qt::AltModifier);
        ProgramWindow::press(Qt::Key_Down);
        ProgramWindow::press(Qt::Key_E, Qt::AltModifier);
        QTest::keyClicks(ProgramWindow::focus(), QStringLiteral("EP"));
        ProgramWindow::press(Qt::Key_Return);
    }});
    QApplication::setActiveWindow(program.window.get());
    program.grid()->setFocus();
    QTest::keyClick(program.grid(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_FALSE(program.stepsLeft());
    EXPECT_EQ(program.column(0), (QStringList{"Abba", "Blur", "Can"}));
    EXPECT_EQ(program.column(3), (QStringList{"CD", "CD", "EP"}));
    EXPECT_EQ(program.column(6), (QStringList{"", "Signed", "Gatefold"}));
    EXPECT_EQ(program.control<StatusPanel>("pnlStatus")->caption(),
              QStringLiteral(" 2 recordings added, 1 already present, 0 new formats"));
}

TEST(ImportWindow, WhatCannotBeImportedOrIsCancelledChangesNothingThenAnAccessTableIsMatchedByHand)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(kIni, kRecordings));
    program.folder.writeFile("broken.csv", "Artist,Title\nBlur,Parklife\n\"Can,Tago Mago\n");
    Dialogs::takeShown();
    Dialogs::scriptInputAnswer(program.folder.file("broken.csv"));
    program.control<QAction>("mnuFileItem0")->trigger();
    const QString said = ProgramWindow::said(); // the file chooser, then the message
    EXPECT_TRUE(said.count(" | ") == 1 && said.endsWith("line 3 a quoted field is never closed."))
        << said.toStdString();

    // The first line of a file that is no table may be one long name.
    program.folder.writeFile("long.csv", QByteArray(400, 'N') + ",Artist\n1,Can\n");
    Dialogs::scriptInputAnswer(program.folder.file("long.csv"));
    program.whenShows<QDialog>({[](QDialog* d) {
        EXPECT_LE(d->frameGeometry().width(), d->screen()->availableGeometry().width());
        in<QPushButton>(d, "cmdCancel")->setFocus();
        ProgramWindow::press(Qt::Key_Return); // the focused Cancel, not Import
    }});
    program.control<QAction>("mnuFileItem0")->trigger();
    EXPECT_FALSE(program.stepsLeft());

    Dialogs::scriptInputAnswer(kJet);
    program.whenShows<QDialog>({[](QDialog* d) {
        auto* table = in<QComboBox>(d, "cboTable");
        EXPECT_EQ(ProgramWindow::focus(), table);
        EXPECT_FALSE(in<QPushButton>(d, "cmdImport")->isEnabled()) << "no column of the first table fills a field";
        table->setCurrentIndex(table->findText("Shippers"));
        emit table->activated(table->currentIndex());
        auto* artist = in<QComboBox>(d, "cboFieldArtist");
        artist->setCurrentIndex(artist->findText("CompanyName"));
        EXPECT_EQ(in<QLabel>(d, "lblSummary")->text(),
                  QStringLiteral("3 recordings to be added, 0 already in the catalogue, 0 new formats."));
        ProgramWindow::press(Qt::Key_Return);
    }});
    program.control<QAction>("mnuFileItem0")->trigger();
    EXPECT_EQ(program.column(0), (QStringList{"Abba", "Federal Shipping", "Speedy Express", "United Package"}));
}

TEST(ImportWindow, ExportWritesTheDisplayInItsOrder)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(kIni, {{"Can", "Tago Mago", "1971", 1}, {"Abba", "Waterloo", "1974", 9}}));
    Dialogs::takeShown();
    Dialogs::scriptInputAnswer(program.folder.file("out.csv"));
    QApplication::setActiveWindow(program.window.get());
    QTest::keyClick(program.grid(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(Dialogs::takeShown().value(0).text, QDir::home().filePath("All.csv")) << "named after the Selection";
    EXPECT_EQ(program.folder.readFile("out.csv"),
              QByteArray("\xEF\xBB\xBF"
                         "Artist,Title,Year,Format,Label,Catalogue_No,Notes,International_Catalogue_No\r\n"
                         "Abba,Waterloo,1974,CD,,,,\r\nCan,Tago Mago,1971,LP,,,,\r\n"));
    EXPECT_EQ(program.control<StatusPanel>("pnlStatus")->caption(),
              QStringLiteral(" 2 recordings written to %1").arg(program.folder.file("out.csv")));

    // Typing in the Selection list, whose text box takes Ctrl+E for the end of its line under X11's
    // keyboard scheme (offscreen has none: run under xcb to see it).
    Dialogs::scriptInputAnswer(program.folder.file("again.csv"));
    auto* selection = program.control<QComboBox>("cboSQL");
    QApplication::setActiveWindow(program.window.get());
    selection->setFocus();
    QTest::keyClick(selection, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(program.folder.readFile("again.csv"), program.folder.readFile("out.csv"));

    // The settings file is refused before any question of replacing it, and the chooser comes back;
    // an export is replaced only when the user says so.
    const QByteArray ini = program.folder.readFile("varolin.ini");
    Dialogs::takeShown();
    for (const QString& answer : {program.folder.file("varolin.ini"), QString(), program.folder.file("out.csv")})
        Dialogs::scriptInputAnswer(answer);
    Dialogs::scriptMessageAnswer(QMessageBox::Ok);
    Dialogs::scriptMessageAnswer(QMessageBox::No);
    program.control<QAction>("mnuFileItem1")->trigger();
    program.control<QAction>("mnuFileItem1")->trigger();
    QList<Dialogs::Shown> shown = Dialogs::takeShown();
    ASSERT_EQ(shown.size(), 6) << "after No the chooser comes back";
    EXPECT_TRUE(shown.at(1).text.contains("settings file in use")) << shown.at(1).text.toStdString();
    EXPECT_TRUE(shown.at(2).input) << "the chooser again";
    EXPECT_TRUE(shown.at(4).text.endsWith("Do you want to replace it?"));
    EXPECT_EQ(program.folder.readFile("varolin.ini"), ini);

    // A display the engine refused has nothing to export.
    program.control<QComboBox>("cboSQL")->setCurrentIndex(1);
    emit program.control<QComboBox>("cboSQL")->activated(1);
    Dialogs::takeShown();
    program.control<QAction>("mnuFileItem1")->trigger();
    EXPECT_EQ(Dialogs::takeShown().value(0).text,
              QStringLiteral("There is no display to export: choose a Selection first."));
}
