#include "editor/frmRecord.h"

#include "platform/Dialogs.h"
#include "platform/KeyCodes.h"
#include "platform/SendKeys.h"
#include "platform/ToolbarIcons.h"
#include "platform/Twips.h"
#include "shared/DuplicateFinder.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"
#include "store/EngineError.h"
#include "store/RecordingStore.h"

#include <limits>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QToolButton>

namespace {

const int kYearLength = 4;

// The recording's text of each box, by field number.
QString RecordingValues::*const kFieldOf[] = {nullptr,
                                              &RecordingValues::artist,
                                              &RecordingValues::title,
                                              &RecordingValues::year,
                                              &RecordingValues::label,
                                              &RecordingValues::catalogueNo,
                                              &RecordingValues::internationalCatalogueNo,
                                              &RecordingValues::notes};

} // namespace

frmRecord::frmRecord(Session& session, QWidget* parent) : DialogBase(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmRecord"));
    setWindowTitle(QStringLiteral("Recording"));
    // A fixed border and no buttons in the title bar: the editor is left through its own buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    CreateControls();
    setFixedSize(Twips::toPixels(7665, this), Twips::toPixels(5685, this));
}

frmRecord::~frmRecord() = default;

void frmRecord::CreateControls()
{
    fraButtons = new QFrame(this);
    fraButtons->setObjectName(QStringLiteral("fraButtons"));
    fraButtons->setFrameShape(QFrame::StyledPanel);
    fraButtons->setGeometry(Twips::rect(0, 0, 7650, 540, this));

    auto pictureButton = [this](const char* name, const QString& tip, ToolbarIcons::Icon icon, int left, int width,
                                int height) {
        return ToolbarIcons::button(fraButtons, name, tip, icon, Twips::rect(left, 120, width, height, this));
    };
    cmdOK = pictureButton("cmdOK", QStringLiteral("OK"), ToolbarIcons::OK, 120, 400, 380);
    cmdCancel = pictureButton("cmdCancel", QStringLiteral("Cancel"), ToolbarIcons::Cancel, 510, 400, 380);
    for (int i = 0; i < static_cast<int>(cmdHotKey.size()); ++i) {
        cmdHotKey[i] = new QToolButton(fraButtons);
        cmdHotKey[i]->setObjectName(QStringLiteral("cmdHotKey%1").arg(i));
        cmdHotKey[i]->setToolButtonStyle(Qt::ToolButtonTextOnly);
        cmdHotKey[i]->setGeometry(Twips::rect(1080 + 360 * i, 120, 375, 375, this));
        cmdHotKey[i]->hide();
        connect(cmdHotKey[i], &QToolButton::clicked, this, [this, i] { cmdHotKey_Click(i); });
    }
    cmdPrevious = pictureButton("cmdPrevious", QStringLiteral("Previous Record (Alt+Left or Ctrl+PgUp)"),
                                ToolbarIcons::Previous, 3090, 375, 375);
    cmdNext = pictureButton("cmdNext", QStringLiteral("Next Record (Alt+Right or Ctrl+PgDn)"), ToolbarIcons::Next, 3450,
                            375, 375);
    cmdPrevious->setAccessibleName(QStringLiteral("Previous Record"));
    cmdNext->setAccessibleName(QStringLiteral("Next Record"));

    auto label = [this](const char* name, const QString& caption, int left, int top) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QLatin1String(name));
        l->move(Twips::toPixels(left, this), Twips::toPixels(top, this));
        return l;
    };
    auto lineEdit = [this](const char* name, int left, int top, int width) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(Twips::rect(left, top, width, 285, this));
        box->setMaxLength(std::numeric_limits<int>::max()); // no limit but the Year's
        return box;
    };
    label("lblArtist", QStringLiteral("Artist :"), 240, 720);
    txtArtist = lineEdit("txtArtist", 240, 930, 7095);
    label("lblTitle", QStringLiteral("Title :"), 240, 1380);
    txtTitle = lineEdit("txtTitle", 240, 1590, 7095);
    label("lblFormat", QStringLiteral("Format :"), 240, 2040);
    cboFormat = new QComboBox(this);
    cboFormat->setObjectName(QStringLiteral("cboFormat"));
    cboFormat->setGeometry(Twips::rect(240, 2250, 2895, 315, this));
    label("lblYear", QStringLiteral("Year :"), 3480, 2040);
    txtYear = lineEdit("txtYear", 3480, 2250, 615);
    label("lblLabel", QStringLiteral("Label :"), 3480, 2640);
    txtLabel = lineEdit("txtLabel", 3480, 2850, 3855);
    label("lblCatNo", QStringLiteral("Catalogue No. :"), 3480, 3240);
    txtCatNo = lineEdit("txtCatNo", 3480, 3450, 3855);
    label("lblIntCatNo", QStringLiteral("International Catalogue No. :"), 3480, 3840);
    txtIntCatNo = lineEdit("txtIntCatNo", 3480, 4050, 3855);
    label("lblNotes", QStringLiteral("Notes :"), 240, 4320);
    txtNotes = new QPlainTextEdit(this);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    txtNotes->setGeometry(Twips::rect(240, 4530, 7095, 885, this));
    txtNotes->setTabChangesFocus(true);
    txtYear->setAttribute(Qt::WA_InputMethodEnabled, false); // composed text would pass the digits-only filter

    QWidget* const order[] = {txtArtist,    txtTitle,     cboFormat,    txtYear,     txtLabel,     txtCatNo,
                              txtIntCatNo,  txtNotes,     cmdOK,        cmdCancel,   cmdHotKey[0], cmdHotKey[1],
                              cmdHotKey[2], cmdHotKey[3], cmdHotKey[4], cmdPrevious, cmdNext};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // The window sees every key before the control that has the focus.
    watchKeys();

    for (int f = Artist; f <= Notes; ++f) {
        if (auto* box = qobject_cast<QLineEdit*>(FieldBox(f)))
            connect(box, &QLineEdit::textChanged, this, &frmRecord::txtField_Change);
    }
    connect(txtNotes, &QPlainTextEdit::textChanged, this, &frmRecord::txtField_Change);
    // A longer Year loaded from the catalogue is shown whole; once shortened, four digits is the limit.
    connect(txtYear, &QLineEdit::textChanged, this, [this](const QString& sYear) {
        if (sYear.size() <= kYearLength)
            m_iYearLimit = kYearLength;
        m_sYearShown = sYear;
    });
    // Whatever way text arrives (a key, a paste, a drop, the context menu), only digits stay, up to
    // the limit; the box itself has none, so that a paste is filtered before it is cut.
    connect(txtYear, &QLineEdit::textEdited, this, [this](const QString& sYear) {
        int iPosition = 0;
        const QString sKept = RecordingStore::yearAfterEdit(m_sYearShown, sYear, m_iYearLimit, &iPosition);
        if (sKept != sYear) {
            txtYear->setText(sKept);
            txtYear->setCursorPosition(iPosition);
        }
        // The edit's own textChanged comes after the one of the text set here.
        m_sYearShown = txtYear->text();
    });
    connect(cboFormat, &QComboBox::activated, this, &frmRecord::cboFormat_Click);
    connect(cmdOK, &QToolButton::clicked, this, &frmRecord::cmdOK_Click);
    connect(cmdCancel, &QToolButton::clicked, this, &frmRecord::cmdCancel_Click);
    connect(cmdPrevious, &QToolButton::clicked, this, &frmRecord::cmdPrevious_Click);
    connect(cmdNext, &QToolButton::clicked, this, &frmRecord::cmdNext_Click);
}

