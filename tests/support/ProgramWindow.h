#pragma once

#include "platform/Dialogs.h"
#include "shared/Session.h"
#include "support/TestFolder.h"

#include <functional>
#include <memory>
#include <QList>
#include <QProcessEnvironment>
#include <QWidget>

class frmMain;
class frmRecord;
class QDialog;
class Grid;

// The program started in a fresh folder of its own, with message and input boxes answered from a
// script, and the modal recording editor driven while it is open.
class ProgramWindow
{
public:
    ProgramWindow();
    ~ProgramWindow();

    TestFolder folder;
    std::unique_ptr<Session> session = std::make_unique<Session>();
    std::unique_ptr<frmMain> window;
    // Where the program starts from, and the environment it finds there.
    QString programDirectory = folder.path();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    QString catalogue() const { return folder.file(QStringLiteral("varolin.mdb")); }
    // Starts the program, by default on the folder's varolin.ini and catalogue; true when it is running.
    bool start();
    // Writes varolin.ini, creates the catalogue with the recordings, and starts the program.
    bool start(const QString& ini, const QList<TestFolder::Recording>& recordings);

    template <typename T>
    T* control(const char* name) const
    {
        return findControl<T>(window.get(), name);
    }
    template <typename T>
    static T* findControl(const QWidget* parent, const char* name)
    {
        return parent ? parent->findChild<T*>(QLatin1String(name)) : nullptr;
    }
    Grid* grid() const;
    // Clicks a grid row's first cell, scrolled into view, as a person picks a recording.
    void clickRow(int row) const;
    QStringList column(int col) const;

    // The steps to take in the program's dialogs, one per showing, in order. A showing with no step
    // left is closed and counted in unexpectedEditors().
    template <typename T>
    void whenShows(const QList<std::function<void(T*)>>& steps)
    {
        m_steps.clear();
        for (const auto& step : steps)
            m_steps.append([step](QDialog* dialog) { step(qobject_cast<T*>(dialog)); });
    }
    using EditorStep = std::function<void(frmRecord*)>;
    void whenEditorShows(const QList<EditorStep>& steps);
    int editorsShown() const { return m_editorsShown; }
    int unexpectedEditors() const { return m_unexpected; }
    bool stepsLeft() const { return !m_steps.isEmpty(); }

    // Takes the steps once the dialog shows and is active, as a person works in it; they must leave it.
    static void whenOpen(QDialog* dialog, const std::function<void()>& steps);
    // What the message and input boxes said since the last look: each as "title: text", joined by " | ".
    static QString said(const QList<Dialogs::Shown>& shown = Dialogs::takeShown());

    // A key pressed on whatever has the focus, as a person presses it.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static void type(const QString& text);
    static QWidget* focus();

private:
    void dialogShown(QDialog* dialog);

    // Runs the next step each time an editor shows.
    struct Watcher : QObject
    {
        explicit Watcher(ProgramWindow* p) : program(p) {}
        bool eventFilter(QObject* watched, QEvent* event) override;
        ProgramWindow* program;
    } m_watcher{this};

    QList<std::function<void(QDialog*)>> m_steps;
    int m_editorsShown = 0;
    int m_unexpected = 0;
};
