#include "shared/HotKeySet.h"

#include "platform/KeyCodes.h"
#include "store/NumberText.h"

namespace {

// The length of the braced group starting at p ("{x}", "{NAME}", "{}}"), or 0 when none starts there.
qsizetype BracedGroupLength(const QString& text, qsizetype p)
{
    if (text.at(p) != QLatin1Char('{'))
        return 0;
    if (text.mid(p, 3) == QLatin1String("{}}"))
        return 3;
    const qsizetype close = text.indexOf(QLatin1Char('}'), p + 1);
    return close < 0 ? 0 : close - p + 1;
}

// A character of the text typed as itself. Braces make most characters literal; Enter has a name,
// so that a "~" the user meant as Enter stays Enter.
QString LiteralKey(QChar c)
{
    if (c == QLatin1Char('~'))
        return QStringLiteral("{ENTER}");
    return QLatin1Char('{') + c + QLatin1Char('}');
}

} // namespace

HotKeySet HotKeySet::fromEntries(const QStringList& entries, const QString& spaceSubst)
{
    HotKeySet set;
    for (const QString& value : entries) {
        if (value.isEmpty() || set.count() == kMaxKeys)
            break;
        const qsizetype p1 = value.indexOf(QLatin1Char(','));
        const qsizetype p2 = p1 < 0 ? -1 : value.indexOf(QLatin1Char(','), p1 + 1);
        // Loading a key without its two commas would have the settings window write back an entry
        // the user never wrote.
        if (p2 < 0)
            break;
        set.append({value.left(p1),
                    NumberText::roundHalfEven(NumberText::leadingNumber(value.mid(p1 + 1, p2 - p1 - 1))),
                    textFromFile(value.mid(p2 + 1), spaceSubst)});
    }
    return set;
}

QString HotKeySet::entry(const HotKey& key, const QString& spaceSubst)
{
    return key.name + QLatin1Char(',') + QString::number(key.code) + QLatin1Char(',') +
           textForFile(key.text, spaceSubst);
}

QString HotKeySet::textFromFile(const QString& value, const QString& spaceSubst)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype p = 0; p < value.size();) {
        if (const qsizetype group = BracedGroupLength(value, p)) {
            // A key's name with a count ("{TAB_3}") was written with its space substituted too; a
            // single braced character ("{_}") is typed as itself.
            QString braced = value.mid(p, group);
            if (group > 3 && !spaceSubst.isEmpty())
                braced.replace(spaceSubst, QStringLiteral(" "));
            text += braced;
            p += group;
        } else if (!spaceSubst.isEmpty() && QStringView(value).mid(p).startsWith(spaceSubst)) {
            text += QLatin1Char(' ');
            p += spaceSubst.size();
        } else {
            text += value.at(p++);
        }
    }
    return text;
}

QString HotKeySet::textForFile(const QString& text, const QString& spaceSubst)
{
    // Spaces become the substitution text. Where the text holds the substitution's characters of its
    // own, each of them is braced, typed as itself: then only the spaces read back as spaces. Where
    // even that cannot hold (a substitution of braces), the text is written as it always was.
    QString plain;
    QString braced;
    for (qsizetype p = 0; p < text.size();) {
        if (const qsizetype group = BracedGroupLength(text, p)) {
            plain += QStringView(text).mid(p, group);
            braced += QStringView(text).mid(p, group);
            p += group;
            continue;
        }
        const QChar c = text.at(p++);
        if (c == QLatin1Char(' ')) {
            plain += spaceSubst;
            braced += spaceSubst;
        } else {
            plain += c;
            braced += spaceSubst.contains(c) ? LiteralKey(c) : QString(c);
        }
    }
    if (textFromFile(plain, spaceSubst) == text)
        return plain;
    const bool bBracesInSubst = spaceSubst.contains(QLatin1Char('{')) || spaceSubst.contains(QLatin1Char('}'));
    return bBracesInSubst ? plain : braced;
}

int HotKeySet::indexOfCode(int code) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_keys.at(i).code == code)
            return i;
    }
    return -1;
}

bool HotKeySet::isHotKeyCode(int code)
{
    return code >= KeyCodes::VkF1 && code <= KeyCodes::VkF24;
}

HotKeySet::KeyRefusal HotKeySet::setCode(int i, int code)
{
    HotKey& key = m_keys[i];
    if (code == key.code)
        return KeyRefusal::None;
    if (!isHotKeyCode(code))
        return KeyRefusal::NotAHotKey;
    if (indexOfCode(code) >= 0)
        return KeyRefusal::InUse;
    if (key.name == KeyCodes::name(key.code))
        key.name = KeyCodes::name(code);
    key.code = code;
    return KeyRefusal::None;
}

int HotKeySet::add()
{
    if (count() >= kMaxKeys)
        return -1;
    for (int code = KeyCodes::VkF1; code <= KeyCodes::VkF24; ++code) {
        if (indexOfCode(code) < 0) {
            m_keys.append({KeyCodes::name(code), code, QString()});
            return count() - 1;
        }
    }
    return -1;
}

QList<IniFile::Entry> HotKeySet::fileEntries(int storedCount, const QString& spaceSubst) const
{
    const QString section = QStringLiteral("Hot-Keys");
    QList<IniFile::Entry> entries;
    for (int i = 0; i < count(); ++i)
        entries.append({section, QString::number(i + 1), entry(at(i), spaceSubst)});
    // The start reads up to the first missing key. A key beyond an old gap would be read again
    // once the gap is filled, unseen in the settings window until then.
    const int last = qMin(count() > storedCount ? count() + 1 : storedCount, static_cast<int>(kMaxKeys));
    for (int k = count() + 1; k <= last; ++k)
        entries.append({section, QString::number(k), QString(), true});
    return entries;
}
