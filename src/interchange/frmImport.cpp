#include "interchange/frmImport.h"

#include "interchange/AccessDatabase.h"
#include "interchange/CsvReader.h"
#include "interchange/InterchangeError.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "store/Database.h"
#include "store/EngineError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
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

    auto* besides = new QHBoxLayout;
    besides->addWidget(CreateFormatControls(), 3);
    besides->addWidget(CreateColumnControls(), 2);
    layout->addLayout(besides);

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
    tblPreview->setMinimumHeight(tblPreview->fontMetrics().height() * 9);
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

    resize(fontMetrics().averageCharWidth() * 124, fontMetrics().height() * 42);
    watchKeys();
}

QWidget* frmImport::CreateFormatControls()
{
    auto* fraFormats = new QGroupBox(QStringLiteral("Formats of the recordings to be added"), this);
    auto* formats = new QGridLayout(fraFormats);
    auto* lblFormats = new QLabel(QStringLiteral("For&mats:"), fraFormats);
    tblFormats = new QTableWidget(fraFormats);
    tblFormats->setObjectName(QStringLiteral("tblFormats"));
    lblFormats->setBuddy(tblFormats);
    tblFormats->setColumnCount(3);
    tblFormats->setHorizontalHeaderLabels(
        {QStringLiteral("In the file"), QStringLiteral("Recordings"), QStringLiteral("Becomes")});
    tblFormats->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblFormats->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblFormats->setTabKeyNavigation(false);
    tblFormats->verticalHeader()->hide();
    tblFormats->verticalHeader()->setDefaultSectionSize(tblFormats->fontMetrics().height() + 6);
    tblFormats->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tblFormats->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    tblFormats->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    tblFormats->setMinimumHeight(tblFormats->fontMetrics().height() * 7);
    connect(tblFormats, &QTableWidget::currentCellChanged, this, &frmImport::tblFormats_RowChanged);
    auto* lblTarget = new QLabel(QStringLiteral("B&ecomes:"), fraFormats);
    cboFormatTarget = new QComboBox(fraFormats);
    cboFormatTarget->setObjectName(QStringLiteral("cboFormatTarget"));
    cboFormatTarget->setEditable(true);
    cboFormatTarget->setInsertPolicy(QComboBox::NoInsert);
    cboFormatTarget->setToolTip(QStringLiteral("The catalogue's format for the chosen formats of the file: pick one, "
                                               "type a new one, or leave it empty for none"));
    lblTarget->setBuddy(cboFormatTarget);
    connect(cboFormatTarget->lineEdit(), &QLineEdit::textEdited, this, [this] { m_bFormatEdited = true; });
    connect(cboFormatTarget, &QComboBox::activated, this, [this] {
        m_bFormatEdited = true;
        cboFormatTarget_Choose();
    });
    connect(cboFormatTarget->lineEdit(), &QLineEdit::editingFinished, this, &frmImport::cboFormatTarget_Choose);
    formats->addWidget(lblFormats, 0, 0, Qt::AlignTop);
    formats->addWidget(tblFormats, 0, 1);
    formats->addWidget(lblTarget, 1, 0);
    formats->addWidget(cboFormatTarget, 1, 1);
    return fraFormats;
}

QWidget* frmImport::CreateColumnControls()
{
    auto* fraColumns = new QGroupBox(QStringLiteral("Columns and fields left over"), this);
    auto* columns = new QVBoxLayout(fraColumns);
    lblColumns = new QLabel(fraColumns);
    lblColumns->setObjectName(QStringLiteral("lblColumns"));
    lblColumns->setWordWrap(true);
    lblColumns->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    columns->addWidget(lblColumns, 1);
    chkNotesExtra = new QCheckBox(QStringLiteral("A&ppend the columns left out to Notes"), fraColumns);
    chkNotesExtra->setObjectName(QStringLiteral("chkNotesExtra"));
    connect(chkNotesExtra, &QCheckBox::toggled, this, &frmImport::chkNotesExtra_Click);
    columns->addWidget(chkNotesExtra);
    return fraColumns;
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
    cboFormatTarget->clear();
    if (m_importer) {
        cboFormatTarget->addItems(m_importer->catalogueFormats());
        m_importer->setNotesExtra(chkNotesExtra->isChecked());
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
        // A release the catalogue holds already is shown as it is, but greyed: it is not added.
        const bool bPresent = m_importer->isPresent(fields);
        for (int f = 0; f < RecordingFields::Count; ++f) {
            auto* item = new QTableWidgetItem(QString(fields[f]).replace(QLatin1Char('\n'), QChar(0x21B5)));
            if (bPresent) {
                item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
                item->setToolTip(QStringLiteral("Already in the catalogue: not added again"));
            }
            tblPreview->setItem(r, f, item);
        }
    }
    const bool bMapped = m_importer && !m_importer->mapping().isEmpty();
    cmdImport->setEnabled(bMapped);
    if (!bMapped) {
        lblSummary->setText(QStringLiteral("No column fills a field: choose the columns to import."));
        ShowFormats({});
        ShowColumns({});
        return;
    }
    try {
        const Importer::Counts counts = m_importer->plan();
        lblSummary->setText(Importer::summary(counts, false) + QLatin1Char('.'));
        ShowFormats(counts.formats);
        ShowColumns(counts);
    } catch (const InterchangeError& e) {
        // What cannot be imported is said where the summary stands, before Import is pressed.
        lblSummary->setText(e.message());
        cmdImport->setEnabled(false);
    }
}

