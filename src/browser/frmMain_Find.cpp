// Find in the grid: the find dialog, Find and Find Next.
#include "browser/frmMain.h"

#include "browser/frmFind.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/GridModel.h"
#include "shared/modVarolin.h"

#include <QCoreApplication>

void frmMain::cmdFind_Click()
{
    if (!m_frmFind)
        m_frmFind = new frmFind(this);
    m_frmFind->ShowModal();
    if (!g_sFindText.isEmpty())
        FindInGrid(QStringLiteral("F"), g_sFindText);
}

void frmMain::FindInGrid(const QString& sMode, const QString& sText)
{
    BusyCursor busy;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The search chooses its cell itself: a column remembered after Enter must not move it.
    m_bRestoreCol = false;
    const int iRow0 = grdData->row();
    const int iCol0 = grdData->col();

    // The heading row is never searched, and Find Next goes on after the current cell. The notice
    // of an empty display is no recording to find.
    GridModel::Cell found;
    if (m_bHasRecords) {
        const bool bNext = sMode == QLatin1String("N");
        found =
            grdData->gridModel()->find(bNext ? iRow0 : 1, bNext ? iCol0 + 1 : 0, sText,
                                       g_bFindMatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive, g_bFindWholeCell);
    }

    if (found.row > 0) {
        grdData->setTopRow(found.row > m_iMaxTopRow ? m_iMaxTopRow : found.row);
        grdData->setLeftCol(found.col > m_iMaxLeftCol ? m_iMaxLeftCol : found.col);
        grdData->setCol(found.col);
        grdData->setRow(found.row);
        grdData->setSelection(found.row, found.col, found.row, found.col);
        grdData->setFocus();
        grdData_Click();
        // A match in a column beyond the window's width is brought into view too.
        grdData->scrollTo(grdData->currentIndex());
        busy.restore();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return;
    }

    grdData->setCol(iCol0);
    grdData->setRow(iRow0);
    grdData->setFocus();
    busy.restore();
    Dialogs::message(this, QStringLiteral("Sorry - no match found on '") + sText + QStringLiteral("'."),
                     QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Information);
}
