#pragma once

#include "shared/Session.h"

#include "platform/DialogBase.h"
#include <optional>

class QCheckBox;
class QFrame;
class QLineEdit;
class QToolButton;

// The find dialog: the text to look for in the grid and how to match it. It is hidden, never
// destroyed, between uses, so it shows the last search again. OK returns the search; Cancel returns
// none.
class frmFind : public DialogBase
{
    Q_OBJECT

public:
    explicit frmFind(QWidget* parent = nullptr);

    // The search confirmed with OK; nothing for Cancel. Ignore Accents starts as the last search left it.
    std::optional<FindRequest> ShowModal(const FindRequest& last = {});

protected:
    void okKey() override { cmdOK_Click(); }
    void cancelKey() override { cmdCancel_Click(); }
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
    QCheckBox* chkAccents = nullptr;
};
