#pragma once

#include <QDialog>

class QCheckBox;
class QFrame;
class QLineEdit;
class QToolButton;

// The find dialog: the text to look for in the grid and how to match it. It is hidden, never
// destroyed, between uses, so it shows the last search again. OK leaves the search in g_sFindText,
// g_bFindMatchCase and g_bFindWholeCell; Cancel empties g_sFindText.
class frmFind : public QDialog
{
    Q_OBJECT

public:
    explicit frmFind(QWidget* parent = nullptr);

    int ShowModal();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdOK_Click();
    void cmdCancel_Click();

    QFrame* fraButtons = nullptr;
    QToolButton* cmdOK = nullptr;
    QToolButton* cmdCancel = nullptr;
    QLineEdit* txtFind = nullptr;
    QCheckBox* chkCase = nullptr;
    QCheckBox* chkCell = nullptr;
};
