#pragma once

#include "platform/DialogBase.h"
#include "store/RecordingStore.h"

#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class RecordingStore;
class Session;

// What the editor is opened on.
enum class EditMode { New, Amend };

// Where the user asked to go when leaving the editor.
enum class Navigate { None, Previous, Next };

struct EditRequest
{
    EditMode mode = EditMode::New;
    qint64 recordID = 0; // for Amend
    // The edited row is the first or the last of the display: no Previous, or no Next.
    bool atFirstRow = false;
    bool atLastRow = false;
};

// The recording editor: one recording of the catalogue, new or amended, in seven text boxes and
// a list of formats. It is shown on an EditRequest and returns what happened.
class frmRecord : public DialogBase
{
    Q_OBJECT

public:
    // How a showing ended before the user saw the editor.
    enum class LoadResult { Loaded, RecordMissing, Failed };

    struct Result
    {
        LoadResult load = LoadResult::Failed;
        bool saved = false;
        qint64 savedID = 0; // the recording saved, when saved
        Navigate navigate = Navigate::None;
    };

    explicit frmRecord(Session& session, QWidget* parent = nullptr);
    ~frmRecord() override;

    // Loads the recording asked for and shows the editor modally until it is left. A recording
    // that is no longer in the catalogue, or a catalogue that cannot be read, shows no editor; the
    // reason is in loadError().
    Result ShowModal(const EditRequest& request);
    QString loadError() const { return m_sLoadError; }

    // Saves the window's values into the catalogue; false (after saying why) when nothing could be
    // saved, with the window and its edits left as they were.
    bool Update();
    // Ends the table access without saving.
    void NoUpdate();
    // Another program saved the recording since it was loaded: asks whose version stands. True
    // when the user's was written over it.
    bool ResolveConflict(const RecordingValues& theirs, const RecordingValues& mine);
    // A new Artist and Title alike with a recording already in the catalogue: asks whether to save.
    bool ConfirmNotOwnedAlready(const RecordingValues& values);

    bool isChanged() const { return m_bChanged; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void okKey() override { cmdOK_Click(); }
    void cancelKey() override { cmdCancel_Click(); }
    // Ctrl+Enter is the Notes' new line, not OK.
    bool isOkKey(const QKeyEvent* event) const override;
    bool previewKey(QKeyEvent* event) override;

private:
    // The seven text fields, in the catalogue's order, numbered from 1 as the focus handling counts.
    enum Field { Artist = 1, Title, Year, Label, CatNo, IntCatNo, Notes, FieldCount = Notes };

    void CreateControls();
    QWidget* FieldBox(int iField) const;
    QString FieldText(int iField) const;
    QString NotesText() const;
    void SetFieldText(int iField, const QString& sText);

    // Loading
    LoadResult Form_Load();
    void LoadFields(const RecordingValues& values);
    void LoadFormats(std::optional<qint64> format);
    // Shows a recording read again, as unchanged.
    void ShowValues(const RecordingValues& values);
    RecordingValues GatherFields() const;
    void SetUpHotKeys();

    // Focus and change tracking
    void txtField_GotFocus(int iField);
    void txtField_LostFocus(int iField);
    void txtField_Change();
    void cboFormat_Click();
    void cmdButton_GotFocus();
    bool txtYear_KeyPress(const QKeyEvent* event) const;

    // Leaving
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void LeaveAsking(Navigate navigate);
    void Unload();

    // Hot keys
    void cmdHotKey_Click(int iIndex);
    void SendHotKeyText(int iIndex);

    // Controls
    QFrame* fraButtons = nullptr;
    QToolButton* cmdOK = nullptr;
    QToolButton* cmdCancel = nullptr;
    std::array<QToolButton*, 5> cmdHotKey{};
    QToolButton* cmdPrevious = nullptr;
    QToolButton* cmdNext = nullptr;
    QLineEdit* txtArtist = nullptr;
    QLineEdit* txtTitle = nullptr;
    QComboBox* cboFormat = nullptr;
    QLineEdit* txtYear = nullptr;
    QLineEdit* txtLabel = nullptr;
    QLineEdit* txtCatNo = nullptr;
    QLineEdit* txtIntCatNo = nullptr;
    QPlainTextEdit* txtNotes = nullptr;

    // Window state
    Session& m_session;
    EditRequest m_request;
    Result m_result;
    std::unique_ptr<RecordingStore> m_store; // holds the recording's table from load to save
    bool m_bNew = false;
    int m_iFocusField = 0;
    bool m_bHotKeyFocus = false;
    bool m_bChanged = false;
    bool m_bLoading = false;
    bool m_bUnloading = false;
    QString m_sLoadError;
    // Each box's caret and selection as it lost the focus, for a hot key to type into.
    struct Caret
    {
        int position = 0;
        int anchor = 0;
    };
    std::array<Caret, FieldCount + 1> m_aCaret{};
    // The Notes as the catalogue held them and as the box showed them, for the store's rule.
    QString m_sNotesLoaded;
    RecordingValues m_loadedValues; // as the last load found the recording
    QString m_sNotesShown;
    // The Year as it stood before the last edit, and how long it may grow.
    QString m_sYearShown;
    int m_iYearLimit = 4;
};