QWidget* frmRecord::FieldBox(int iField) const
{
    QWidget* const boxes[] = {nullptr, txtArtist, txtTitle, txtYear, txtLabel, txtCatNo, txtIntCatNo, txtNotes};
    return iField >= Artist && iField <= Notes ? boxes[iField] : nullptr;
}

QString frmRecord::FieldText(int iField) const
{
    if (iField == Notes)
        return NotesText();
    return static_cast<QLineEdit*>(FieldBox(iField))->text();
}

QString frmRecord::NotesText() const
{
    // The document's own text, where a non-breaking space is still one; only its paragraph ends
    // become line ends.
    return txtNotes->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

void frmRecord::SetFieldText(int iField, const QString& sText)
{
    if (iField == Notes)
        txtNotes->setPlainText(sText);
    else
        static_cast<QLineEdit*>(FieldBox(iField))->setText(sText);
}

frmRecord::Result frmRecord::ShowModal(const EditRequest& request)
{
    m_request = request;
    m_result = Result();
    m_result.load = Form_Load();
    if (m_result.load != LoadResult::Loaded)
        return m_result;
    txtArtist->setFocus(Qt::ActiveWindowFocusReason);
    txtArtist->selectAll();
    m_iFocusField = Artist;
    exec();
    m_store.reset(); // however the editor was left, its table access ends with it
    return m_result;
}

frmRecord::LoadResult frmRecord::Form_Load()
{
    m_bLoading = true;
    m_bUnloading = false;
    m_bHotKeyFocus = false;
    m_iFocusField = 0;
    m_sLoadError.clear();
    m_aCaret = {};
    m_bNew = m_request.mode == EditMode::New;
    setWindowTitle(m_bNew ? QStringLiteral("New Recording") : QStringLiteral("Amend Recording"));

    LoadResult result = LoadResult::Loaded;
    try {
        m_store = std::make_unique<RecordingStore>(*m_session.catalogue());
        m_store->open();
        std::optional<RecordingValues> values = m_bNew ? RecordingValues() : m_store->load(m_request.recordID);
        if (!values) {
            m_sLoadError = QStringLiteral("This Recording is no longer in the catalogue; another program may "
                                          "have deleted it. The display will be refreshed.");
            result = LoadResult::RecordMissing;
        } else {
            LoadFields(*values);
            LoadFormats(values->format);
        }
    } catch (const EngineError& e) {
        m_sLoadError = QStringLiteral("The Recording could not be read:\r\n\r\n") + e.description();
        result = LoadResult::Failed;
    }
    if (result != LoadResult::Loaded) {
        m_store.reset();
        m_bLoading = false;
        return result;
    }

    SetUpHotKeys();
    cmdPrevious->setEnabled(!m_request.atFirstRow);
    cmdNext->setEnabled(!m_request.atLastRow);
    m_bLoading = false;
    m_bChanged = false; // filling the boxes raised the same notifications as typing
    return result;
}

void frmRecord::LoadFields(const RecordingValues& values)
{
    m_loadedValues = values;
    for (int f = Artist; f <= Notes; ++f) {
        const QString& sValue = values.*kFieldOf[f];
        // A Year loaded longer than four characters is shown whole, never cut.
        if (f == Year)
            m_iYearLimit = qMax(kYearLength, static_cast<int>(sValue.size()));
        SetFieldText(f, sValue);
        if (f == Notes)
            m_sNotesLoaded = sValue;
    }
    m_sNotesShown = NotesText();
    if (m_bNew)
        txtYear->setText(QDate::currentDate().toString(QStringLiteral("yyyy")));
}

void frmRecord::LoadFormats(std::optional<qint64> format)
{
    cboFormat->clear();
    int iSelected = -1;
    for (const RecordingStore::FormatEntry& entry : m_store->formats()) {
        cboFormat->addItem(entry.description, entry.id);
        if (entry.id == format)
            iSelected = cboFormat->count() - 1;
    }
    if (m_bNew)
        iSelected = RecordingStore::newFormatPosition(cboFormat->count());
    cboFormat->setCurrentIndex(iSelected);
}

void frmRecord::ShowValues(const RecordingValues& values)
{
    m_bLoading = true;
    LoadFields(values);
    LoadFormats(values.format);
    m_bLoading = false;
    m_bChanged = false;
}

RecordingValues frmRecord::GatherFields() const
{
    RecordingValues values;
    for (int f = Artist; f <= Notes; ++f)
        values.*kFieldOf[f] = FieldText(f);
    values.notes = RecordingStore::notesToSave(m_sNotesLoaded, m_sNotesShown, values.notes);
    values.format = cboFormat->currentData().toLongLong();
    return values;
}

void frmRecord::SetUpHotKeys()
{
    // The buttons stand at their places in the strip, each widened to show its whole name; Previous
    // and Next move along only when longer names need their room.
    const int iTop = Twips::toPixels(120, this);
    const int iSide = Twips::toPixels(375, this);
    const int iMaxWidth = Twips::toPixels(900, this); // five of them still leave room for Previous and Next
    int iLeft = Twips::toPixels(1080, this);
    for (int i = 0; i < static_cast<int>(cmdHotKey.size()); ++i) {
        const bool bShown = i < m_session.hotKeys.count();
        cmdHotKey[i]->setVisible(bShown);
        if (!bShown)
            continue;
        const HotKey& hotKey = m_session.hotKeys.at(i);
        QString sCaption = hotKey.name;
        cmdHotKey[i]->setText(sCaption.replace(QLatin1Char('&'), QLatin1String("&&")));
        // A text such as "a<b>c" is shown as written, not read as markup.
        const QString sTip = QStringLiteral("Paste Text '") + UnescapeHotKeyText(hotKey.text) + QLatin1Char('\'');
        cmdHotKey[i]->setToolTip(Qt::mightBeRichText(sTip) ? Qt::convertFromPlainText(sTip) : sTip);
        cmdHotKey[i]->setAccessibleName(hotKey.name);
        const int iWidth = qBound(iSide, cmdHotKey[i]->sizeHint().width(), iMaxWidth);
        cmdHotKey[i]->setGeometry(iLeft, iTop, iWidth, iSide);
        iLeft += qMax(Twips::toPixels(360, this), iWidth + 2);
    }
    const int iPrevious = qMax(Twips::toPixels(3090, this), iLeft + Twips::toPixels(120, this));
    cmdPrevious->move(iPrevious, iTop);
    cmdNext->move(iPrevious + Twips::toPixels(360, this), iTop);
}

bool frmRecord::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (DialogBase::eventFilter(watched, event))
            return true;
        return watched == txtYear && txtYear->hasFocus() && !txtYear_KeyPress(static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        for (int f = Artist; f <= Notes; ++f) {
            if (watched == FieldBox(f)) {
                m_iFocusField = f;
                // Coming back from another window or a list's popup is no new visit to the box.
                if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                    txtField_GotFocus(f);
            }
        }
        if (watched == cmdOK || watched == cmdCancel || watched == cmdPrevious || watched == cmdNext)
            cmdButton_GotFocus();
        return false;
    }
    case QEvent::FocusOut:
        for (int f = Artist; f <= Notes; ++f) {
            if (watched == FieldBox(f))
                txtField_LostFocus(f);
        }
        return false;
    default:
        return false;
    }
}

