#include "interchange/frmImport.h"

#include "interchange/AccessDatabase.h"
#include "interchange/CsvReader.h"
#include "interchange/InterchangeError.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "store/Database.h"
#include "store/EngineError.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The fields' captions, each with an access key of its own.
const char* const kFieldCaptions[RecordingFields::Count] = {
    "&Artist:", "&Title:", "&Year:", "&Format:", "&Label:", "&Catalogue No.:", "I&nternational Catalogue No.:",
    "N&otes:"};

void report(QWidget* parent, const QString& text)
{
    Dialogs::message(parent, text, QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
}

} // namespace

frmImport::frmImport(Database& catalogue, QWidget* parent) : DialogBase(parent), m_catalogue(catalogue)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import Recordings"));
    CreateControls();
}

frmImport::~frmImport() = default;

void frmImport::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* source = new QFormLayout;
    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setReadOnly(true);
    txtFile->setFocusPolicy(Qt::NoFocus);
    source->addRow(QStringLiteral("File:"), txtFile);
    cboTable = new QComboBox(this);
    cboTable->setObjectName(QStringLiteral("cboTable"));
    cboTable->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* lblTable = new QLabel(QStringLiteral("Ta&ble:"), this);
    lblTable->setBuddy(cboTable);
    source->addRow(lblTable, cboTable);
    connect(cboTable, &QComboBox::activated, this, &frmImport::cboTable_Click);
    layout->addLayout(source);

    auto* fraFields = new QGroupBox(QStringLiteral("Columns of the file that fill each field"), this);
    auto* fields = new QGridLayout(fraFields);
    for (int f = 0; f < RecordingFields::Count; ++f) {
        cboField[f] = new QComboBox(fraFields);
        cboField[f]->setObjectName(QStringLiteral("cboField") + RecordingFields::name(f));
        // A long column name must not widen the window past the screen.
        cboField[f]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        cboField[f]->setMinimumContentsLength(16);
        auto* label = new QLabel(QLatin1String(kFieldCaptions[f]), fraFields);
        label->setBuddy(cboField[f]);
        // Two columns of fields, read down.
        fields->addWidget(label, f % 4, (f / 4) * 2);
        fields->addWidget(cboField[f], f % 4, (f / 4) * 2 + 1);
        connect(cboField[f], &QComboBox::currentIndexChanged, this, [this, f] { cboField_Click(f); });
    }
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    layout->addWidget(fraFields);

    auto* lblPreview = new QLabel(QStringLiteral("The first rows, as they will be stored:"), this);
    layout->addWidget(lblPreview);
    tblPreview = new QTableWidget(this);
    tblPreview->setObjectName(QStringLiteral("tblPreview"));
    tblPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPreview->setTabKeyNavigation(false);
    tblPreview->setColumnCount(RecordingFields::Count);
    QStringList headings;
    for (int f = 0; f < RecordingFields::Count; ++f)
        headings.append(RecordingFields::heading(f));
    tblPreview->setHorizontalHeaderLabels(headings);
    tblPreview->verticalHeader()->setDefaultSectionSize(tblPreview->fontMetrics().height() + 6);
    tblPreview->setMinimumHeight(tblPreview->fontMetrics().height() * 12);
    layout->addWidget(tblPreview, 1);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    layout->addWidget(lblSummary);
    prgImport = new QProgressBar(this);
    prgImport->setObjectName(QStringLiteral("prgImport"));
    prgImport->setValue(0);
    layout->addWidget(prgImport);

    auto* buttons = new QDialogButtonBox(this);
    cmdImport = buttons->addButton(QStringLiteral("&Import"), QDialogButtonBox::AcceptRole);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setDefault(true);
    cmdCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdImport, &QPushButton::clicked, this, &frmImport::cmdImport_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);

    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 32);
    watchKeys();
}

std::optional<Importer::Counts> frmImport::ShowModal(const QString& sPath)
{
    if (!Form_Load(sPath) || exec() != QDialog::Accepted)
        return std::nullopt;
    return m_counts;
}

void frmImport::okKey()
{
    if (cmdImport->isEnabled())
        cmdImport_Click();
}

