#include "about/frmAbout.h"

#include "platform/ProgramIcon.h"
#include "platform/ToolbarIcons.h"
#include "platform/Twips.h"
#include "Version.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QToolButton>

namespace {

const QString kTitle = QStringLiteral("Varolin");

} // namespace

frmAbout::frmAbout(QWidget* parent) : DialogBase(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setWindowIcon(ProgramIcon::icon());
    CreateControls();
    setFixedSize(Twips::toPixels(4665, this), Twips::toPixels(2295, this));
}

void frmAbout::CreateControls()
{
    fraButtons = new QFrame(this);
    fraButtons->setObjectName(QStringLiteral("fraButtons"));
    fraButtons->setFrameShape(QFrame::StyledPanel);
    fraButtons->setGeometry(Twips::rect(0, 0, 4650, 540, this));

    cmdOK = ToolbarIcons::button(fraButtons, "cmdOK", QStringLiteral("OK"), ToolbarIcons::OK,
                                 Twips::rect(120, 120, 400, 380, this));
    connect(cmdOK, &QToolButton::clicked, this, &frmAbout::cmdOK_Click);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(Twips::rect(720, 1200, 480, 480, this));
    picIcon->setPixmap(ProgramIcon::icon().pixmap(picIcon->size(), devicePixelRatioF()));

    auto label = [this](const char* name, int left, int top, int width, int height) {
        auto* l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
        l->setGeometry(Twips::rect(left, top, width, height, this));
        return l;
    };
    lblTitle = label("lblTitle", 1560, 960, 2205, 240);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    lblVersion = label("lblVersion", 1560, 1320, 2085, 225);
    // Room for two lines, to the right edge: the sentence is never cut off.
    lblDescription = label("lblDescription", 1560, 1680, 2985, 495);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDescription->setText(QStringLiteral("A desktop catalogue of your music collection."));

    watchKeys();
}

int frmAbout::ShowModal()
{
    Form_Load();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    cmdOK->setFocus(Qt::ActiveWindowFocusReason);
    return exec();
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + kTitle);
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(VAROLIN_VERSION_MAJOR)
                            .arg(VAROLIN_VERSION_MINOR)
                            .arg(VAROLIN_VERSION_PATCH));
    lblTitle->setText(kTitle);
}

void frmAbout::cmdOK_Click()
{
    QDialog::done(QDialog::Accepted);
}