void frmRecord::txtField_GotFocus(int iField)
{
    const Caret caret = m_aCaret[iField];
    const bool bKeepCaret = std::exchange(m_bHotKeyFocus, false);
    if (iField == Notes) {
        QTextCursor cursor = txtNotes->textCursor();
        if (bKeepCaret) {
            cursor.setPosition(caret.anchor);
            cursor.setPosition(caret.position, QTextCursor::KeepAnchor);
        } else {
            cursor.select(QTextCursor::Document);
        }
        txtNotes->setTextCursor(cursor);
        return;
    }
    auto* box = static_cast<QLineEdit*>(FieldBox(iField));
    if (!bKeepCaret)
        box->selectAll();
    else if (caret.anchor == caret.position)
        box->setCursorPosition(caret.position);
    else
        box->setSelection(caret.anchor, caret.position - caret.anchor);
}

void frmRecord::txtField_LostFocus(int iField)
{
    // The box forgets its selection as it loses the focus; a hot key typing into it needs it.
    if (iField == Notes) {
        const QTextCursor cursor = txtNotes->textCursor();
        m_aCaret[iField] = {cursor.position(), cursor.anchor()};
        return;
    }
    const auto* box = static_cast<QLineEdit*>(FieldBox(iField));
    if (box->hasSelectedText()) {
        const int iStart = box->selectionStart();
        const int iEnd = box->selectionEnd();
        const bool bForward = box->cursorPosition() == iEnd;
        m_aCaret[iField] = bForward ? Caret{iEnd, iStart} : Caret{iStart, iEnd};
    } else {
        m_aCaret[iField] = {box->cursorPosition(), box->cursorPosition()};
    }
}

