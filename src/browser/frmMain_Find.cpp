// Find in the grid: the find dialog, Find and Find Next.
#include "browser/frmMain.h"

#include "browser/frmFind.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/DisplayModel.h"
#include "shared/Session.h"

#include <QCoreApplication>

void frmMain::cmdFind_Click()
{
    if (!m_frmFind)
        m_frmFind = new frmFind(this);
    // Cancel forgets the text but keeps how the last search matched.
    if (const std::optional<FindRequest> request = m_frmFind->ShowModal(m_session.lastFind)) {
        // Ignoring accents is kept for the next start; a file that cannot be written keeps it for this run.
        if (request->ignoreAccents != m_session.lastFind.ignoreAccents)
            m_session.WriteIniString(QStringLiteral("Initialisation"), QStringLiteral("Find-Ignore-Accents"),
                                     request->ignoreAccents ? QStringLiteral("1") : QStringLiteral("0"));
        m_session.lastFind = *request;
    } else {
        m_session.lastFind.text.clear();
    }
    if (!m_session.lastFind.text.isEmpty())
        FindInGrid(FindMode::First, m_session.lastFind.text);
}

void frmMain::FindInGrid(FindMode mode, const QString& sText)
{
    BusyCursor busy;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The search chooses its cell itself: a column remembered after Enter must not move it.
    m_bRestoreCol = false;
    const int iRow0 = grdData->row();
    const int iCol0 = grdData->col();

    // The heading row is never searched, and Find Next goes on after the current cell. The notice
    // of an empty display is no recording to find.
    DisplayModel::Cell found;
    if (m_bHasRecords) {
        const bool bNext = mode == FindMode::Next;
        const FindRequest& find = m_session.lastFind;
        found = DisplayModel::find(*grdData->model(), bNext ? iRow0 - 1 : 0, bNext ? iCol0 + 1 : 0, sText,
                                   find.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive, find.wholeCell,
                                   find.ignoreAccents);
        found.row += found.row >= 0 ? 1 : 0; // grid rows count the heading row
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
