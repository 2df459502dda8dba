#pragma once

#include <QDialog>
#include <QVariant>

class QFrame;
class QListWidget;
class QListWidgetItem;
class QToolButton;

// The format list editor: the whole Format table in a sorted list, changed in memory by New, Amend
// and Delete, and written back in one transaction by Apply. The main window keeps one for the run
// and reads FormatsChanged after each showing.
class Session;

class frmFormats : public QDialog
{
    Q_OBJECT

public:
    explicit frmFormats(Session& session, QWidget* parent = nullptr);

    // Loads the list from the catalogue and shows the editor modally until it is left. A table that
    // cannot be read is reported and shows no editor.
    int ShowModal();
    // The last Apply wrote changes the user made; Cancel clears it.
    bool FormatsChanged() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void CreateControls();

    // Loading
    bool Form_Load();
    qint64 HighestReferencedFormat() const;

    // The list
    QListWidgetItem* NewItem(const QVariant& vDescription, qint64 iID) const;
    static QString SortKey(const QListWidgetItem* item);
    int InsertSorted(QListWidgetItem* item);
    QListWidgetItem* SelectedItem() const;
    void EnableItemButtons();
    bool AskDescription(const QString& sPrompt, const QString& sDefault, const QListWidgetItem* itemAmended,
                        QString* sDescription);

    // Handlers
    void cmdNew_Click();
    void cmdAmend_Click();
    void lstFormats_DblClick();
    void cmdDelete_Click();
    void cmdOK_Click();
    void RefuseFormatsTakenIntoUse() const;
    void cmdCancel_Click();
    bool Form_KeyDown(const QKeyEvent* event);
    void Unload(int iResult);

    // Controls
    QFrame* fraButtons = nullptr;
    QToolButton* cmdOK = nullptr;
    QToolButton* cmdCancel = nullptr;
    QToolButton* cmdNew = nullptr;
    QToolButton* cmdAmend = nullptr;
    QToolButton* cmdDelete = nullptr;
    QListWidget* lstFormats = nullptr;

    // Window state, kept for the whole run
    Session& m_session;
    bool m_bFormatsChanged = false;
    qint64 m_iMaxID = 0;
    bool m_bListChanged = false;
    bool m_bUnloading = false;
};
