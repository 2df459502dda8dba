// Start-up and shutdown of the main window.
#include "browser/frmMain.h"

#include "platform/BusyCursor.h"
#include "platform/BusyWatch.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/KeyCodes.h"
#include "platform/StatusPanel.h"
#include "platform/Twips.h"
#include "shared/DisplayModel.h"
#include "shared/FileLocations.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"
#include "shared/ShownRecordings.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/EngineError.h"

#include <QAbstractProxyModel>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>

frmMain::frmMain(Session& session, QWidget* parent) : QMainWindow(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Varolin"));
    m_sProgramDirectory = QCoreApplication::applicationDirPath();
    CreateControls();
    CreateMenus();
    KeepExportShortcut();
}

frmMain::~frmMain() = default;

void frmMain::CreateControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(client);

    fraButtons = new QFrame(client);
    fraButtons->setObjectName(QStringLiteral("fraButtons"));
    fraButtons->setFrameShape(QFrame::StyledPanel);
    CreateToolbar();

    fraMain = new QFrame(client);
    fraMain->setObjectName(QStringLiteral("fraMain"));
    fraMain->setFrameShape(QFrame::StyledPanel);
    grdData = new Grid(fraMain);
    grdData->setObjectName(QStringLiteral("grdData"));
    grdData->hide(); // until the first refresh fills it
    m_display = new DisplayModel(this);
    m_display->setObjectName(QStringLiteral("display"));
    m_shown = new ShownRecordings(this);
    setDisplayProxy(m_shown);
    SetUpSorting();
    connect(grdData, &Grid::cellClicked, this, &frmMain::grdData_Click);
    connect(grdData, &Grid::cellDoubleClicked, this, &frmMain::grdData_DblClick);
    connect(grdData, &Grid::rowColChange, this, &frmMain::grdData_RowColChange);
    connect(grdData, &Grid::keyDown, this, [this](int iKey, Qt::KeyboardModifiers iShift) {
        grdData_KeyDown(KeyCodes::virtualKey(iKey, iShift), iShift);
    });

    pnlStatus = new StatusPanel(client);
    pnlStatus->setObjectName(QStringLiteral("pnlStatus"));

    tmrMessage = new QTimer(this);
    tmrMessage->setObjectName(QStringLiteral("tmrMessage"));
    connect(tmrMessage, &QTimer::timeout, this, &frmMain::tmrMessage_Timer);
    tmrWidths = new QTimer(this);
    tmrWidths->setSingleShot(true);
    tmrWidths->setInterval(1000);
    connect(tmrWidths, &QTimer::timeout, this, &frmMain::SaveColumnWidths);
    connect(grdData->horizontalHeader(), &QHeaderView::sectionResized, this, &frmMain::grdData_ColumnResized);

    // The Tab key's round through the window.
    QWidget* const order[] = {cmdCopy, cmdNew,  cmdAmend,   cmdDelete,   cmdFind,    txtFilter,    cboSQL,
                              grdData, cmdExit, cmdRefresh, cmdSettings, cmdFormats, cmdSelections};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool frmMain::Form_Load()
{
    BusyCursor busy;
    // The normal size the window returns to from maximised: its inner area is 9645 by 6360 twips.
    resize(Twips::toPixels(9645, this), Twips::toPixels(6360, this) + menuBar()->sizeHint().height());
    setWindowState(Qt::WindowMaximized);
    show();
    QCoreApplication::processEvents();
    // The window may have been closed while it was being shown: the program has then ended, and no
    // event loop must be left running without a window.
    if (m_bEnded)
        return false;
    if (!Initialise()) {
        if (!m_bEnded)
            ShutDown();
        return false;
    }
    return !m_bEnded;
}

