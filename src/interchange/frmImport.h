#pragma once

#include "interchange/ColumnMapping.h"
#include "interchange/Importer.h"

#include "platform/DialogBase.h"
#include <array>
#include <memory>
#include <optional>

class AccessDatabase;
class Database;
class ImportSource;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

// Brings a CSV file or a table of an Access database into the catalogue: the file's columns
// matched to the fields (the user may change them), each format of the file with the catalogue's
// format it becomes (the user may change them too), the columns that fill no field (they may go to
// Notes) and the fields no column fills, a preview of the first rows as they will be stored, how
// many recordings will be added and how many are there already, and the import itself with its
// progress.
class frmImport : public DialogBase
{
    Q_OBJECT

public:
    explicit frmImport(Database& catalogue, QWidget* parent = nullptr);
    ~frmImport() override;

    // Reads the file into the window, ready to show; a file that cannot be read is reported and
    // false returned.
    bool Form_Load(const QString& sPath);
    // What the import did, once the window has been left with Import.
    const Importer::Counts& ImportedCounts() const { return m_counts; }
    // Reads the file and shows the window until it is left: what was imported, or nothing when the
    // file could not be read or the window was cancelled.
    std::optional<Importer::Counts> ShowModal(const QString& sPath);

protected:
    void okKey() override;
    void cancelKey() override { done(QDialog::Rejected); }

private:
    void CreateControls();
    QWidget* CreateFormatControls();
    QWidget* CreateColumnControls();
    void LoadTable(const QString& sTable);
    void ShowMapping();
    void ShowPlan();
    void ShowFormats(const QList<Importer::FormatUse>& formats);
    void ShowColumns(const Importer::Counts& counts);
    void tblFormats_RowChanged();
    void cboFormatTarget_Choose();
    bool TakeFormatTarget();
    void chkNotesExtra_Click();
    void cboTable_Click();
    void cboField_Click(int iField);
    void cmdImport_Click();
    void EnableControls(bool bEnable);

    static constexpr int kPreviewRows = 20;

    QLineEdit* txtFile = nullptr;
    QComboBox* cboTable = nullptr;
    std::array<QComboBox*, RecordingFields::Count> cboField{};
    QTableWidget* tblFormats = nullptr;
    QComboBox* cboFormatTarget = nullptr;
    QLabel* lblColumns = nullptr;
    QCheckBox* chkNotesExtra = nullptr;
    QTableWidget* tblPreview = nullptr;
    QLabel* lblSummary = nullptr;
    QProgressBar* prgImport = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdCancel = nullptr;

    QString m_sPath;
    std::unique_ptr<AccessDatabase> m_access;
    Database& m_catalogue;
    std::unique_ptr<ImportSource> m_source;
    std::unique_ptr<Importer> m_importer;
    Importer::Counts m_counts;
    bool m_bShowing = false;      // the mapping is being put into the lists, not chosen by the user
    bool m_bFormatEdited = false; // the format box holds the user's choice, not yet taken
    bool m_bColumnsLeftOut = false;
};
