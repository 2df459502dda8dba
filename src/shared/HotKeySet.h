#pragma once

#include "shared/IniFile.h"

#include <QList>
#include <QString>
#include <QStringList>

// One hot key of the recording editor: its name, the virtual-key code that types it, and its text
// in stored form (the send-keys syntax).
struct HotKey
{
    QString name;
    int code = 0;
    QString text;
};

// The editor's hot keys as varolin.ini's [Hot-Keys] holds them: "name,code,text" under keys 1, 2,
// ... up to the first missing one, at most five, with each space of the text written as the
// substitution text.
class HotKeySet
{
public:
    static constexpr int kMaxKeys = 5;

    // Why a key cannot be given to a hot key.
    enum class KeyRefusal { None, NotAHotKey, InUse };

    // The hot keys of the entries of keys 1, 2, ... in order; an entry without its two commas ends
    // the list like a missing one.
    static HotKeySet fromEntries(const QStringList& entries, const QString& spaceSubst);
    // The entry written for a hot key.
    static QString entry(const HotKey& key, const QString& spaceSubst);

    // A text as the file holds it, in stored form: each substitution text outside braces is a space.
    static QString textFromFile(const QString& value, const QString& spaceSubst);
    // The stored form as the file holds it: spaces become the substitution text, and a substitution
    // text that stands in the text itself is braced, so that it is typed as itself after a restart.
    static QString textForFile(const QString& text, const QString& spaceSubst);

    // Whether a key may become a hot key. A hot key types its text wherever it is pressed in the
    // editor, also while the user types, so only keys that type and move nothing qualify: F1 to F24.
    static bool isHotKeyCode(int code);

    int count() const { return static_cast<int>(m_keys.size()); }
    const HotKey& at(int i) const { return m_keys.at(i); }
    void setText(int i, const QString& text) { m_keys[i].text = text; }
    void append(const HotKey& key) { m_keys.append(key); }
    // The position of the hot key typed by a virtual-key code, or -1.
    int indexOfCode(int code) const;

    // Gives hot key i another key, unless another hot key has it or it cannot be a hot key. A name
    // that was the old key's name follows the key.
    KeyRefusal setCode(int i, int code);
    // Adds a hot key without text on the first function key no other has, named after it; its
    // position, or -1 when the set is full.
    int add();
    void remove(int i) { m_keys.removeAt(i); }

    // What [Hot-Keys] needs so that the next start reads this set, where it read storedCount keys:
    // an entry for each hot key, and the keys after the last taken away, so that neither a removed
    // key nor one beyond an old gap comes back.
    QList<IniFile::Entry> fileEntries(int storedCount, const QString& spaceSubst) const;

private:
    QList<HotKey> m_keys;
};
