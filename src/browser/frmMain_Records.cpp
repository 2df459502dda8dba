// The commands on recordings (New, Amend, Delete) and the grid's mouse and keys that reach them.
#include "browser/frmMain.h"

#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/KeyCodes.h"
#include "shared/DisplayModel.h"
#include "shared/DisplayNavigation.h"
#include "shared/Session.h"
#include "shared/ShownRecording.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/RecordingStore.h"

#include <QCoreApplication>

qint64 frmMain::RowID(int iRow) const
{
    return grdData->idAt(iRow);
}

qint64 frmMain::NeighbourID(int iRow) const
{
    // The only row leaves its own ID, which no row will match once it is gone.
    return RowID(DisplayNavigation::neighbourRow(iRow, grdData->rows() - 1));
}

frmRecord::Result frmMain::ShowRecordEditor(const EditRequest& request)
{
    if (!m_frmRecord)
        m_frmRecord = new frmRecord(m_session, this);
    frmRecord::Result result;
    RecordChange(request.mode == EditMode::New ? UndoStack::Kind::New : UndoStack::Kind::Amend,
                 [&] { result = m_frmRecord->ShowModal(request); });
    if (result.load != frmRecord::LoadResult::Loaded)
        Dialogs::message(this, m_frmRecord->loadError(), QStringLiteral("Varolin"), QMessageBox::Ok,
                         QMessageBox::Warning);
    return result;
}