void frmRecord::txtField_Change()
{
    if (!m_bLoading)
        m_bChanged = true;
}

void frmRecord::cboFormat_Click()
{
    if (!m_bLoading)
        m_bChanged = true;
}

void frmRecord::cmdButton_GotFocus()
{
    m_iFocusField = 0;
}

bool frmRecord::txtYear_KeyPress(const QKeyEvent* event) const
{
    return RecordingStore::yearAccepts(event->key(), event->modifiers(), event->text());
}

bool frmRecord::isOkKey(const QKeyEvent* event) const
{
    return DialogBase::isOkKey(event) && !(event->modifiers() & Qt::ControlModifier);
}

bool frmRecord::previewKey(QKeyEvent* event)
{
    const int iKeyCode = KeyCodes::virtualKey(event->key(), event->modifiers());
    // Keys the hot keys typed fire no hot key themselves: a text holding its own key would
    // otherwise type itself for ever.
    if (iKeyCode != 0 && !SendKeys::isSent(event)) {
        const int i = m_session.hotKeys.indexOfCode(iKeyCode);
        if (i >= 0)
            SendHotKeyText(i);
    }
    // Previous and Next have keys that leave the editing keys of the boxes alone.
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if ((mods == Qt::AltModifier && event->key() == Qt::Key_Left) ||
        (mods == Qt::ControlModifier && event->key() == Qt::Key_PageUp)) {
        if (cmdPrevious->isEnabled() && !SendKeys::isSent(event))
            cmdPrevious->click();
        return true;
    }
    if ((mods == Qt::AltModifier && event->key() == Qt::Key_Right) ||
        (mods == Qt::ControlModifier && event->key() == Qt::Key_PageDown)) {
        if (cmdNext->isEnabled() && !SendKeys::isSent(event))
            cmdNext->click();
        return true;
    }
    // Ctrl+Enter starts a new line in the Notes; everywhere else it does nothing.
    if (iKeyCode == KeyCodes::VkEnter && QApplication::focusWidget() == txtNotes) {
        txtNotes->insertPlainText(QStringLiteral("\n"));
        return true;
    }
    return false;
}

