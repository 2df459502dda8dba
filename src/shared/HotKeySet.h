#pragma once

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

    int count() const { return static_cast<int>(m_keys.size()); }
    const HotKey& at(int i) const { return m_keys.at(i); }
    void setText(int i, const QString& text) { m_keys[i].text = text; }
    void append(const HotKey& key) { m_keys.append(key); }
    // The position of the hot key typed by a virtual-key code, or -1.
    int indexOfCode(int code) const;

private:
    QList<HotKey> m_keys;
};
