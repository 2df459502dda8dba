#include "browser/frmFind.h"

#include "platform/ToolbarIcons.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

frmFind::frmFind(QWidget* parent) : DialogBase(parent)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setFixedSize(Twips::toPixels(6000, this), Twips::toPixels(2655, this));

    fraButtons = new QFrame(this);
    fraButtons->setObjectName(QStringLiteral("fraButtons"));
    fraButtons->setFrameShape(QFrame::StyledPanel);
    fraButtons->setGeometry(Twips::rect(0, 0, 5970, 540, this));
    auto pictureButton = [this](const char* name, const QString& tip, ToolbarIcons::Icon icon, int left) {
        return ToolbarIcons::button(fraButtons, name, tip, icon, Twips::rect(left, 120, 400, 380, this));
    };
    cmdOK = pictureButton("cmdOK", QStringLiteral("OK"), ToolbarIcons::OK, 120);
    cmdCancel = pictureButton("cmdCancel", QStringLiteral("Cancel"), ToolbarIcons::Cancel, 510);

    auto* lblFind = new QLabel(QStringLiteral("Find :"), this);
    lblFind->setObjectName(QStringLiteral("lblFind"));
    lblFind->setGeometry(Twips::rect(600, 960, 615, 255, this));
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setGeometry(Twips::rect(1200, 945, 4215, 285, this));
    lblFind->setBuddy(txtFind);
    chkCase = new QCheckBox(QStringLiteral("Match &Case"), this);
    chkCase->setObjectName(QStringLiteral("chkCase"));
    chkCase->move(Twips::toPixels(1800, this), Twips::toPixels(1560, this));
    chkCase->adjustSize();
    chkCell = new QCheckBox(QStringLiteral("Match &Whole Cell"), this);
    chkCell->setObjectName(QStringLiteral("chkCell"));
    chkCell->move(Twips::toPixels(1800, this), Twips::toPixels(1920, this));
    chkCell->adjustSize();

    chkAccents = new QCheckBox(QStringLiteral("Ignore &Accents"), this);
    chkAccents->setObjectName(QStringLiteral("chkAccents"));
    chkAccents->move(Twips::toPixels(1800, this), Twips::toPixels(2280, this));
    chkAccents->adjustSize();

    setTabOrder(txtFind, chkCase);
    setTabOrder(chkCase, chkCell);
    setTabOrder(chkCell, chkAccents);
    setTabOrder(chkAccents, cmdCancel);
    setTabOrder(cmdCancel, cmdOK);
    watchKeys();

    connect(cmdOK, &QToolButton::clicked, this, &frmFind::cmdOK_Click);
    connect(cmdCancel, &QToolButton::clicked, this, &frmFind::cmdCancel_Click);
}

std::optional<FindRequest> frmFind::ShowModal(const FindRequest& last)
{
    chkAccents->setChecked(last.ignoreAccents);
    // Each showing starts in the text, all of it selected, so typing replaces the last search.
    txtFind->setFocus(Qt::OtherFocusReason);
    txtFind->selectAll();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return FindRequest{txtFind->text(), chkCase->isChecked(), chkCell->isChecked(), chkAccents->isChecked()};
}

bool frmFind::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtFind && event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            txtFind->selectAll();
    }
    return DialogBase::eventFilter(watched, event);
}

void frmFind::cmdOK_Click()
{
    QDialog::done(QDialog::Accepted);
}

void frmFind::cmdCancel_Click()
{
    QDialog::done(QDialog::Rejected);
}
