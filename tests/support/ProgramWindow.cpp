#include "support/ProgramWindow.h"

#include "browser/frmMain.h"
#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/Session.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>

ProgramWindow::ProgramWindow()
{
    Dialogs::setScripted(true);
    QApplication::instance()->installEventFilter(&m_watcher);
}

ProgramWindow::~ProgramWindow()
{
    QApplication::instance()->removeEventFilter(&m_watcher);
    window.reset();
    Dialogs::setScripted(false);
}

bool ProgramWindow::start()
{
    window.reset();
    session = std::make_unique<Session>();
    window = std::make_unique<frmMain>(*session);
    window->setProgramDirectory(programDirectory);
    window->setEnvironment(environment);
    const bool started = window->Form_Load();
    QApplication::setActiveWindow(window.get());
    return started;
}

bool ProgramWindow::start(const QString& ini, const QList<TestFolder::Recording>& recordings)
{
    folder.writeIni(ini);
    TestFolder::addRecordings(folder.createCatalogue(), recordings);
    return start();
}

Grid* ProgramWindow::grid() const
{
    return control<Grid>("grdData");
}

void ProgramWindow::clickRow(int row) const
{
    const QModelIndex index = grid()->model()->index(row - 1, 0);
    grid()->scrollTo(index);
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, grid()->visualRect(index).center());
}

QStringList ProgramWindow::column(int col) const
{
    QStringList cells;
    for (int r = 1; r < grid()->rows(); ++r)
        cells << grid()->textAt(r, col);
    return cells;
}

void ProgramWindow::whenEditorShows(const QList<EditorStep>& steps)
{
    whenShows<frmRecord>(steps);
}

bool ProgramWindow::Watcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->parentWidget() == program->window.get()) {
            // The step runs once the dialog's own event loop has started.
            QPointer<QDialog> shown(dialog);
            QTimer::singleShot(0, dialog, [this, shown] {
                if (shown && shown->isVisible())
                    program->dialogShown(shown);
            });
        }
    }
    return false;
}

void ProgramWindow::dialogShown(QDialog* editor)
{
    ++m_editorsShown;
    QApplication::setActiveWindow(editor);
    if (m_steps.isEmpty()) {
        ++m_unexpected;
        Dialogs::scriptMessageAnswer(QMessageBox::No);
        editor->close(); // as the window manager would
        return;
    }
    m_steps.takeFirst()(editor);
}

void ProgramWindow::whenOpen(QDialog* dialog, const std::function<void()>& steps)
{
    QTimer::singleShot(0, dialog, [dialog, steps] {
        QApplication::setActiveWindow(dialog);
        steps();
        EXPECT_FALSE(dialog->isVisible()) << "the steps left the dialog open";
        if (dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });
}

QString ProgramWindow::said(const QList<Dialogs::Shown>& shown)
{
    QStringList all;
    for (const Dialogs::Shown& box : shown)
        all << box.title + QStringLiteral(": ") + box.text;
    return all.join(QStringLiteral(" | "));
}

void ProgramWindow::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(focus(), key, modifiers);
}

void ProgramWindow::type(const QString& text)
{
    QTest::keyClicks(focus(), text);
}

QWidget* ProgramWindow::focus()
{
    QWidget* widget = QApplication::focusWidget();
    return widget ? widget : QApplication::activeWindow();
}
