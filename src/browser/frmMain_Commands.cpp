// The toolbar, the menus and the commands they reach.
#include "browser/frmMain.h"

#include "platform/ToolbarIcons.h"
#include "platform/Twips.h"
#include "shared/Session.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>

void frmMain::CreateToolbar()
{
    // Each button in its place along the strip, flat until the pointer is over it.
    const struct
    {
        QToolButton*& button;
        const char* name;
        const char* tip;
        ToolbarIcons::Icon icon;
        int left;
    } buttons[] = {
        {cmdExit, "cmdExit", "Exit Varolin", ToolbarIcons::Exit, 120},
        {cmdCopy, "cmdCopy", "Copy Grid To Clipboard", ToolbarIcons::Copy, 636},
        {cmdNew, "cmdNew", "New Recording", ToolbarIcons::New, 1152},
        {cmdAmend, "cmdAmend", "Amend Recording", ToolbarIcons::Amend, 1548},
        {cmdDelete, "cmdDelete", "Delete Recording", ToolbarIcons::Delete, 1932},
        {cmdFind, "cmdFind", "Find (In Current Display)", ToolbarIcons::Find, 2460},
        {cmdRefresh, "cmdRefresh", "Refresh Display", ToolbarIcons::Refresh, 2976},
        {cmdSettings, "cmdSettings", "Edit Settings", ToolbarIcons::Settings, 3516},
        {cmdFormats, "cmdFormats", "Edit Formats", ToolbarIcons::Formats, 3900},
        {cmdSelections, "cmdSelections", "Edit Selections (Ctrl+L)", ToolbarIcons::Selections, 4284},
    };
    for (const auto& b : buttons) {
        b.button = ToolbarIcons::button(fraButtons, b.name, QString::fromLatin1(b.tip), b.icon,
                                        Twips::rect(b.left, 120, 408, 372, this));
        b.button->setAutoRaise(true);
    }

    CreateFilterBox();
    cboSQL = new QComboBox(fraButtons);
    cboSQL->setObjectName(QStringLiteral("cboSQL"));
    cboSQL->setEditable(true);
    cboSQL->setInsertPolicy(QComboBox::NoInsert);
    cboSQL->setAccessibleName(QStringLiteral("Selection"));
    cboSQL->setGeometry(Twips::toPixels(5880, this), Twips::toPixels(150, this), Twips::toPixels(3495, this),
                        Twips::toPixels(315, this));

    connect(cmdExit, &QToolButton::clicked, this, &frmMain::cmdExit_Click);
    connect(cmdCopy, &QToolButton::clicked, this, &frmMain::CopyGridToClipboard);
    connect(cmdNew, &QToolButton::clicked, this, &frmMain::cmdNew_Click);
    connect(cmdAmend, &QToolButton::clicked, this, &frmMain::cmdAmend_Click);
    connect(cmdDelete, &QToolButton::clicked, this, &frmMain::cmdDelete_Click);
    connect(cmdFind, &QToolButton::clicked, this, &frmMain::cmdFind_Click);
    connect(cmdRefresh, &QToolButton::clicked, this, &frmMain::cmdRefresh_Click);
    connect(cmdSettings, &QToolButton::clicked, this, &frmMain::cmdSettings_Click);
    connect(cmdFormats, &QToolButton::clicked, this, &frmMain::cmdFormats_Click);
    connect(cmdSelections, &QToolButton::clicked, this, &frmMain::cmdSelections_Click);
    connect(cboSQL, &QComboBox::activated, this, &frmMain::cboSQL_Click);
    // Text typed into the list runs nothing: only an entry chosen from the list does. The list's
    // own completion and its Enter and focus-out handling would otherwise choose the entry the text
    // starts; when the typing ends the chosen Selection's name shows again.
    cboSQL->setCompleter(nullptr);
    QLineEdit* edit = cboSQL->lineEdit();
    disconnect(edit, &QLineEdit::returnPressed, nullptr, nullptr);
    disconnect(edit, &QLineEdit::editingFinished, nullptr, nullptr);
    connect(edit, &QLineEdit::editingFinished, cboSQL,
            [combo = cboSQL] { combo->setEditText(combo->itemText(combo->currentIndex())); });
}

