#pragma once

#include "platform/DialogBase.h"
#include "shared/CollectionStatistics.h"

class ChartPanel;
class Database;
class QAbstractItemModel;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

// The collection at a glance: its totals, and charts of its recordings by format, by decade, by
// year within a decade, and of its top artists and labels, each with its numbers in a table beside
// it. One control switches between the recordings on display (the filter included) and the whole
// catalogue. Tab moves from chart to table to the next chart; Copy Chart and Save Chart act on the
// chart the focus was in last.
class frmStatistics : public DialogBase
{
    Q_OBJECT

public:
    // shown is the display as the grid shows it; db the catalogue behind it.
    frmStatistics(const QAbstractItemModel& shown, Database& db, QWidget* parent = nullptr);

    void ShowModal();

    // What the charts now count.
    const CollectionStatistics& statistics() const { return m_statistics; }
    QList<ChartPanel*> panels() const;

protected:
    void okKey() override { QDialog::accept(); }
    void cancelKey() override { QDialog::reject(); }

private:
    void CreateControls();
    void cboShow_Click();
    void cboDecade_Click();
    void ShowStatistics();
    void ShowTotals();
    // The panel the focus is in, or was in last.
    ChartPanel* CurrentPanel() const;
    void cmdCopy_Click();
    void cmdSave_Click();

    const QAbstractItemModel& m_shown;
    Database& m_db;
    CollectionStatistics m_statistics;
    ChartPanel* m_pLastPanel = nullptr;
    QString m_sSaveFolder;

    QComboBox* cboShow = nullptr;
    QLabel* lblTotals = nullptr;
    QScrollArea* scrCharts = nullptr;
    ChartPanel* pnlFormats = nullptr;
    ChartPanel* pnlDecades = nullptr;
    QComboBox* cboDecade = nullptr;
    ChartPanel* pnlYears = nullptr;
    ChartPanel* pnlArtists = nullptr;
    ChartPanel* pnlLabels = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;
};
