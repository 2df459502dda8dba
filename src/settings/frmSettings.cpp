#include "settings/frmSettings.h"

#include "platform/Dialogs.h"
#include "platform/KeyCodes.h"
#include "platform/ToolbarIcons.h"
#include "platform/Twips.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QToolButton>

namespace {

// A hot-key entry longer than this is cut when the program next starts (the reader's limit).
const int kMaxEntryLength = 99;
const int kRowTops[] = {330, 720, 1080, 1440, 1800};
const int kButtonsTop = 2220; // Add and Remove, in the frame below the rows

// A tooltip shows a name as written, not read as markup.
QString PlainTip(const QString& sTip)
{
    return Qt::mightBeRichText(sTip) ? Qt::convertFromPlainText(sTip) : sTip;
}

// Shift, Ctrl, Alt or Meta held with a key; the keypad's flag is none of them.
Qt::KeyboardModifiers HeldModifiers(const QKeyEvent* event)
{
    return event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

// The text of a pressed key as the user knows it: "Shift+F3", "A", "Page Down".
QString PressedKeyName(const QKeyEvent* event)
{
    const QString sKey = QKeySequence(QKeyCombination(HeldModifiers(event), static_cast<Qt::Key>(event->key())))
                             .toString(QKeySequence::NativeText);
    return sKey.isEmpty() ? QStringLiteral("This key") : sKey;
}

bool IsModifierKey(int iKey)
{
    return iKey == Qt::Key_Shift || iKey == Qt::Key_Control || iKey == Qt::Key_Alt || iKey == Qt::Key_Meta ||
           iKey == Qt::Key_AltGr || iKey == Qt::Key_Super_L || iKey == Qt::Key_Super_R;
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
    setFixedSize(Twips::toPixels(5295, this), Twips::toPixels(4470, this));
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

    frmHotKeys = new QGroupBox(QStringLiteral("Hot &Keys"), this);
    frmHotKeys->setObjectName(QStringLiteral("frmHotKeys"));
    frmHotKeys->setGeometry(Twips::rect(120, 1320, 4935, 2760, this));
    for (int i = 0; i < kRows; ++i) {
        lblHK[i] = new QLabel(frmHotKeys);
        lblHK[i]->setObjectName(QStringLiteral("lblHK%1").arg(i));
        lblHK[i]->setTextFormat(Qt::PlainText);
        txtKey[i] = new QLineEdit(frmHotKeys);
        txtKey[i]->setObjectName(QStringLiteral("txtKey%1").arg(i));
        txtKey[i]->setReadOnly(true);
        txtKey[i]->setAlignment(Qt::AlignCenter);
        txtKey[i]->setToolTip(QStringLiteral("The key that types this text in the recording editor: "
                                             "press F1 to F24 here to change it"));
        lblEq[i] = new QLabel(QStringLiteral("="), frmHotKeys);
        lblEq[i]->setObjectName(QStringLiteral("lblEq%1").arg(i));
        lblEq[i]->setAlignment(Qt::AlignCenter);
        txtHK[i] = new QLineEdit(frmHotKeys);
        txtHK[i]->setObjectName(QStringLiteral("txtHK%1").arg(i));
    }
    cmdAdd = new QPushButton(QStringLiteral("&Add"), frmHotKeys);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setToolTip(QStringLiteral("Add a hot key on the first function key that has none"));
    cmdAdd->setGeometry(Twips::rect(2835, kButtonsTop, 900, 390, this));
    cmdRemove = new QPushButton(QStringLiteral("Re&move"), frmHotKeys);
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));
    cmdRemove->setGeometry(Twips::rect(3795, kButtonsTop, 900, 390, this));
    for (QPushButton* button : {cmdAdd, cmdRemove})
        button->setAutoDefault(false);
    ShowHotKeyRows();

    QList<QWidget*> order{chkRefresh};
    for (int i = 0; i < kRows; ++i)
        order << txtKey[i] << txtHK[i];
    order << cmdAdd << cmdRemove << cmdCancel << cmdOK;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    // The window sees every key before the control that has the focus.
    watchKeys();

    connect(cmdOK, &QToolButton::clicked, this, &frmSettings::cmdOK_Click);
    connect(cmdCancel, &QToolButton::clicked, this, &frmSettings::cmdCancel_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmSettings::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmSettings::cmdRemove_Click);
}