void frmMain::CreateMenus()
{
    auto addItem = [this](QMenu* menu, QMap<int, QAction*>& items, int index, const QString& caption,
                          const QKeySequence& shortcut, void (frmMain::*handler)(int)) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QStringLiteral("%1Item%2").arg(menu->objectName()).arg(index));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, handler, index] { (this->*handler)(index); });
        items.insert(index, action);
    };

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    addItem(mnuFile, mnuFileItem, 0, QStringLiteral("&Import..."), QKeySequence(Qt::CTRL | Qt::Key_I),
            &frmMain::mnuFileItem_Click);
    addItem(mnuFile, mnuFileItem, 1, QStringLiteral("&Export Display..."), QKeySequence(Qt::CTRL | Qt::Key_E),
            &frmMain::mnuFileItem_Click);
    addItem(mnuFile, mnuFileItem, 3, QStringLiteral("Export as P&DF..."), QKeySequence(), &frmMain::mnuFileItem_Click);
    addItem(mnuFile, mnuFileItem, 4, QStringLiteral("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P),
            &frmMain::mnuFileItem_Click);
    mnuFile->addSeparator();
    addItem(mnuFile, mnuFileItem, 2, QStringLiteral("&Restore Backup..."), QKeySequence(), &frmMain::mnuFileItem_Click);
    mnuFile->addSeparator();
    addItem(mnuFile, mnuFileItem, 99, QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X),
            &frmMain::mnuFileItem_Click);

    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    addItem(mnuEdit, mnuEditItem, 10, QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
            &frmMain::mnuEditItem_Click);
    addItem(mnuEdit, mnuEditItem, 11, QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y),
            &frmMain::mnuEditItem_Click);
    mnuEditItem[11]->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    UpdateUndoItems();
    mnuEdit->addSeparator();
    addItem(mnuEdit, mnuEditItem, 0, QStringLiteral("&Copy Grid To Clipboard"), QKeySequence(Qt::CTRL | Qt::Key_C),
            &frmMain::mnuEditItem_Click);
    mnuEdit->addSeparator();
    addItem(mnuEdit, mnuEditItem, 2, QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N),
            &frmMain::mnuEditItem_Click);
    addItem(mnuEdit, mnuEditItem, 3, QStringLiteral("&Amend"), QKeySequence(Qt::CTRL | Qt::Key_A),
            &frmMain::mnuEditItem_Click);
    addItem(mnuEdit, mnuEditItem, 4, QStringLiteral("&Delete"), QKeySequence(Qt::CTRL | Qt::Key_D),
            &frmMain::mnuEditItem_Click);
    mnuEdit->addSeparator();
    addItem(mnuEdit, mnuEditItem, 6, QStringLiteral("Edit Se&ttings"), QKeySequence(Qt::CTRL | Qt::Key_T),
            &frmMain::mnuEditItem_Click);
    addItem(mnuEdit, mnuEditItem, 7, QStringLiteral("Edit F&ormats"), QKeySequence(Qt::CTRL | Qt::Key_O),
            &frmMain::mnuEditItem_Click);
    addItem(mnuEdit, mnuEditItem, 8, QStringLiteral("Se&lections..."), QKeySequence(Qt::CTRL | Qt::Key_L),
            &frmMain::mnuEditItem_Click);

    mnuFind = menuBar()->addMenu(QStringLiteral("&Find"));
    mnuFind->setObjectName(QStringLiteral("mnuFind"));
    addItem(mnuFind, mnuFindItem, 0, QStringLiteral("&Find ..."), QKeySequence(Qt::CTRL | Qt::Key_F),
            &frmMain::mnuFindItem_Click);
    addItem(mnuFind, mnuFindItem, 1, QStringLiteral("&Find Next"), QKeySequence(Qt::Key_F3),
            &frmMain::mnuFindItem_Click);

    for (QMenu* menu : {mnuFile, mnuFind}) {
        connect(menu, &QMenu::aboutToHide, this, [this, menu] {
            m_pLastClosedMenu = menu;
            m_menuClosed.start();
        });
    }

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpItem = mnuHelp->addAction(QStringLiteral("&About"));
    mnuHelpItem->setObjectName(QStringLiteral("mnuHelpItem"));
    connect(mnuHelpItem, &QAction::triggered, this, &frmMain::mnuHelpItem_Click);

    CreateViewMenu();

    // The menu shortcuts win in every control, as they do over the grid: the Selection list's text
    // would otherwise take Ctrl+X, Ctrl+C and Ctrl+A as Cut, Copy and Select All.
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    // "&File" and "&Find" share their access key: Alt+F opens File, and again Find, and so on.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F && (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier |
                                                            Qt::MetaModifier)) == Qt::AltModifier) {
            event->accept();
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat()) {
                // The Alt key may have closed the menu a moment ago, as the style has it do.
                const bool bFileWasOpen =
                    mnuFile->isVisible() || (m_pLastClosedMenu == mnuFile && m_menuClosed.elapsed() < 500);
                QMenu* next = bFileWasOpen ? mnuFind : mnuFile;
                for (QMenu* open : {mnuFile, mnuFind})
                    open->hide();
                // Once the menu bar has seen the open menu close.
                QTimer::singleShot(0, this, [this, next] { menuBar()->setActiveAction(next->menuAction()); });
            }
            return true;
        }
    }
    // Escape in the filter box clears it.
    if (watched == txtFilter && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !txtFilter->text().isEmpty()) {
        txtFilter->clear();
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence typed(key->keyCombination());
        for (const QMap<int, QAction*>* items : {&mnuFileItem, &mnuEditItem, &mnuFindItem}) {
            for (const QAction* action : *items) {
                // Left unaccepted, the override lets the shortcut run instead of the control's own key.
                if (action->shortcuts().contains(typed))
                    return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::mnuEditItem_Click(int iIndex)
{
    switch (iIndex) {
    case 0:
        CopyGridToClipboard();
        break;
    case 2:
        cmdNew_Click();
        break;
    case 3:
        cmdAmend_Click();
        break;
    case 4:
        cmdDelete_Click();
        break;
    case 6:
        cmdSettings_Click();
        break;
    case 7:
        cmdFormats_Click();
        break;
    case 8:
        cmdSelections_Click();
        break;
    case 10:
    case 11:
        UndoChange(iIndex == 11);
        break;
    default:
        break;
    }
}

void frmMain::mnuFindItem_Click(int iIndex)
{
    if (iIndex == 0)
        cmdFind_Click();
    else if (iIndex == 1)
        FindInGrid(FindMode::Next, m_session.lastFind.text);
}