void frmImport::ShowFormats(const QList<Importer::FormatUse>& formats)
{
    // The rows chosen stay chosen as the list is made again.
    const auto sourceAt = [this](int row) { return tblFormats->item(row, 0)->text(); };
    QSet<QString> selected;
    for (const QModelIndex& index : tblFormats->selectionModel()->selectedRows())
        selected.insert(sourceAt(index.row()));
    const QString current = tblFormats->currentRow() >= 0 ? sourceAt(tblFormats->currentRow()) : QString();
    m_bShowing = true;
    tblFormats->clearSelection();
    tblFormats->setRowCount(int(formats.size()));
    int currentRow = formats.isEmpty() ? -1 : 0;
    for (int r = 0; r < formats.size(); ++r) {
        const Importer::FormatUse& use = formats.at(r);
        auto* source = new QTableWidgetItem(use.source);
        source->setToolTip(use.source);
        tblFormats->setItem(r, 0, source);
        auto* rows = new QTableWidgetItem(QString::number(use.rows));
        rows->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        tblFormats->setItem(r, 1, rows);
        auto* target = new QTableWidgetItem(use.target.isEmpty() ? QStringLiteral("(no format)")
                                            : use.isNew          ? use.target + QStringLiteral(" (new)")
                                                                 : use.target);
        target->setData(Qt::UserRole, use.target);
        tblFormats->setItem(r, 2, target);
        if (use.source == current)
            currentRow = r;
    }
    if (currentRow >= 0)
        tblFormats->setCurrentCell(currentRow, 0, QItemSelectionModel::NoUpdate);
    for (int r = 0; r < formats.size(); ++r) {
        if (selected.contains(formats.at(r).source) || (selected.isEmpty() && r == currentRow))
            tblFormats->selectionModel()->select(tblFormats->model()->index(r, 0),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    m_bShowing = false;
    cboFormatTarget->setEnabled(!formats.isEmpty());
    tblFormats_RowChanged();
}

void frmImport::ShowColumns(const Importer::Counts& counts)
{
    const QStringList sentences = Importer::columnsSummary(counts, false);
    lblColumns->setText(sentences.isEmpty() ? QStringLiteral("Every column fills a field, and every field a column.")
                                            : sentences.join(QLatin1Char('\n')));
    m_bColumnsLeftOut = !counts.columnsLeftOut.isEmpty();
    chkNotesExtra->setEnabled(m_bColumnsLeftOut);
}

void frmImport::tblFormats_RowChanged()
{
    if (m_bShowing)
        return;
    const int row = tblFormats->currentRow();
    m_bShowing = true;
    cboFormatTarget->setEditText(row >= 0 ? tblFormats->item(row, 2)->data(Qt::UserRole).toString() : QString());
    m_bShowing = false;
    m_bFormatEdited = false;
}

bool frmImport::TakeFormatTarget()
{
    if (!m_importer || !m_bFormatEdited)
        return false;
    m_bFormatEdited = false;
    QList<int> rows;
    for (const QModelIndex& index : tblFormats->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty() && tblFormats->currentRow() >= 0)
        rows.append(tblFormats->currentRow());
    const QString target = cboFormatTarget->currentText();
    bool changed = false;
    for (const int row : rows) {
        if (tblFormats->item(row, 2)->data(Qt::UserRole).toString() != target) {
            m_importer->setFormatTarget(tblFormats->item(row, 0)->text(), target);
            changed = true;
        }
    }
    return changed;
}

void frmImport::cboFormatTarget_Choose()
{
    if (!m_bShowing && TakeFormatTarget())
        ShowPlan();
}

void frmImport::chkNotesExtra_Click()
{
    if (m_bShowing || !m_importer)
        return;
    m_importer->setNotesExtra(chkNotesExtra->isChecked());
    ShowPlan();
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
    tblFormats->setEnabled(bEnable);
    cboFormatTarget->setEnabled(bEnable && tblFormats->rowCount() > 0);
    chkNotesExtra->setEnabled(bEnable && m_bColumnsLeftOut);
    cmdImport->setEnabled(bEnable);
    cmdCancel->setEnabled(bEnable);
}

void frmImport::cmdImport_Click()
{
    if (!m_importer || m_importer->mapping().isEmpty())
        return;
    // A format typed and not yet left counts, as Enter in its box is Import.
    if (TakeFormatTarget())
        ShowPlan();
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
