// Undo and Redo: the changes this program made to the catalogue in this run, taken back and made
// again from the Edit menu.
#include "browser/frmMain.h"

#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"
#include "store/ChangeCapture.h"
#include "store/Database.h"
#include "store/EngineError.h"

#include <QAction>
#include <QMenu>

namespace {

// A menu entry is kept to a width the menu can show; a name's "&" is shown, not an access key.
QString MenuText(const QString& sVerb, const QString& sWhat, const QFontMetrics& metrics)
{
    if (sWhat.isEmpty())
        return sVerb;
    QString sShown = metrics.elidedText(sWhat, Qt::ElideMiddle, metrics.averageCharWidth() * 60);
    return sVerb + QLatin1Char(' ') + sShown.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

void frmMain::RecordChange(UndoStack::Kind kind, const std::function<void()>& command)
{
    Database* catalogue = m_session.catalogue();
    if (!catalogue) {
        command();
        return;
    }
    {
        ChangeCapture capture(*catalogue, {QStringLiteral("Recording"), QStringLiteral("Format")});
        command();
        try {
            m_session.undo.record(kind, capture.changes());
        } catch (const EngineError&) {
            // The change stands but cannot be undone; the steps before it still check their own rows.
        }
    }
    UpdateUndoItems();
}

void frmMain::UndoChange(bool bRedo)
{
    Database* catalogue = m_session.catalogue();
    const QString sName = bRedo ? m_session.undo.redoName() : m_session.undo.undoName();
    if (!catalogue || sName.isEmpty())
        return;
    UndoStack::Outcome outcome;
    {
        BusyCursor busy;
        outcome = bRedo ? m_session.undo.redo(*catalogue) : m_session.undo.undo(*catalogue);
    }
    UpdateUndoItems();
    if (!outcome.refusal.isEmpty()) {
        Dialogs::message(this, outcome.refusal, QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    // The recording the step reached shows selected where the display shows it.
    if (outcome.recording != 0)
        m_iCurrentID = outcome.recording;
    RefreshAfterChange();
    ShowStatusMessage(this, (bRedo ? QStringLiteral("Redone: ") : QStringLiteral("Undone: ")) + sName, 0);
    grdData->setFocus();
}

void frmMain::UpdateUndoItems()
{
    const QFontMetrics metrics(mnuEdit->font());
    const QString sUndo = m_session.undo.undoName();
    const QString sRedo = m_session.undo.redoName();
    mnuEditItem[10]->setText(MenuText(QStringLiteral("&Undo"), sUndo, metrics));
    mnuEditItem[10]->setEnabled(!sUndo.isEmpty());
    mnuEditItem[11]->setText(MenuText(QStringLiteral("&Redo"), sRedo, metrics));
    mnuEditItem[11]->setEnabled(!sRedo.isEmpty());
}