void frmSettings::LayOutHotKeyRows()
{
    // The name and key columns are as wide as their longest entry needs, so that "Stereo" is not
    // cut to "St"; the text boxes give up the room. A name too long even for that ends in "…",
    // whole in its tip.
    auto px = [this](int twips) { return Twips::toPixels(twips, this); };
    QFont bold = lblHK[0]->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold); // the current row's name is bold
    const int iCount = m_hotKeys.count();
    int iNameWidth = px(255);
    int iKeyWidth = px(540);
    for (int i = 0; i < iCount; ++i) {
        iNameWidth = qMax(iNameWidth, metrics.horizontalAdvance(m_hotKeys.at(i).name) + 2);
        iKeyWidth = qMax(iKeyWidth, metrics.horizontalAdvance(KeyCodes::name(m_hotKeys.at(i).code)) + px(180));
    }
    iNameWidth = qMin(iNameWidth, px(1500));
    iKeyWidth = qMin(iKeyWidth, px(1200));
    const int iNameLeft = px(240);
    const int iKeyLeft = iNameLeft + iNameWidth + px(60);
    const int iEqLeft = iKeyLeft + iKeyWidth;
    const int iTextLeft = iEqLeft + px(255);
    const int iTextRight = px(915 + 3780);
    for (int i = 0; i < kRows; ++i) {
        const int iTop = px(kRowTops[i]);
        lblHK[i]->setGeometry(iNameLeft, iTop, iNameWidth, px(285));
        txtKey[i]->setGeometry(iKeyLeft, iTop, iKeyWidth, px(285));
        lblEq[i]->setGeometry(iEqLeft, iTop, px(255), px(285));
        txtHK[i]->setGeometry(iTextLeft, iTop, iTextRight - iTextLeft, px(285));
        if (i < iCount)
            lblHK[i]->setText(metrics.elidedText(m_hotKeys.at(i).name, Qt::ElideRight, iNameWidth));
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
    m_hotKeys = HotKeySet();
    for (int i = 0; i < qMin(m_session.hotKeys.count(), static_cast<int>(kRows)); ++i)
        m_hotKeys.append(m_session.hotKeys.at(i));
    m_iStoredCount = m_hotKeys.count();
    for (int i = 0; i < kRows; ++i)
        txtHK[i]->setText(i < m_hotKeys.count() ? UnescapeHotKeyText(m_hotKeys.at(i).text) : QString());
    m_iCurrentRow = -1;
    ShowHotKeyRows();
}

void frmSettings::ShowHotKeyRows()
{
    const int iCount = m_hotKeys.count();
    LayOutHotKeyRows();
    for (int i = 0; i < kRows; ++i) {
        const bool bShown = i < iCount;
        for (QWidget* w : {static_cast<QWidget*>(lblHK[i]), static_cast<QWidget*>(txtKey[i]),
                           static_cast<QWidget*>(lblEq[i]), static_cast<QWidget*>(txtHK[i])})
            w->setVisible(bShown);
        if (!bShown)
            continue;
        const HotKey& hotKey = m_hotKeys.at(i);
        const QString sKey = KeyCodes::name(hotKey.code);
        lblHK[i]->setToolTip(PlainTip(QStringLiteral("%1, typed by %2").arg(hotKey.name, sKey)));
        txtKey[i]->setText(sKey);
        txtKey[i]->setAccessibleName(QStringLiteral("Key of %1").arg(hotKey.name));
        txtHK[i]->setToolTip(PlainTip(QStringLiteral("The text %1 types in the recording editor").arg(sKey)));
        txtHK[i]->setAccessibleName(hotKey.name);
    }
    cmdAdd->setEnabled(iCount < kRows);
    SetCurrentRow(m_iCurrentRow < iCount ? m_iCurrentRow : -1);
}

void frmSettings::SetCurrentRow(int iRow)
{
    // The row Remove takes away stands out, also while the focus is on Remove itself.
    m_iCurrentRow = iRow;
    for (int i = 0; i < kRows; ++i) {
        QFont font = lblHK[i]->font();
        font.setBold(i == iRow);
        lblHK[i]->setFont(font);
    }
    cmdRemove->setEnabled(iRow >= 0);
    cmdRemove->setToolTip(iRow >= 0
                              ? PlainTip(QStringLiteral("Remove the hot key %1 (%2)")
                                             .arg(m_hotKeys.at(iRow).name, KeyCodes::name(m_hotKeys.at(iRow).code)))
                              : QStringLiteral("Remove the hot key the focus was in last"));
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
        for (int i = 0; i < m_hotKeys.count(); ++i) {
            if (watched == txtHK[i])
                txtHK_GotFocus(i);
            if (watched == txtHK[i] || watched == txtKey[i])
                SetCurrentRow(i);
        }
        return false;
    }
    case QEvent::Shortcut:
        // Alt+K: the key of the row the focus is in, or of the first.
        if (watched != frmHotKeys)
            return false;
        if (m_hotKeys.count() > 0)
            txtKey[qMax(m_iCurrentRow, 0)]->setFocus(Qt::ShortcutFocusReason);
        else
            cmdAdd->setFocus(Qt::ShortcutFocusReason);
        return true;
    default:
        return false;
    }
}

