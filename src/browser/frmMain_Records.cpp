// The commands on recordings (New, Amend, Delete) and the grid's mouse and keys that reach them.
#include "browser/frmMain.h"

#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/modVarolin.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"

#include <QCoreApplication>

namespace {

const int kVkEnter = 13;
const int kVkEnd = 35;
const int kVkHome = 36;
const int kVkInsert = 45;
const int kVkDelete = 46;

} // namespace

qint64 frmMain::RowID(int iRow) const
{
    return g_aiRowID.value(iRow - 1);
}

bool frmMain::ShowRecordEditor()
{
    if (!m_frmRecord)
        m_frmRecord = new frmRecord(this);
    const frmRecord::LoadResult result = m_frmRecord->ShowModal();
    if (result == frmRecord::LoadResult::Loaded)
        return true;
    Dialogs::message(this, m_frmRecord->loadError(), QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
    if (result == frmRecord::LoadResult::RecordMissing)
        RefreshAfterChange(); // the display still shows what another program took away
    return false;
}

void frmMain::RefreshAfterChange()
{
    // The display follows a change with the Selection's last answers, asking nothing again.
    g_bRecordUpdated = true;
    RefreshGrid();
    SelectCurrentRecording();
    g_bRecordUpdated = false;
}

void frmMain::cmdNew_Click()
{
    g_sEditMode = QStringLiteral("New");
    // A new recording has no neighbours to step to; Previous and Next just leave.
    g_vAtFirstRow = false;
    g_vAtLastRow = false;
    ShowRecordEditor();
    // What the editor uncovered is painted with the window's other pending events; a forced
    // repaint would only paint it twice when a refresh follows.
    QCoreApplication::processEvents();
    if (g_bAutoRefresh && g_bRecordUpdated)
        RefreshAfterChange();
    grdData->setFocus();
}

void frmMain::cmdAmend_Click()
{
    if (!m_bHasRecords)
        return;
    g_sEditMode = QStringLiteral("Amend");
    const int r = grdData->row();
    g_iRecordID = RowID(r);
    g_bRecordUpdated = false;
    g_vAtFirstRow = r == 1;
    g_vAtLastRow = r == grdData->rows() - 1;

    // Each Previous or Next closes the editor and opens it again on the neighbouring row of the
    // display as it was, the grid's current row following along.
    do {
        g_vNavigate = 0;
        if (!ShowRecordEditor())
            break;
        g_vAtFirstRow = false;
        g_vAtLastRow = false;
        if (g_vNavigate == 1) {
            grdData->setRow(grdData->row() - 1);
            g_iRecordID = RowID(grdData->row());
            g_vAtFirstRow = grdData->row() == 1;
        } else if (g_vNavigate == 2) {
            grdData->setRow(grdData->row() + 1);
            g_iRecordID = RowID(grdData->row());
            g_vAtLastRow = grdData->row() == grdData->rows() - 1;
        }
        grdData_Click();
        grdData->scrollTo(grdData->currentIndex());
    } while (g_vNavigate > 0);

    QCoreApplication::processEvents();
    if (g_bAutoRefresh && g_bRecordUpdated)
        RefreshAfterChange();
    grdData->setFocus();
}

void frmMain::cmdDelete_Click()
{
    if (!m_bHasRecords)
        return;
    if (Dialogs::message(this, QStringLiteral("Are you sure you want to delete this Recording?"),
                         QStringLiteral("Varolin"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                         QMessageBox::Yes) != QMessageBox::Yes)
        return;

    const int r = grdData->row();
    const qint64 iDeleted = RowID(r);
    try {
        g_dbCatalogue->execute(Catalogue::deleteRecordingStatement(iDeleted));
    } catch (const EngineError& e) {
        Dialogs::message(this, QStringLiteral("The Recording could not be deleted:\r\n\r\n") + e.description(),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    g_iCurrentID = iDeleted;
    if (!g_bAutoRefresh)
        return; // the grid shows the deleted recording until the next refresh

    // The recording below moves up into the deleted one's place; after the last row, the one above
    // becomes the last. The only row leaves nothing to select.
    if (r < grdData->rows() - 1)
        g_iCurrentID = RowID(r + 1);
    else if (r > 1)
        g_iCurrentID = RowID(r - 1);
    RefreshAfterChange();
    grdData->setFocus();
}

void frmMain::grdData_DblClick()
{
    cmdAmend_Click();
}

void frmMain::grdData_KeyDown(int iKeyCode, Qt::KeyboardModifiers iShift)
{
    if (iKeyCode == kVkEnter) {
        m_iSavedCol = grdData->col();
        grdData_DblClick();
        m_bRestoreCol = true;
    }
    if (iKeyCode == kVkInsert)
        cmdNew_Click();
    if (iKeyCode == kVkDelete)
        cmdDelete_Click();
    if (iShift & Qt::ControlModifier) {
        if (iKeyCode == kVkHome) {
            grdData->setCol(0);
            grdData->setRow(1);
            grdData->setTopRow(1);
            grdData->setLeftCol(0);
            grdData_Click();
        } else if (iKeyCode == kVkEnd) {
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
