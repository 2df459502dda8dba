// The display seen otherwise: statistics with charts, printed pages and a PDF file.
#include "browser/frmMain.h"

#include "interchange/DisplayPages.h"
#include "interchange/Exporter.h"
#include "interchange/InterchangeError.h"
#include "interchange/PdfExport.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/DisplayModel.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"
#include "shared/ShownRecordings.h"
#include "statistics/frmStatistics.h"
#include "store/Database.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QProgressDialog>

bool frmMain::HasDisplayToShow(const QString& sWhat)
{
    if (m_session.catalogue() && m_display->hasRecordings())
        return true;
    Dialogs::message(this, QStringLiteral("The display shows no recordings to %1.").arg(sWhat),
                     QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Information);
    return false;
}

void frmMain::mnuViewStatistics_Click()
{
    // An empty display still counts the whole catalogue.
    if (!m_session.catalogue())
        return;
    frmStatistics dlgStatistics(*grdData->model(), *m_session.catalogue(), this);
    dlgStatistics.ShowModal();
    LetWindowSettle();
    grdData->setFocus();
}

DisplayPages frmMain::PagesOfDisplay() const
{
    // The columns as the grid shows them: in its order, at its widths.
    QList<DisplayPages::Column> columns;
    const QHeaderView* header = grdData->horizontalHeader();
    for (int v = 0; v < header->count(); ++v) {
        const int c = header->logicalIndex(v);
        if (!header->isSectionHidden(c) && header->sectionSize(c) > 0)
            columns.append(DisplayPages::Column{c, static_cast<double>(header->sectionSize(c))});
    }
    DisplayPages::Heading heading;
    heading.selection = cboSQL->itemText(cboSQL->currentIndex());
    if (m_shown->isFiltering())
        heading.filter = txtFilter->text().trimmed();
    if (m_shown->sortColumn() >= 0)
        heading.order =
            QStringLiteral("Sorted by %1%2")
                .arg(DisplayModel::headings().at(m_shown->sortColumn()),
                     m_shown->sortOrder() == Qt::DescendingOrder ? QStringLiteral(", descending") : QString());
    return DisplayPages(*grdData->model(), columns, heading);
}

void frmMain::mnuFilePrint_Click()
{
    if (!HasDisplayToShow(QStringLiteral("print")))
        return;
    DisplayPages pages = PagesOfDisplay();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_pageLayout);
    printer.setDocName(cboSQL->itemText(cboSQL->currentIndex()));
    QPrintPreviewDialog dlgPreview(&printer, this);
    dlgPreview.setWindowTitle(QStringLiteral("Print Display"));
    connect(&dlgPreview, &QPrintPreviewDialog::paintRequested, this, [&pages](QPrinter* target) {
        BusyCursor busy;
        pages.paint(*target);
    });
    dlgPreview.exec();
    m_pageLayout = printer.pageLayout();
    LetWindowSettle();
    grdData->setFocus();
}

void frmMain::mnuFileExportPdf_Click()
{
    if (!HasDisplayToShow(QStringLiteral("export")))
        return;
    const QString sPath = ChooseExportFile(QStringLiteral(".pdf"), QStringLiteral("Export as PDF"),
                                           QStringLiteral("PDF files (*.pdf);;All files (*)"));
    if (sPath.isEmpty())
        return;

    DisplayPages pages = PagesOfDisplay();
    QProgressDialog dlgProgress(QStringLiteral("Writing '%1' ...").arg(QDir::toNativeSeparators(sPath)),
                                QStringLiteral("Cancel"), 0, 1, this);
    dlgProgress.setWindowTitle(QStringLiteral("Export as PDF"));
    dlgProgress.setWindowModality(Qt::WindowModal);
    dlgProgress.setMinimumDuration(400);
    const auto progress = [&dlgProgress](int iDone, int iTotal) {
        dlgProgress.setMaximum(iTotal);
        dlgProgress.setValue(iDone);
        return !dlgProgress.wasCanceled();
    };
    try {
        BusyCursor busy;
        if (!PdfExport::write(pages, sPath, m_pageLayout, progress)) {
            ShowStatusMessage(this, QStringLiteral("Export cancelled; nothing was written"), 0);
            return;
        }
        dlgProgress.reset();
        const int n = grdData->model()->rowCount();
        ShowStatusMessage(this,
                          QStringLiteral("%1 %2 written to %3 (%4 %5)")
                              .arg(n)
                              .arg(n == 1 ? QStringLiteral("recording") : QStringLiteral("recordings"),
                                   QDir::toNativeSeparators(sPath))
                              .arg(pages.pageCount())
                              .arg(pages.pageCount() == 1 ? QStringLiteral("page") : QStringLiteral("pages")),
                          0);
    } catch (const InterchangeError& e) {
        dlgProgress.reset();
        Dialogs::message(this, e.message(), QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
    }
    grdData->setFocus();
}