void frmRecord::cmdHotKey_Click(int iIndex)
{
    QWidget* box = FieldBox(m_iFocusField);
    if (!box)
        return; // the focus last rested on a command button
    if (!box->hasFocus()) {
        m_bHotKeyFocus = true;
        box->setFocus(Qt::OtherFocusReason);
    }
    SendHotKeyText(iIndex);
}

void frmRecord::SendHotKeyText(int iIndex)
{
    // A text that cannot be read is typed not at all, rather than in part.
    QString sError;
    if (!SendKeys::send(m_session.hotKeys.at(iIndex).text, &sError)) {
        Dialogs::message(this,
                         QStringLiteral("The text of the hot key \"%1\" cannot be typed:\r\n\r\n%2\r\n\r\n"
                                        "Correct it in Edit Settings.")
                             .arg(m_session.hotKeys.at(iIndex).name, sError),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
    }
}

bool frmRecord::Update()
{
    if (cboFormat->currentIndex() < 0) {
        Dialogs::message(this, QStringLiteral("Please choose a Format for this Recording. Nothing has been saved yet."),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
        cboFormat->setFocus(Qt::OtherFocusReason);
        return false;
    }
    try {
        const RecordingValues values = GatherFields();
        if (!ConfirmNotOwnedAlready(values))
            return false;
        if (m_bNew) {
            m_result.savedID = m_store->insert(values);
        } else if (const std::optional<RecordingValues> theirs = m_store->save(m_request.recordID, values)) {
            if (!ResolveConflict(*theirs, values))
                return false;
            m_result.savedID = m_request.recordID;
        } else {
            m_result.savedID = m_request.recordID;
        }
    } catch (const EngineError& e) {
        Dialogs::message(this, QStringLiteral("The Recording could not be saved:\r\n\r\n") + e.description(),
                         QStringLiteral("Varolin"), QMessageBox::Ok, QMessageBox::Warning);
        return false;
    }
    m_store.reset();
    m_result.saved = true;
    const RecordingValues saved = GatherFields();
    m_session.duplicates.remember(*m_session.catalogue(), m_result.savedID, saved.artist, saved.title);
    return true;
}

bool frmRecord::ConfirmNotOwnedAlready(const RecordingValues& values)
{
    // Only a new recording, or one whose Artist or Title changed, can become a second copy.
    if (!m_bNew && values.artist == m_loadedValues.artist && values.title == m_loadedValues.title)
        return true;
    const QList<DuplicateFinder::Match> matches =
        m_session.duplicates.find(*m_session.catalogue(), values.artist, values.title, m_bNew ? 0 : m_request.recordID);
    if (matches.isEmpty())
        return true;
    QStringList lines;
    for (const DuplicateFinder::Match& m : matches.mid(0, 5)) {
        QStringList details{m.format, m.catalogueNo};
        details.removeAll(QString());
        lines << QStringLiteral("%1 - %2").arg(m.artist, m.title) +
                     (details.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(details.join(QStringLiteral(", "))));
    }
    if (matches.size() > 5)
        lines << QStringLiteral("and %1 more").arg(matches.size() - 5);
    // A collector may own two copies: the choice is the user's, and the edit stays either way.
    return Dialogs::message(this,
                            QStringLiteral("You may have this Recording already:\r\n\r\n%1\r\n\r\nSave it all the "
                                           "same?")
                                .arg(lines.join(QStringLiteral("\r\n"))),
                            QStringLiteral("Varolin"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                            QMessageBox::No) == QMessageBox::Yes;
}

bool frmRecord::ResolveConflict(const RecordingValues& theirs, const RecordingValues& mine)
{
    // Neither edit may vanish unasked: the user chooses whose version stands.
    const auto answer = Dialogs::message(
        this,
        QStringLiteral(
            "Another program has changed this Recording since you opened it (it now reads \"%1 - %2\").\r\n\r\n"
            "Yes: save your version over it.\r\n"
            "No: show the other program's version here, dropping your changes.\r\n"
            "Cancel: go back to your changes without saving.")
            .arg(theirs.artist, theirs.title),
        QStringLiteral("Varolin"), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Warning,
        QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        m_store->save(m_request.recordID, mine, RecordingStore::Overwrite::Yes);
        return true;
    }
    if (answer == QMessageBox::No) {
        if (const std::optional<RecordingValues> now = m_store->load(m_request.recordID))
            ShowValues(*now);
    }
    return false;
}

void frmRecord::NoUpdate()
{
    m_store.reset();
}

void frmRecord::cmdOK_Click()
{
    if (m_bUnloading)
        return;
    if (m_bChanged) {
        if (!Update())
            return;
    } else {
        NoUpdate();
    }
    Unload();
}

void frmRecord::cmdCancel_Click()
{
    LeaveAsking(Navigate::None);
}

void frmRecord::cmdPrevious_Click()
{
    LeaveAsking(Navigate::Previous);
}

void frmRecord::cmdNext_Click()
{
    LeaveAsking(Navigate::Next);
}

void frmRecord::LeaveAsking(Navigate navigate)
{
    if (m_bUnloading)
        return;
    if (m_bChanged) {
        const auto answer = Dialogs::message(this, QStringLiteral("Changes have been made; shall I save them?"),
                                             QStringLiteral("Varolin"), QMessageBox::Yes | QMessageBox::No,
                                             QMessageBox::Question, QMessageBox::Yes);
        // A save that fails keeps the editor open, with its edits and without the move.
        if (answer == QMessageBox::Yes && !Update())
            return;
    }
    NoUpdate();
    m_result.navigate = navigate;
    Unload();
}

void frmRecord::Unload()
{
    m_bUnloading = true;
    QDialog::done(QDialog::Accepted);
}
