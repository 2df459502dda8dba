#pragma once

#include "platform/DialogBase.h"

class QFrame;
class QLabel;
class QToolButton;

// The about box: the program's title, its version and a line on what it is. Built for one showing
// and discarded after it.
class frmAbout : public DialogBase
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Shows the box modally until OK, Enter or Escape closes it.
    int ShowModal();

protected:
    // Enter and Escape both close it; a key still held from the menu that opened it does not.
    void okKey() override { cmdOK_Click(); }
    void cancelKey() override { cmdOK_Click(); }

private:
    void CreateControls();
    void Form_Load();
    void cmdOK_Click();

    QFrame* fraButtons = nullptr;
    QToolButton* cmdOK = nullptr;
    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
};
