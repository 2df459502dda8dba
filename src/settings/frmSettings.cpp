#include "settings/frmSettings.h"

#include "platform/Dialogs.h"
#include "platform/KeyCodes.h"
#include "platform/ToolbarIcons.h"
#include "platform/Twips.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTextDocument>
#include <QToolButton>

namespace {

// A hot-key entry longer than this is cut when the program next starts (the reader's limit).
const int kMaxEntryLength = 99;
const int kRowTops[] = {330, 720, 1080, 1440, 1800};

// A tooltip shows a name as written, not read as markup.
QString PlainTip(const QString& sTip)
{
    return Qt::mightBeRichText(sTip) ? Qt::convertFromPlainText(sTip) : sTip;
}

} // namespace

frmSettings::frmSettings(Session& session, QWidget* parent) : DialogBase(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    CreateControls();
    setFixedSize(Twips::toPixels(5295, this), Twips::toPixels(4005, this));
}

void frmSettings::CreateControls()
{
    fraButtons = new QFrame(this);
    fraButtons->setObjectName(QStringLiteral("fraButtons"));
    fraButtons->setFrameShape(QFrame::StyledPanel);
    fraButtons->setGeometry(Twips::rect(0, 0, 5295, 540, this));

    auto pictureButton = [this](const char* name, const QString& tip, ToolbarIcons::Icon icon, int left) {
        return ToolbarIcons::button(fraButtons, name, tip, icon, Twips::rect(left, 120, 400, 380, this));
    };
    cmdOK = pictureButton("cmdOK", QStringLiteral("OK"), ToolbarIcons::OK, 120);
    cmdCancel = pictureButton("cmdCancel", QStringLiteral("Cancel"), ToolbarIcons::Cancel, 510);

    chkRefresh = new QCheckBox(QStringLiteral("&Refresh Display after New/Amend/Delete"), this);
    chkRefresh->setObjectName(QStringLiteral("chkRefresh"));
    chkRefresh->setGeometry(Twips::rect(600, 840, 4215, 285, this));

    frmHotKeys = new QGroupBox(QStringLiteral("Hot Keys"), this);
    frmHotKeys->setObjectName(QStringLiteral("frmHotKeys"));
    frmHotKeys->setGeometry(Twips::rect(120, 1320, 4935, 2295, this));
    for (int i = 0; i < kRows; ++i) {
        lblHK[i] = new QLabel(frmHotKeys);
        lblHK[i]->setObjectName(QStringLiteral("lblHK%1").arg(i));
        lblHK[i]->setTextFormat(Qt::PlainText);
        lblEq[i] = new QLabel(QStringLiteral("="), frmHotKeys);
        lblEq[i]->setObjectName(QStringLiteral("lblEq%1").arg(i));
        lblEq[i]->setAlignment(Qt::AlignCenter);
        txtHK[i] = new QLineEdit(frmHotKeys);
        txtHK[i]->setObjectName(QStringLiteral("txtHK%1").arg(i));
        for (QWidget* w :
             {static_cast<QWidget*>(lblHK[i]), static_cast<QWidget*>(lblEq[i]), static_cast<QWidget*>(txtHK[i])})
            w->hide();
    }
    LayOutHotKeyRows(0);

    QWidget* const order[] = {chkRefresh, txtHK[0], txtHK[1], txtHK[2], txtHK[3], txtHK[4], cmdCancel, cmdOK};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // The window sees every key before the control that has the focus.
    watchKeys();

    connect(cmdOK, &QToolButton::clicked, this, &frmSettings::cmdOK_Click);
    connect(cmdCancel, &QToolButton::clicked, this, &frmSettings::cmdCancel_Click);
}

int frmSettings::HotKeyCount() const
{
    return qBound(0, m_session.hotKeys.count(), static_cast<int>(kRows));
}

void frmSettings::LayOutHotKeyRows(int iCount)
{
    // The name column is as wide as the longest name needs, so that "Stereo" is not cut to "St";
    // the text boxes give up the room. A name too long even for that ends in "…", whole in its tip.
    auto px = [this](int twips) { return Twips::toPixels(twips, this); };
    const QFontMetrics metrics = lblHK[0]->fontMetrics();
    const int iNameLeft = px(240);
    const int iMaxName = px(1800);
    int iNameWidth = px(255);
    for (int i = 0; i < iCount; ++i)
        iNameWidth = qMax(iNameWidth, metrics.horizontalAdvance(m_session.hotKeys.at(i).name) + 2);
    iNameWidth = qMin(iNameWidth, iMaxName);
    const int iEqLeft = qMax(px(600), iNameLeft + iNameWidth + px(45));
    const int iTextLeft = iEqLeft + px(315);
    const int iTextRight = px(915 + 3780);
    for (int i = 0; i < kRows; ++i) {
        const int iTop = px(kRowTops[i]);
        lblHK[i]->setGeometry(iNameLeft, iTop, iNameWidth, px(285));
        lblEq[i]->setGeometry(iEqLeft, iTop, px(255), px(285));
        txtHK[i]->setGeometry(iTextLeft, iTop, iTextRight - iTextLeft, px(285));
        if (i < iCount)
            lblHK[i]->setText(metrics.elidedText(m_session.hotKeys.at(i).name, Qt::ElideRight, iNameWidth));
    }
}

