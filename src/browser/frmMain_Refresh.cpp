// The display refresh: the chosen Selection's statement run into the grid.
#include "browser/frmMain.h"

#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/StatusPanel.h"
#include "shared/modVarolin.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"
#include "store/SnapshotRecordset.h"

#include <QComboBox>
#include <QToolButton>

namespace {

const int kGridColumns = 8;
const char* const kShownFields[kGridColumns] = {"Artist", "Title",        "Year",  "Format",
                                                "Label",  "Catalogue_No", "Notes", "International_Catalogue_No"};

} // namespace

void frmMain::RefreshGrid()
{
    const int k = cboSQL->currentIndex();
    if (k < 0 || !g_dbCatalogue)
        return; // no Selection chosen yet

    BusyCursor busy;
    grdData->hide();
    EmptyGrid();
    pnlStatus->setBarStyle(StatusPanel::BarStyle::LeftToRight);
    pnlStatus->setPercent(0);

    QString sWhere;
    if (!g_asSelectionWhere.value(k).isEmpty()) {
        m_sLastWhere = PromptForParameters(cboSQL->itemText(k), g_asSelectionWhere.value(k));
        sWhere = m_sLastWhere;
    }
    const QString sSql = Catalogue::displayStatement(sWhere, g_asSelectionOrder.value(k));

    int n = 0;
    QString sFailure;
    m_sDisplayStatement.clear();
    try {
        const std::unique_ptr<SnapshotRecordset> rs = g_dbCatalogue->openSnapshot(sSql);
        if (rs->eof())
            ShowNoRecordings();
        else
            n = FillGrid(*rs);
        m_sDisplayStatement = sSql;
    } catch (const EngineError& e) {
        // A Selection the engine rejects leaves an empty display behind its message.
        sFailure = QStringLiteral("The Selection \"%1\" could not be run:\r\n\r\n%2")
                       .arg(cboSQL->itemText(k), e.description());
        if (!sWhere.isEmpty())
            sFailure += QStringLiteral("\r\n\r\nCondition: ") + sWhere;
        // The grid must not read as an empty collection: it says the Selection did not run.
        EmptyGrid();
        ShowNoRecordings(QStringLiteral("(The Selection could not be run)"));
    }

    m_iMaxTopRow = n > m_iVisibleRows ? n - m_iVisibleRows : 1;
    pnlStatus->setBarStyle(StatusPanel::BarStyle::None);
    pnlStatus->setTextColor(Qt::black);
    grdData->show();
    if (sFailure.isEmpty()) {
        ShowStatusMessage(this, QString::number(n) + QStringLiteral(" records found"), 0);
    } else {
        ShowStatusMessage(this, QStringLiteral("The Selection could not be run"), 0);
        busy.restore();
        Dialogs::message(this, sFailure, QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
    }
}

int frmMain::FillGrid(SnapshotRecordset& rs)
{
    m_bHasRecords = true;
    EnableRecordCommands(true);

    rs.moveLast();
    rs.moveFirst();
    const int iCount = rs.recordCount();
    const float fStep = 100.0f / static_cast<float>(iCount);
    float fProgress = 0;
    g_aiRowID = QList<qint64>(iCount + 1, 0);

    int aiField[kGridColumns];
    for (int c = 0; c < kGridColumns; ++c)
        aiField[c] = rs.fieldIndex(QLatin1String(kShownFields[c]));
    const int iIdField = rs.fieldIndex(QStringLiteral("ID"));

    // Cells go into the grid as they are, so a tab inside a Notes cell stays in that cell.
    QUtf8StringView asCells[kGridColumns];
    QByteArray asNumbers[kGridColumns];
    int n = 0;
    while (!rs.eof()) {
        for (int c = 0; c < kGridColumns; ++c) {
            if (rs.isText(aiField[c])) {
                asCells[c] = rs.utf8View(aiField[c]);
            } else {
                asNumbers[c] = rs.text(aiField[c]).toUtf8();
                asCells[c] = QUtf8StringView(asNumbers[c].constData(), asNumbers[c].size());
            }
        }
        grdData->addRow(asCells, kGridColumns);
        const qint64 iID = rs.integer(iIdField);
        g_aiRowID[n] = iID;
        if (iID == g_iCurrentID) {
            grdData->setCol(0);
            grdData->setRow(grdData->rows() - 1);
            grdData_Click();
        }
        ++n;
        rs.moveNext();

        fProgress += fStep;
        const int iPercent = static_cast<int>(fProgress);
        if (iPercent > pnlStatus->percent()) {
            pnlStatus->setPercent(iPercent);
            if (pnlStatus->textColor() == QColor(Qt::black) && iPercent >= 50)
                pnlStatus->setTextColor(Qt::white);
        }
    }
    pnlStatus->setPercent(100);

    grdData->removeItem(1);
    grdData->setRow(grdData->selStartRow());
    grdData->setCol(0);
    grdData->setRow(1);
    return n;
}

void frmMain::EmptyGrid()
{
    g_aiRowID.clear();
    grdData->setRows(2);
    grdData->setRow(1);
    for (int c = 0; c < grdData->cols(); ++c) {
        grdData->setCol(c);
        grdData->setText(QString());
    }
}

void frmMain::ShowNoRecordings(const QString& sCaption)
{
    grdData->setCol(0);
    grdData->setRow(1);
    grdData->setText(sCaption);
    m_bHasRecords = false;
    EnableRecordCommands(false);
}

void frmMain::EnableRecordCommands(bool bEnable)
{
    cmdAmend->setEnabled(bEnable);
    cmdDelete->setEnabled(bEnable);
    mnuEditItem.value(3)->setEnabled(bEnable);
    mnuEditItem.value(4)->setEnabled(bEnable);
}

void frmMain::cmdRefresh_Click()
{
    // A refresh the user asks for asks the Selection's questions again.
    g_bRecordUpdated = false;
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
