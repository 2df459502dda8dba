#pragma once

#include "editor/frmRecord.h"
#include "interchange/PdfExport.h"
#include "store/UndoStack.h"

#include <functional>
#include <memory>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMap>
#include <QPageLayout>
#include <QProcessEnvironment>

class Database;
class BusyWatch;
class DisplayModel;
class ShownRecordings;
class QLineEdit;
class Grid;
class Session;
class frmFind;
class frmFormats;
class frmSettings;
class QAbstractProxyModel;
class QAction;
class QComboBox;
class QFrame;
class QMenu;
class QTimer;
class QToolButton;
class StatusPanel;

// How a search in the grid starts: at the first cell, or after the current one.
enum class FindMode { First, Next };

// The main window: the Selection list, the grid of recordings, the status line, and the commands
// on them. Its members are defined by concern in the frmMain_*.cpp files.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(Session& session, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: shows the window maximised, opens the catalogue and shows the default Selection.
    // False when the program ended during start-up (the catalogue could not be opened, or the
    // window was closed while it was being shown).
    bool Form_Load();
    bool isEnded() const { return m_bEnded; }

    // The program's folder, which decides where varolin.ini and varolin.mdb are looked for, and the
    // environment that names the user's folders; the real ones unless set before Form_Load.
    void setProgramDirectory(const QString& directory) { m_sProgramDirectory = directory; }
    void setEnvironment(const QProcessEnvironment& environment) { m_environment = environment; }

    // Grid figures the commands rely on.
    int visibleRows() const { return m_iVisibleRows; }
    int maxTopRow() const { return m_iMaxTopRow; }
    bool hasRecords() const { return m_bHasRecords; }

    // The number of data rows a grid of that height shows, from the heading row's height and the
    // height of one pixel, all in twips.
    static int VisibleRowsFor(double gridHeight, double row0Height, double twipsPerPixel);

    // The recording a refresh shows selected.
    qint64 currentID() const { return m_iCurrentID; }
    void setCurrentID(qint64 id) { m_iCurrentID = id; }

    // The display the grid shows, through whatever proxy stands between them.
    DisplayModel* display() const { return m_display; }
    // Puts a proxy (a filter or a sort) between the display and the grid, or none.
    void setDisplayProxy(QAbstractProxyModel* proxy);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Start-up and shutdown
    void CreateControls();
    void CreateToolbar();
    void CreateMenus();
    bool Initialise();
    bool OpenCatalogue(const QString& sWritten);
    std::unique_ptr<Database> OpenWaitingVisibly(const QString& sPath);
    void ShutDown();
    void cmdExit_Click();
    void mnuFileItem_Click(int iIndex);

    // Selections
    void LoadSelections();
    void cboSQL_Click();
    // The Selection's condition with its questions answered; a refresh after a save reuses the
    // last answers instead of asking again.
    QString PromptForParameters(const QString& sTitle, const QString& sCondition, bool bReuseAnswers);

    // Display refresh
    void RefreshGrid(bool bReuseAnswers = false);
    void EmptyGrid();
    int FillGrid();
    // Runs a task on the catalogue that the user may cancel (a BusyWatch labelled so): a cancel
    // stops it with EngineError::Kind::Interrupted.
    void RunCancellable(const QString& sLabel, const std::function<void()>& task);
    void ShowNoRecordings(const QString& sCaption = QStringLiteral("(No Recordings Found)"));
    // True when the catalogue holds no recording at all.
    bool CatalogueIsEmpty() const;
    void EnableRecordCommands(bool bEnable);
    void cmdRefresh_Click();
    void tmrMessage_Timer();

    // The View menu: the filter, sorting by a column, Refresh
    void CreateFilterBox();
    void CreateViewMenu();
    void SetUpSorting();
    // Sorts by a column (again: the other way round); -1 goes back to the Selection's own order.
    void SortBy(int iColumn);
    void ClearSort();
    void txtFilter_Change();
    // The commands, the last top row and the status line after the shown rows changed.
    void ShowShownCount();

    // Grid and layout
    void SetUpGrid();
    // The column widths the user drags are remembered in varolin.ini.
    void grdData_ColumnResized();
    void SaveColumnWidths();
    void Form_Resize();
    void grdData_Click();
    void SelectCurrentRecording();

    // Commands
    void mnuEditItem_Click(int iIndex);
    void mnuFindItem_Click(int iIndex);
    void mnuHelpItem_Click();

    // Recording commands and the grid's mouse and keys
    void cmdNew_Click();
    void cmdAmend_Click();
    void cmdDelete_Click();
    // Shows the editor on the request; says why when it could not be shown.
    frmRecord::Result ShowRecordEditor(const EditRequest& request);
    void LetWindowSettle();
    void RefreshAfterChange();
    void grdData_DblClick();
    void grdData_KeyDown(int iKeyCode, Qt::KeyboardModifiers iShift);
    void grdData_RowColChange();
    qint64 RowID(int iRow) const;
    // The file to export the display to, asked of the user: named after the Selection with the
    // extension, first offered in the folder used last, which it becomes. Empty when cancelled.
    QString ChooseExportFile(const QString& sExtension, const QString& sCaption = QStringLiteral("Export Display"),
                             const QString& sFilter = QStringLiteral("CSV files (*.csv);;All files (*)"));
    // Deletes the recording of a row when the catalogue still holds it as shown; else tells the
    // user and asks.
    enum class DeleteOutcome { Deleted, Kept, Gone };
    DeleteOutcome DeleteIfAsShown(int iRow);
    qint64 NeighbourID(int iRow) const;

    // Find
    void cmdFind_Click();
    void FindInGrid(FindMode mode, const QString& sText);

    // Window commands
    void cmdFormats_Click();
    void cmdSettings_Click();
    void cmdSelections_Click();

    // Copy
    void CopyGridToClipboard();

    // Undo and Redo of the changes made in this run
    // Runs a command, keeping what it commits to the catalogue as one step to undo.
    void RecordChange(UndoStack::Kind kind, const std::function<void()>& command);
    void UndoChange(bool bRedo);
    // The menu names what Undo and Redo would do, and offers them only when there is something.
    void UpdateUndoItems();

    // Backups: a copy of a changed catalogue at start-up, and File > Restore Backup
    void BackUpAtStart();
    void mnuFileRestore_Click();

    // Statistics, printing and the PDF file
    // True when the display shows recordings; else says there are none to do that to.
    bool HasDisplayToShow(const QString& sWhat);
    void mnuViewStatistics_Click();
    DisplayPages PagesOfDisplay() const;
    void mnuFilePrint_Click();
    void mnuFileExportPdf_Click();

    // Import and export
    void mnuFileImport_Click();
    void mnuFileExport_Click();
    void KeepExportShortcut();

    // Controls
    QFrame* fraButtons = nullptr;
    QToolButton* cmdExit = nullptr;
    QToolButton* cmdCopy = nullptr;
    QToolButton* cmdNew = nullptr;
    QToolButton* cmdAmend = nullptr;
    QToolButton* cmdDelete = nullptr;
    QToolButton* cmdFind = nullptr;
    QToolButton* cmdRefresh = nullptr;
    QToolButton* cmdSettings = nullptr;
    QToolButton* cmdFormats = nullptr;
    QToolButton* cmdSelections = nullptr;
    QComboBox* cboSQL = nullptr;
    QLineEdit* txtFilter = nullptr;
    QFrame* fraMain = nullptr;
    Grid* grdData = nullptr;
    StatusPanel* pnlStatus = nullptr;
    QTimer* tmrMessage = nullptr;
    QTimer* tmrWidths = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuFind = nullptr;
    QMenu* mnuHelp = nullptr;
    QMap<int, QAction*> mnuFileItem;
    QMap<int, QAction*> mnuEditItem;
    QMap<int, QAction*> mnuFindItem;
    QAction* mnuHelpItem = nullptr;
    // The menu that closed last and when: Alt+F moves on from File to Find.
    QMenu* m_pLastClosedMenu = nullptr;
    QElapsedTimer m_menuClosed;

    // Window state
    Session& m_session;
    DisplayModel* m_display = nullptr;
    ShownRecordings* m_shown = nullptr; // the filter and the sort between the display and the grid
    // The recording a refresh shows selected.
    qint64 m_iCurrentID = 0;
    QString m_sProgramDirectory;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
    QString m_sLastWhere;
    // The statement behind the display, once it has run; empty while nothing is shown.
    QString m_sDisplayStatement;
    // The paper, its way round and its margins, as last chosen for printing.
    QPageLayout m_pageLayout = PdfExport::defaultLayout();
    // Where the last file was imported from or exported to.
    QString m_sInterchangeFolder;
    bool m_bHasRecords = false;
    int m_iMaxTopRow = 1;
    int m_iVisibleRows = 0;
    int m_iMaxLeftCol = 0;
    bool m_bEnded = false;
    BusyWatch* m_pBusy = nullptr; // the task running on the catalogue, which a close stops first
    int m_iSavedCol = 0;
    bool m_bRestoreCol = false;
    bool m_bSettingWidths = false; // the grid's widths are being set, not dragged

    // Windows opened from here: one object each for the whole run.
    frmRecord* m_frmRecord = nullptr;
    frmFind* m_frmFind = nullptr;
    frmFormats* m_frmFormats = nullptr;
    frmSettings* m_frmSettings = nullptr;
};