int frmSettings::ShowModal()
{
    Form_Load();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    chkRefresh->setFocus(Qt::ActiveWindowFocusReason);
    return exec();
}

void frmSettings::Form_Load()
{
    chkRefresh->setChecked(m_session.autoRefresh);
    const int iCount = HotKeyCount();
    LayOutHotKeyRows(iCount);
    for (int i = 0; i < kRows; ++i) {
        const bool bShown = i < iCount;
        lblHK[i]->setVisible(bShown);
        lblEq[i]->setVisible(bShown);
        txtHK[i]->setVisible(bShown);
        if (!bShown) {
            txtHK[i]->clear();
            continue;
        }
        const HotKey& hotKey = m_session.hotKeys.at(i);
        const QString sKey = KeyCodes::name(hotKey.code);
        lblHK[i]->setToolTip(PlainTip(QStringLiteral("%1, typed by %2").arg(hotKey.name, sKey)));
        txtHK[i]->setToolTip(PlainTip(QStringLiteral("The text %1 types in the recording editor").arg(sKey)));
        txtHK[i]->setAccessibleName(hotKey.name);
        txtHK[i]->setText(UnescapeHotKeyText(hotKey.text));
    }
}

bool frmSettings::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        // Only the first delivery, to the control with the focus: a key it ignores travels on to
        // its parents and must not be handled twice.
        QWidget* focus = QApplication::focusWidget();
        if (watched != (focus && isAncestorOf(focus) ? focus : static_cast<QWidget*>(this)))
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        // A held Alt+R would tick and untick the box for as long as it is held: its repeats are
        // taken from the shortcuts and dropped.
        if (key->isAutoRepeat() && key->modifiers() & Qt::AltModifier) {
            event->accept();
            return true;
        }
        return event->type() == QEvent::KeyPress && DialogBase::eventFilter(watched, event);
    }
    case QEvent::FocusIn: {
        // Coming back from another window or a menu is no new visit to the box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        for (int i = 0; i < kRows; ++i) {
            if (watched == txtHK[i])
                txtHK_GotFocus(i);
        }
        return false;
    }
    default:
        return false;
    }
}

void frmSettings::txtHK_GotFocus(int iIndex)
{
    // Typing replaces the whole text.
    txtHK[iIndex]->selectAll();
}

void frmSettings::cmdOK_Click()
{
    const bool bAutoRefresh = chkRefresh->isChecked();
    QList<IniFile::Entry> aEntries{{QStringLiteral("Initialisation"), QStringLiteral("Auto-Refresh"),
                                    bAutoRefresh ? QStringLiteral("Yes") : QStringLiteral("No")}};
    HotKeySet hotKeys = m_session.hotKeys;
    for (int i = 0; i < HotKeyCount(); ++i) {
        const QString sShown = txtHK[i]->text();
        const QString& sLoaded = m_session.hotKeys.at(i).text;
        // A text left as it was shown keeps its stored form: the shown form has lost every brace,
        // and storing it would turn "{TAB}" into the word "TAB".
        hotKeys.setText(i, sShown == UnescapeHotKeyText(sLoaded) ? sLoaded : EscapeHotKeyText(sShown));
        const QString sEntry = HotKeySet::entry(hotKeys.at(i), m_session.spaceSubst);
        if (sShown.contains(QLatin1Char('\n')) || sShown.contains(QLatin1Char('\r'))) {
            Refuse(QStringLiteral("The text of the hot key \"%1\" holds a line break, which varolin.ini cannot "
                                  "keep. Nothing has been saved.")
                       .arg(hotKeys.at(i).name),
                   txtHK[i]);
            return;
        }
        if (sEntry.size() > kMaxEntryLength) {
            Refuse(QStringLiteral("The text of the hot key \"%1\" is %2 characters too long: varolin.ini keeps %3 "
                                  "characters of a hot key, its name and key number included, and each \"(\" or \")\" "
                                  "takes three. Nothing has been saved.")
                       .arg(hotKeys.at(i).name)
                       .arg(sEntry.size() - kMaxEntryLength)
                       .arg(kMaxEntryLength),
                   txtHK[i]);
            return;
        }
        aEntries.append({QStringLiteral("Hot-Keys"), QString::number(i + 1), sEntry});
    }

    // The session follows only what reached the file, so that it always says what the next start reads.
    QString sError;
    if (!m_session.WriteIniStrings(aEntries, &sError)) {
        Refuse(QStringLiteral("The settings could not be saved, and varolin.ini is as it was:\r\n\r\n") + sError,
               nullptr);
        return;
    }
    m_session.autoRefresh = bAutoRefresh;
    m_session.hotKeys = hotKeys;
    QDialog::done(QDialog::Accepted);
}

void frmSettings::Refuse(const QString& sMessage, QWidget* focus)
{
    Dialogs::message(this, sMessage, QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
}

void frmSettings::cmdCancel_Click()
{
    QDialog::done(QDialog::Rejected);
}
