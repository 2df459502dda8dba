#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

// Every message box and input box of the program goes through here, so that a test can answer
// them from a script instead of a person. A message is bounded to what fits on a screen: its long
// lines are shown by their start and end, and only the first lines and the last of a long one.
class Dialogs
{
public:
    struct Shown
    {
        bool input = false;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QString defaultText; // the text an input box starts on
    };

    static QMessageBox::StandardButton message(QWidget* parent, const QString& text, const QString& title,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               QMessageBox::Icon icon = QMessageBox::NoIcon,
                                               QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    // The typed answer; the empty string when the user cancels. The box starts on defaultText, all
    // of it selected.
    static QString input(QWidget* parent, const QString& prompt, const QString& title,
                         const QString& defaultText = QString());

    // One of the items, chosen by the user; -1 when the user cancels. A scripted answer is the
    // item's text.
    static int choose(QWidget* parent, const QString& prompt, const QString& title, const QStringList& items);

    // A file chosen to read (Open) or to write (Save: asking before replacing one is left to the
    // caller, which may have to refuse it first); the empty string when the user cancels.
    // suggested is the folder or file name the chooser starts on.
    enum class FileMode { Open, Save };
    static QString fileName(QWidget* parent, FileMode mode, const QString& caption, const QString& suggested,
                            const QString& filter);
    // A title made a file's name: what file names cannot hold becomes "_".
    static QString nameForFile(const QString& title);
    // Whether a file chosen to save to may be written: true when it does not exist yet, else the
    // user's answer to whether to replace it (No, the default, keeps it).
    static bool mayReplace(QWidget* parent, const QString& path, const QString& caption);

    // Scripted mode: no box is shown; each asks for the next scripted answer (Ok, or the empty
    // string, when none is left) and is recorded.
    static void setScripted(bool scripted);
    static void scriptMessageAnswer(QMessageBox::StandardButton answer);
    static void scriptInputAnswer(const QString& answer);
    static QList<Shown> takeShown();
};