bool frmSettings::previewKey(QKeyEvent* event)
{
    const auto it = std::find(txtKey.begin(), txtKey.end(), QApplication::focusWidget());
    if (it == txtKey.end())
        return false;
    // Tab still walks on; Shift, Ctrl or Alt alone wait for the key they come with.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return false;
    if (!event->isAutoRepeat() && !IsModifierKey(event->key()))
        txtKey_KeyDown(static_cast<int>(it - txtKey.begin()), event);
    return true;
}

void frmSettings::txtKey_KeyDown(int iIndex, const QKeyEvent* event)
{
    const int iCode = KeyCodes::virtualKey(event->key(), event->modifiers());
    const QString sPressed = PressedKeyName(event);
    if (HeldModifiers(event) != Qt::NoModifier && HotKeySet::isHotKeyCode(iCode)) {
        Refuse(QStringLiteral("%1 cannot be a hot key: varolin.ini keeps a single key for each hot key, and it "
                              "types its text with or without Shift, Ctrl or Alt held. Press %2 alone.")
                   .arg(sPressed, KeyCodes::name(iCode)),
               txtKey[iIndex]);
        return;
    }
    switch (m_hotKeys.setCode(iIndex, iCode)) {
    case HotKeySet::KeyRefusal::None:
        ShowHotKeyRows();
        return;
    case HotKeySet::KeyRefusal::NotAHotKey:
        Refuse(QStringLiteral("%1 cannot be a hot key. A hot key types its text wherever it is pressed in the "
                              "recording editor, also while you type there, so it has to be a key that types "
                              "nothing itself: one of the function keys F1 to F24.")
                   .arg(sPressed),
               txtKey[iIndex]);
        return;
    case HotKeySet::KeyRefusal::InUse:
        Refuse(QStringLiteral("%1 already types the hot key \"%2\". Give that one another key first, or remove it.")
                   .arg(sPressed, m_hotKeys.at(m_hotKeys.indexOfCode(iCode)).name),
               txtKey[iIndex]);
        return;
    }
}

void frmSettings::txtHK_GotFocus(int iIndex)
{
    // Typing replaces the whole text.
    txtHK[iIndex]->selectAll();
}

void frmSettings::cmdAdd_Click()
{
    const int iRow = m_hotKeys.add();
    if (iRow < 0)
        return;
    txtHK[iRow]->clear();
    ShowHotKeyRows();
    txtHK[iRow]->setFocus(Qt::OtherFocusReason);
}

void frmSettings::cmdRemove_Click()
{
    const int iRow = m_iCurrentRow;
    if (iRow < 0 || iRow >= m_hotKeys.count())
        return;
    // The rows below move up with what was typed in them.
    for (int i = iRow; i + 1 < m_hotKeys.count(); ++i)
        txtHK[i]->setText(txtHK[i + 1]->text());
    m_hotKeys.remove(iRow);
    txtHK[m_hotKeys.count()]->clear();
    // The focus moves before the last row hides, so that it never passes through a row that has gone.
    const int iNext = qMin(iRow, m_hotKeys.count() - 1);
    if (iNext >= 0)
        txtHK[iNext]->setFocus(Qt::OtherFocusReason);
    else
        cmdAdd->setFocus(Qt::OtherFocusReason);
    ShowHotKeyRows();
}

void frmSettings::cmdOK_Click()
{
    const bool bAutoRefresh = chkRefresh->isChecked();
    QList<IniFile::Entry> aEntries{{QStringLiteral("Initialisation"), QStringLiteral("Auto-Refresh"),
                                    bAutoRefresh ? QStringLiteral("Yes") : QStringLiteral("No")}};
    HotKeySet hotKeys = m_hotKeys;
    for (int i = 0; i < hotKeys.count(); ++i) {
        const QString sShown = txtHK[i]->text();
        const QString& sLoaded = m_hotKeys.at(i).text;
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
    }
    aEntries += hotKeys.fileEntries(m_iStoredCount, m_session.spaceSubst);

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