void frmMain::LetWindowSettle()
{
    // What the editor uncovered is painted with the window's other pending events. Keys already
    // typed wait for the refresh: a second Enter must not open the editor before the display
    // shows the first save.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmMain::RefreshAfterChange()
{
    // A changed recording the filter no longer lets through gives its place to its neighbour, as a
    // deleted one does; a new one that is not shown leaves the row the user was on.
    const int r = grdData->row();
    const qint64 iWasShown = m_bHasRecords ? RowID(r) : 0;
    const qint64 iInstead = iWasShown == m_iCurrentID ? NeighbourID(r) : iWasShown;
    // The display follows a change with the Selection's last answers, asking nothing again.
    RefreshGrid(true);
    if (m_bHasRecords && DisplayModel::shownRowOf(*grdData->model(), m_iCurrentID) < 0)
        m_iCurrentID = iInstead;
    SelectCurrentRecording();
}

void frmMain::cmdNew_Click()
{
    // A new recording has no neighbours to step to; Previous and Next just leave.
    const frmRecord::Result result = ShowRecordEditor({EditMode::New});
    if (result.saved)
        m_iCurrentID = result.savedID;
    LetWindowSettle();
    if (m_session.autoRefresh && result.saved)
        RefreshAfterChange();
    grdData->setFocus();
}

void frmMain::cmdAmend_Click()
{
    if (!m_bHasRecords)
        return;
    const int r = grdData->row();
    EditRequest request{EditMode::Amend, RowID(r), DisplayNavigation::isFirst(r),
                        DisplayNavigation::isLast(r, grdData->rows() - 1)};

    // Each Previous or Next closes the editor and opens it again on the neighbouring row of the
    // display as it was, the grid's current row following along.
    bool bMissing = false;
    bool bSaved = false;
    qint64 iShownID = request.recordID;
    frmRecord::Result result;
    do {
        result = ShowRecordEditor(request);
        if (result.load != frmRecord::LoadResult::Loaded) {
            bMissing = result.load == frmRecord::LoadResult::RecordMissing;
            break;
        }
        if (result.saved) {
            bSaved = true;
            m_iCurrentID = result.savedID;
        }
        iShownID = request.recordID;
        request.atFirstRow = false;
        request.atLastRow = false;
        if (result.navigate == Navigate::Previous) {
            grdData->setRow(grdData->row() - 1);
            request.recordID = RowID(grdData->row());
            request.atFirstRow = DisplayNavigation::isFirst(grdData->row());
        } else if (result.navigate == Navigate::Next) {
            grdData->setRow(grdData->row() + 1);
            request.recordID = RowID(grdData->row());
            request.atLastRow = DisplayNavigation::isLast(grdData->row(), grdData->rows() - 1);
        }
        grdData_Click();
        grdData->scrollTo(grdData->currentIndex());
    } while (result.navigate != Navigate::None);

    LetWindowSettle();
    if (bMissing) {
        // Another program took the recording away: the display shows what is there now, on the
        // recording the user came from (the one below, when the very first was missing).
        m_iCurrentID = iShownID != request.recordID ? iShownID : NeighbourID(grdData->row());
        RefreshAfterChange();
    } else if (m_session.autoRefresh && bSaved) {
        RefreshAfterChange();
    }
    grdData->setFocus();
}

void frmMain::cmdDelete_Click()
{
    if (!m_bHasRecords)
        return;
    const int r = grdData->row();
    // The question names the recording, so that the wrong row is not deleted by a quick Yes.
    QString sQuestion = QStringLiteral("Are you sure you want to delete this Recording?");
    const QString sArtist = grdData->textAt(r, 0);
    const QString sTitle = grdData->textAt(r, 1);
    if (!sArtist.isEmpty() || !sTitle.isEmpty())
        sQuestion += QStringLiteral("\r\n\r\n%1 - %2").arg(sArtist, sTitle);
    if (Dialogs::message(this, sQuestion, QStringLiteral("Varolin"), QMessageBox::Yes | QMessageBox::No,
                         QMessageBox::Question, QMessageBox::Yes) != QMessageBox::Yes)
        return;

    const qint64 iDeleted = RowID(r);
    DeleteOutcome outcome = DeleteOutcome::Kept;
    try {
        RecordChange(UndoStack::Kind::Delete, [&] { outcome = DeleteIfAsShown(r); });
    } catch (const EngineError& e) {
        Dialogs::message(this, QStringLiteral("The Recording could not be deleted:\r\n\r\n") + e.description(),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    switch (outcome) {
    case DeleteOutcome::Deleted:
        break;
    case DeleteOutcome::Kept:
        return;
    case DeleteOutcome::Gone:
        // Another program deleted it already: the display catches up, on the neighbour.
        m_iCurrentID = NeighbourID(r);
        RefreshAfterChange();
        grdData->setFocus();
        return;
    }
    m_iCurrentID = iDeleted;
    if (!m_session.autoRefresh)
        return; // the grid shows the deleted recording until the next refresh

    m_iCurrentID = NeighbourID(r);
    RefreshAfterChange();
    grdData->setFocus();
}

frmMain::DeleteOutcome frmMain::DeleteIfAsShown(int iRow)
{
    const qint64 iID = RowID(iRow);
    QStringList asShown;
    for (int c = 0; c < DisplayModel::kColumns; ++c)
        asShown << grdData->textAt(iRow, c);
    Database& catalogue = *m_session.catalogue();
    std::optional<QStringList> now;
    // Checked and deleted under the write lock, so no other program's save comes in between.
    catalogue.beginTrans();
    try {
        now = ReadShownRecording(catalogue, iID);
        if (now == asShown) {
            RecordingStore(catalogue).remove(iID);
            catalogue.commitTrans();
        } else {
            catalogue.rollback();
        }
    } catch (const EngineError&) {
        catalogue.rollbackQuietly();
        throw;
    }
    if (now == asShown)
        return DeleteOutcome::Deleted;
    if (!now) {
        Dialogs::message(this,
                         QStringLiteral("This Recording is no longer in the catalogue; another program has deleted it. "
                                        "The display will be refreshed."),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Information);
        return DeleteOutcome::Gone;
    }
    // Another program changed it since the display was read: the user sees what would go.
    const auto answer = Dialogs::message(
        this,
        QStringLiteral("Another program has changed this Recording since it was shown; it now reads:\r\n\r\n"
                       "%1 - %2 (%3)\r\n\r\nDelete it all the same?")
            .arg(now->at(0), now->at(1), now->at(2)),
        QStringLiteral("Varolin"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        m_iCurrentID = iID;
        RefreshAfterChange();
        grdData->setFocus();
        return DeleteOutcome::Kept;
    }
    RecordingStore(catalogue).remove(iID);
    return DeleteOutcome::Deleted;
}

void frmMain::grdData_DblClick()
{
    cmdAmend_Click();
}

void frmMain::grdData_KeyDown(int iKeyCode, Qt::KeyboardModifiers iShift)
{
    if (iKeyCode == KeyCodes::VkEnter) {
        m_iSavedCol = grdData->col();
        grdData_DblClick();
        m_bRestoreCol = true;
    }
    if (iKeyCode == KeyCodes::VkInsert)
        cmdNew_Click();
    if (iKeyCode == KeyCodes::VkDelete)
        cmdDelete_Click();
    if (iShift & Qt::ControlModifier) {
        if (iKeyCode == KeyCodes::VkHome) {
            grdData->setCol(0);
            grdData->setRow(1);
            grdData->setTopRow(1);
            grdData->setLeftCol(0);
            grdData_Click();
        } else if (iKeyCode == KeyCodes::VkEnd) {
            grdData->setCol(grdData->cols() - 1);
            grdData->setRow(grdData->rows() - 1);
            grdData->setTopRow(m_iMaxTopRow);
            grdData->setLeftCol(m_iMaxLeftCol);
            grdData_Click();
        }
    }
}

void frmMain::grdData_RowColChange()
{
    // After Enter opened the editor, the first move of the current cell lands in the column the
    // user was in.
    if (m_bRestoreCol) {
        m_bRestoreCol = false;
        grdData->setCol(m_iSavedCol);
    }
}
