// The display refresh: the chosen Selection's statement run into the grid.
#include "browser/frmMain.h"

#include "platform/BusyCursor.h"
#include "platform/BusyWatch.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/StatusPanel.h"
#include "shared/DisplayModel.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/SnapshotRecordset.h"
#include "store/Statement.h"

#include <QAction>
#include <QComboBox>
#include <QScopeGuard>
#include <QToolButton>

void frmMain::RefreshGrid(bool bReuseAnswers)
{
    const int k = cboSQL->currentIndex();
    if (k < 0 || k >= m_session.selections.size() || !m_session.catalogue())
        return; // no Selection chosen yet

    BusyCursor busy;
    grdData->hide();
    EmptyGrid();
    pnlStatus->setBarStyle(StatusPanel::BarStyle::LeftToRight);
    pnlStatus->setPercent(0);

    const SelectionList::Selection& selection = m_session.selections.at(k);
    QString sWhere;
    if (!selection.where.isEmpty()) {
        m_sLastWhere = PromptForParameters(cboSQL->itemText(k), selection.where, bReuseAnswers);
        sWhere = m_sLastWhere;
    }
    const QString sSql = SelectionList::displayStatement(selection, sWhere);

    int n = 0;
    QString sFailure;
    bool bCancelled = false;
    m_sDisplayStatement.clear();
    try {
        std::unique_ptr<SnapshotRecordset> rs;
        RunCancellable(QStringLiteral("Running the Selection \"%1\" ...").arg(cboSQL->itemText(k)),
                       [&] { rs = m_session.catalogue()->openSnapshot(sSql); });
        if (rs->eof()) {
            ShowNoRecordings(CatalogueIsEmpty() ? QStringLiteral("Your catalogue is empty: press Insert to add a "
                                                                 "recording, or File > Import... to bring a "
                                                                 "collection in")
                                                : QStringLiteral("(No Recordings Found)"));
        } else {
            m_display->setRecordings(std::move(rs));
            n = FillGrid();
        }
        m_sDisplayStatement = sSql;
    } catch (const EngineError& e) {
        bCancelled = e.kind() == EngineError::Kind::Interrupted;
        // A Selection the engine rejects leaves an empty display behind its message.
        sFailure = QStringLiteral("The Selection \"%1\" could not be run:\r\n\r\n%2")
                       .arg(cboSQL->itemText(k), e.description());
        if (!sWhere.isEmpty())
            sFailure += QStringLiteral("\r\n\r\nCondition: ") + sWhere;
        // The grid must not read as an empty collection: it says the Selection did not run.
        EmptyGrid();
        ShowNoRecordings(bCancelled ? QStringLiteral("(The Selection was cancelled)")
                                    : QStringLiteral("(The Selection could not be run)"));
    }

    m_iMaxTopRow = n > m_iVisibleRows ? n - m_iVisibleRows : 1;
    pnlStatus->setBarStyle(StatusPanel::BarStyle::None);
    pnlStatus->setTextColor(Qt::black);
    grdData->show();
    if (sFailure.isEmpty()) {
        if (m_display->hasRecordings())
            ShowShownCount(); // what the filter lets through
        else
            ShowStatusMessage(this, QStringLiteral("0 records found"), 0);
    } else if (bCancelled) {
        ShowStatusMessage(this, QStringLiteral("The Selection was cancelled"), 0);
    } else {
        ShowStatusMessage(this, QStringLiteral("The Selection could not be run"), 0);
        busy.restore();
        Dialogs::message(this, sFailure, QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
    }
}

void frmMain::RunCancellable(const QString& sLabel, const std::function<void()>& task)
{
    BusyWatch watch(this, sLabel);
    m_pBusy = &watch;
    m_session.catalogue()->setProgressHandler([&watch] { return watch.keepGoing(); });
    // However the task ends, the catalogue asks no more and the window may close again.
    const auto done = qScopeGuard([this] {
        if (m_session.catalogue())
            m_session.catalogue()->setProgressHandler({});
        m_pBusy = nullptr;
    });
    task();
}

int frmMain::FillGrid()
{
    m_bHasRecords = true;
    EnableRecordCommands(true);

    // The rows are in the display already; this walk shows the progress over them.
    const int iCount = m_display->rowCount();
    const float fStep = 100.0f / static_cast<float>(iCount);
    float fProgress = 0;
    for (int n = 0; n < iCount; ++n) {
        fProgress += fStep;
        const int iPercent = static_cast<int>(fProgress);
        if (iPercent > pnlStatus->percent()) {
            pnlStatus->setPercent(iPercent);
            if (pnlStatus->textColor() == QColor(Qt::black) && iPercent >= 50)
                pnlStatus->setTextColor(Qt::white);
        }
    }
    pnlStatus->setPercent(100);

    grdData->setCol(0);
    grdData->setRow(1);
    // The recording last worked on shows selected, in the rows as the grid shows them, until the
    // caller moves the current row.
    const int iShown = qMax(0, DisplayModel::shownRowOf(*grdData->model(), m_iCurrentID)) + 1;
    grdData->setSelection(iShown, 0, iShown, grdData->cols() - 1);
    return iCount;
}

void frmMain::EmptyGrid()
{
    grdData->clearSpans();
    // The last result is let go before the next is read, so that only one is ever held.
    m_display->clear();
}

bool frmMain::CatalogueIsEmpty() const
{
    try {
        Statement any(m_session.catalogue()->handle(), QStringLiteral("SELECT 1 FROM Recording LIMIT 1"));
        return !any.step();
    } catch (const EngineError&) {
        return false;
    }
}

void frmMain::ShowNoRecordings(const QString& sCaption)
{
    m_display->showNotice(sCaption);
    // The notice reads across the whole grid.
    grdData->setSpan(0, 0, 1, DisplayModel::kColumns);
    grdData->setCol(0);
    grdData->setRow(1);
    m_bHasRecords = false;
    EnableRecordCommands(false);
}

void frmMain::EnableRecordCommands(bool bEnable)
{
    cmdAmend->setEnabled(bEnable);
    cmdDelete->setEnabled(bEnable);
    for (const int iItem : {3, 4}) {
        if (QAction* item = mnuEditItem.value(iItem))
            item->setEnabled(bEnable);
    }
}

void frmMain::cmdRefresh_Click()
{
    // A refresh the user asks for shows the Selection's own order again.
    ClearSort();
    // A refresh the user asks for asks the Selection's questions again.
    RefreshGrid();
    if (m_bHasRecords) {
        SelectCurrentRecording();
        grdData->setFocus();
    }
}

void frmMain::tmrMessage_Timer()
{
    pnlStatus->setCaption(QString());
}
