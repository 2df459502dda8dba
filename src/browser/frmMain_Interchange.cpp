// Import into the catalogue and export of the display, from the File menu.
#include "browser/frmMain.h"

#include "interchange/Exporter.h"
#include "interchange/frmImport.h"
#include "interchange/InterchangeError.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"
#include "shared/ShownRecordings.h"
#include "store/Database.h"
#include "store/EngineError.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace {

// On Linux the Selection list's text box takes Ctrl+E for the end of its line, before File > Export
// Display could.
class ExportShortcutFirst : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride &&
            static_cast<QKeyEvent*>(event)->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_E)) {
            event->ignore(); // left to the menu
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void frmMain::KeepExportShortcut()
{
    cboSQL->installEventFilter(new ExportShortcutFirst(cboSQL));
}

void frmMain::mnuFileImport_Click()
{
    if (!m_session.catalogue())
        return;
    const QString sPath = Dialogs::fileName(
        this, Dialogs::FileMode::Open, QStringLiteral("Import Recordings"),
        m_sInterchangeFolder.isEmpty() ? QDir::homePath() : m_sInterchangeFolder,
        QStringLiteral(
            "Collections (*.csv *.txt *.mdb *.accdb);;CSV files (*.csv *.txt);;Access databases (*.mdb *.accdb);;"
            "All files (*)"));
    if (sPath.isEmpty())
        return;
    m_sInterchangeFolder = QFileInfo(sPath).absolutePath();

    frmImport dlgImport(*m_session.catalogue(), this);
    std::optional<Importer::Counts> counts;
    RecordChange(UndoStack::Kind::Import, [&] { counts = dlgImport.ShowModal(sPath); });
    if (!counts)
        return;
    LetWindowSettle();
    if (counts->added > 0)
        RefreshAfterChange();
    ShowStatusMessage(this, Importer::summary(*counts), 0);
    grdData->setFocus();
}

QString frmMain::ChooseExportFile(const QString& sExtension, const QString& sCaption, const QString& sFilter)
{
    // The Selection's name makes the file's, less what file names cannot hold.
    QString sName = Dialogs::nameForFile(cboSQL->currentText().trimmed());
    if (sName.isEmpty())
        sName = QStringLiteral("Recordings");
    const QString sFolder = m_sInterchangeFolder.isEmpty() ? QDir::homePath() : m_sInterchangeFolder;
    // What must not be replaced is said before the question whether to replace it; the chooser
    // then opens again on the same place.
    QString sPath = QDir(sFolder).filePath(sName + sExtension);
    for (;;) {
        sPath = Dialogs::fileName(this, Dialogs::FileMode::Save, sCaption, sPath, sFilter);
        if (sPath.isEmpty())
            return QString();
        const QString sRefusal = Exporter::targetRefusal(sPath, m_session.catalogue()->path(), m_session.iniFile());
        if (!sRefusal.isEmpty()) {
            Dialogs::message(this, sRefusal, QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
            continue;
        }
        if (Dialogs::mayReplace(this, sPath, sCaption)) {
            m_sInterchangeFolder = QFileInfo(sPath).absolutePath();
            return sPath;
        }
    }
}

void frmMain::mnuFileExport_Click()
{
    if (!m_session.catalogue())
        return;
    if (m_sDisplayStatement.isEmpty()) {
        Dialogs::message(this, QStringLiteral("There is no display to export: choose a Selection first."),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Information);
        return;
    }
    const QString sPath = ChooseExportFile(QStringLiteral(".csv"));
    if (sPath.isEmpty())
        return;

    try {
        BusyCursor busy;
        int n = 0;
        if (m_shown && (m_shown->isFiltering() || m_shown->sortColumn() >= 0)) {
            // What the filter and the sort show, as shown.
            n = Exporter::exportShown(*grdData->model(), sPath, m_session.catalogue()->path(), m_session.iniFile());
        } else {
            RunCancellable(QStringLiteral("Exporting the display to '%1' ...").arg(QDir::toNativeSeparators(sPath)),
                           [&] {
                               n = Exporter::exportStatement(*m_session.catalogue(), m_sDisplayStatement, sPath,
                                                             m_session.iniFile());
                           });
        }
        ShowStatusMessage(this,
                          QStringLiteral("%1 %2 written to %3")
                              .arg(n)
                              .arg(n == 1 ? QStringLiteral("recording") : QStringLiteral("recordings"),
                                   QDir::toNativeSeparators(sPath)),
                          0);
    } catch (const InterchangeError& e) {
        Dialogs::message(this, e.message(), QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
    } catch (const EngineError& e) {
        if (e.kind() == EngineError::Kind::Interrupted)
            ShowStatusMessage(this, QStringLiteral("Export cancelled; nothing was written"), 0);
        else
            Dialogs::message(this, e.description(), QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
    }
}