bool frmImport::Form_Load(const QString& sPath)
{
    BusyCursor busy;
    m_sPath = sPath;
    txtFile->setText(QDir::toNativeSeparators(sPath));
    try {
        if (AccessDatabase::isAccessFile(sPath)) {
            m_access = std::make_unique<AccessDatabase>(sPath);
            if (m_access->tables().isEmpty())
                throw InterchangeError(QStringLiteral("'%1' holds no tables.").arg(sPath));
            cboTable->addItems(m_access->tables());
            const int iRecordings = cboTable->findText(m_access->recordingTable());
            cboTable->setCurrentIndex(std::max(iRecordings, 0));
            LoadTable(cboTable->currentText());
            cboTable->setFocus();
            return true;
        }
        cboTable->setEnabled(false);
        m_source = std::make_unique<CsvReader>(CsvReader::fromFile(sPath));
        m_importer = std::make_unique<Importer>(m_catalogue, *m_source, ColumnMapping::match(m_source->columns()));
        ShowMapping();
        cboField[RecordingFields::Artist]->setFocus();
    } catch (const InterchangeError& e) {
        busy.restore();
        report(parentWidget(), e.message());
        return false;
    } catch (const EngineError& e) {
        busy.restore();
        report(parentWidget(), e.description());
        return false;
    }
    return true;
}

void frmImport::LoadTable(const QString& sTable)
{
    // A table without a recording's columns is still shown: the user may match them by hand. A table
    // that cannot be read leaves nothing to import, rather than the last table's columns.
    m_importer.reset();
    m_source.reset();
    try {
        m_source = m_access->readTable(sTable);
        m_importer = std::make_unique<Importer>(m_catalogue, *m_source, ColumnMapping::match(m_source->columns()));
    } catch (...) {
        m_importer.reset();
        m_source.reset();
        ShowMapping();
        throw;
    }
    ShowMapping();
}

void frmImport::ShowMapping()
{
    m_bShowing = true;
    for (int f = 0; f < RecordingFields::Count; ++f) {
        cboField[f]->clear();
        cboField[f]->addItem(QStringLiteral("(none)"), -1);
        const QStringList columns = m_source ? m_source->columns() : QStringList();
        for (int c = 0; c < columns.size(); ++c)
            cboField[f]->addItem(columns.at(c), c);
        const int column = m_importer ? m_importer->mapping().column(f) : -1;
        cboField[f]->setCurrentIndex(cboField[f]->findData(column));
    }
    m_bShowing = false;
    ShowPlan();
}

void frmImport::ShowPlan()
{
    BusyCursor busy;
    tblPreview->clearContents();
    const int n = m_importer ? std::min(kPreviewRows, m_source->rowCount()) : 0;
    tblPreview->setRowCount(n);
    for (int r = 0; r < n; ++r) {
        const Importer::Fields fields = m_importer->fields(r);
        for (int f = 0; f < RecordingFields::Count; ++f)
            tblPreview->setItem(r, f,
                                new QTableWidgetItem(QString(fields[f]).replace(QLatin1Char('\n'), QChar(0x21B5))));
    }
    const bool bMapped = m_importer && !m_importer->mapping().isEmpty();
    cmdImport->setEnabled(bMapped);
    if (!bMapped) {
        lblSummary->setText(QStringLiteral("No column fills a field: choose the columns to import."));
        return;
    }
    try {
        lblSummary->setText(Importer::summary(m_importer->plan(), false) + QLatin1Char('.'));
    } catch (const InterchangeError& e) {
        // What cannot be imported is said where the summary stands, before Import is pressed.
        lblSummary->setText(e.message());
        cmdImport->setEnabled(false);
    }
}

void frmImport::cboTable_Click()
{
    try {
        BusyCursor busy;
        LoadTable(cboTable->currentText());
    } catch (const InterchangeError& e) {
        report(this, e.message());
    } catch (const EngineError& e) {
        report(this, e.description());
    }
}

void frmImport::cboField_Click(int iField)
{
    if (m_bShowing || !m_importer)
        return;
    ColumnMapping mapping = m_importer->mapping();
    mapping.setColumn(iField, cboField[iField]->currentData().toInt());
    m_importer->setMapping(mapping);
    ShowPlan();
}

void frmImport::EnableControls(bool bEnable)
{
    cboTable->setEnabled(bEnable && m_access);
    for (QComboBox* combo : cboField)
        combo->setEnabled(bEnable);
    cmdImport->setEnabled(bEnable);
    cmdCancel->setEnabled(bEnable);
}

void frmImport::cmdImport_Click()
{
    if (!m_importer || m_importer->mapping().isEmpty())
        return;
    EnableControls(false);
    BusyCursor busy;
    try {
        m_counts = m_importer->run([this](int iDone, int iTotal) {
            prgImport->setMaximum(std::max(iTotal, 1));
            prgImport->setValue(iDone);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const InterchangeError& e) {
        busy.restore();
        report(this, e.message());
        EnableControls(true);
        return;
    } catch (const EngineError& e) {
        busy.restore();
        prgImport->setValue(0);
        report(this, QStringLiteral("The recordings could not be imported, and the catalogue is as it was:\r\n\r\n") +
                         e.description());
        EnableControls(true);
        return;
    }
    accept();
}