bool frmMain::Initialise()
{
    const FileLocations locations(m_sProgramDirectory, m_environment);
    QString sError;
    if (!locations.prepare(&sError)) {
        Dialogs::message(this, sError, QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
    m_session.setIniFile(locations.iniFile());
    // The window still starts, on the default catalogue; the file is left as it is.
    if (const QString sProblem = m_session.iniProblem(); !sProblem.isEmpty())
        Dialogs::message(this,
                         QStringLiteral("Varolin cannot read its settings file '%1': %2.\r\n\r\nIt starts without "
                                        "the Selections, hot keys and catalogue named there, and will not change "
                                        "the file.")
                             .arg(QDir::toNativeSeparators(locations.iniFile()), sProblem),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);

    if (!OpenCatalogue(m_session.cataloguePath(locations.defaultCatalogue())))
        return false;

    m_session.LoadSettings();
    BackUpAtStart();
    SetUpGrid();
    LoadSelections();

    grdData->setCol(0);
    grdData->setRow(1);
    grdData_Click();
    return true;
}

bool frmMain::OpenCatalogue(const QString& sWritten)
{
    // Only when no candidate is there is a new catalogue offered, at the last (without the spaces).
    const QStringList asCandidates = CataloguePathCandidates(sWritten);

    QString sMissing;
    for (const QString& sPath : asCandidates) {
        try {
            m_session.setCatalogue(OpenWaitingVisibly(sPath));
            return true;
        } catch (const EngineError& e) {
            if (e.kind() != EngineError::Kind::FileNotFound) {
                Dialogs::message(this, e.description(), QStringLiteral("Varolin"), QMessageBox::Ok,
                                 QMessageBox::Critical);
                return false;
            }
            sMissing = e.description();
        }
    }

    // The first start makes its catalogue at the default place without a word; a catalogue that
    // varolin.ini names and that is missing may be one the user expects to find, so that is asked.
    const QString sPath = asCandidates.last();
    const QString sQuestion = sMissing + QStringLiteral("\r\n\r\nDo you want to create a new, empty catalogue there?");
    if (m_session.namesCatalogue() &&
        Dialogs::message(this, sQuestion, QStringLiteral("Varolin"), QMessageBox::Yes | QMessageBox::No,
                         QMessageBox::Question, QMessageBox::Yes) != QMessageBox::Yes)
        return false;
    try {
        Catalogue::create(sPath);
        m_session.setCatalogue(Database::open(sPath));
        if (!m_session.namesCatalogue())
            ShowStatusMessage(this,
                              QStringLiteral("A new catalogue was made at %1").arg(QDir::toNativeSeparators(sPath)), 0);
        return true;
    } catch (const EngineError& e) {
        Dialogs::message(this, e.description(), QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
}

std::unique_ptr<Database> frmMain::OpenWaitingVisibly(const QString& sPath)
{
    try {
        return Database::open(sPath, false, false, 0);
    } catch (const EngineError& e) {
        if (e.kind() != EngineError::Kind::Locked)
            throw;
    }
    // Another program holds the catalogue: the wait of up to the busy timeout is shown, painted at
    // once, since no event runs while the engine waits.
    ShowStatusMessage(this, QStringLiteral("Waiting for another program to finish with the catalogue ..."), 0);
    pnlStatus->repaint();
    struct ClearStatus
    {
        frmMain* window;
        ~ClearStatus() { ShowStatusMessage(window, QString(), 0); }
    } clear{this};
    return Database::open(sPath);
}

void frmMain::ShutDown()
{
    if (tmrWidths->isActive())
        SaveColumnWidths();
    m_session.closeCatalogue();
    m_bEnded = true;
    tmrMessage->stop();
    hide();
    QCoreApplication::exit(0);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // A statement running on the catalogue is stopped first; the window closes once it has.
    if (m_pBusy) {
        m_pBusy->cancel();
        event->ignore();
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    event->accept();
    if (!m_bEnded)
        ShutDown();
}

void frmMain::cmdExit_Click()
{
    ShutDown();
}

void frmMain::mnuFileItem_Click(int iIndex)
{
    if (iIndex == 0)
        mnuFileImport_Click();
    else if (iIndex == 1)
        mnuFileExport_Click();
    else if (iIndex == 2)
        mnuFileRestore_Click();
    else if (iIndex == 3)
        mnuFileExportPdf_Click();
    else if (iIndex == 4)
        mnuFilePrint_Click();
    else if (iIndex == 99)
        ShutDown();
}

void frmMain::setDisplayProxy(QAbstractProxyModel* proxy)
{
    if (proxy)
        proxy->setSourceModel(m_display);
    grdData->setModel(proxy ? static_cast<QAbstractItemModel*>(proxy) : m_display);
}
