#include "platform/SendKeysParser.h"

#include <algorithm>

namespace {

using Stroke = SendKeysParser::Stroke;

// More repeats than this is a slip of the keyboard, not a sequence anyone means.
constexpr int kMaxRepeat = 1000;
constexpr int kFunctionKeys = 16;

struct NamedKey
{
    const char* name;
    int key;
    const char* text;
};

// Keys that type a control character carry it as text, as the keyboard's own events do.
constexpr NamedKey kNamedKeys[] = {
    {"BACKSPACE", Qt::Key_Backspace, "\b"},
    {"BS", Qt::Key_Backspace, "\b"},
    {"BKSP", Qt::Key_Backspace, "\b"},
    {"DELETE", Qt::Key_Delete, ""},
    {"DEL", Qt::Key_Delete, ""},
    {"INSERT", Qt::Key_Insert, ""},
    {"INS", Qt::Key_Insert, ""},
    {"ENTER", Qt::Key_Return, "\r"},
    {"ESC", Qt::Key_Escape, "\x1b"},
    {"ESCAPE", Qt::Key_Escape, "\x1b"},
    {"TAB", Qt::Key_Tab, "\t"},
    {"HOME", Qt::Key_Home, ""},
    {"END", Qt::Key_End, ""},
    {"UP", Qt::Key_Up, ""},
    {"DOWN", Qt::Key_Down, ""},
    {"LEFT", Qt::Key_Left, ""},
    {"RIGHT", Qt::Key_Right, ""},
    {"PGUP", Qt::Key_PageUp, ""},
    {"PGDN", Qt::Key_PageDown, ""},
    {"BREAK", Qt::Key_Pause, ""},
    {"CAPSLOCK", Qt::Key_CapsLock, ""},
    {"NUMLOCK", Qt::Key_NumLock, ""},
    {"SCROLLLOCK", Qt::Key_ScrollLock, ""},
    {"PRTSC", Qt::Key_Print, ""},
};

Qt::KeyboardModifier modifierOf(QChar c)
{
    switch (c.unicode()) {
    case u'+':
        return Qt::ShiftModifier;
    case u'^':
        return Qt::ControlModifier;
    case u'%':
        return Qt::AltModifier;
    default:
        return Qt::NoModifier;
    }
}

// With Ctrl or Alt held a key is a command and types nothing.
Stroke makeStroke(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    if (key == Qt::Key_Tab && (modifiers & Qt::ShiftModifier))
        key = Qt::Key_Backtab;
    const bool command = modifiers & (Qt::ControlModifier | Qt::AltModifier);
    return {key, modifiers, command ? QString() : text};
}

Stroke characterStroke(char32_t c, Qt::KeyboardModifiers modifiers)
{
    if (c == u'\t')
        return makeStroke(Qt::Key_Tab, modifiers, QStringLiteral("\t"));
    if (c == u'\r' || c == u'\n')
        return makeStroke(Qt::Key_Return, modifiers, QStringLiteral("\r"));
    const bool letter = QChar::isLetter(c);
    const char32_t upper = QChar::toUpper(c);
    const char32_t typed = letter && (modifiers & Qt::ShiftModifier) ? upper : c;
    return makeStroke(static_cast<int>(letter ? upper : c), modifiers, QString::fromUcs4(&typed, 1));
}

bool namedStroke(const QString& name, Qt::KeyboardModifiers modifiers, Stroke* stroke)
{
    const QString upper = name.toUpper();
    for (const NamedKey& named : kNamedKeys) {
        if (upper == QLatin1StringView(named.name)) {
            *stroke = makeStroke(named.key, modifiers, QString::fromLatin1(named.text));
            return true;
        }
    }
    for (int n = 1; n <= kFunctionKeys; ++n) {
        if (upper == QStringLiteral("F%1").arg(n)) {
            *stroke = makeStroke(Qt::Key_F1 + n - 1, modifiers, QString());
            return true;
        }
    }
    return false;
}

class Parser
{
public:
    explicit Parser(const QString& keys) : m_keys(keys) {}

    bool run();

    QList<Stroke> strokes;
    QString error;

private:
    bool braced(Qt::KeyboardModifiers modifiers);
    bool fail(const QString& problem, qsizetype index);
    qsizetype charLength(qsizetype index) const;
    char32_t charAt(qsizetype index) const;

    const QString& m_keys;
    qsizetype m_pos = 0;
};

bool Parser::run()
{
    struct Group
    {
        qsizetype start;
        Qt::KeyboardModifiers held;
    };
    QList<Group> groups;
    Qt::KeyboardModifiers pending;
    qsizetype modifierAt = -1;
    const auto modifierWithoutKey = [&] {
        return fail(QStringLiteral("\"%1\" with no key after it").arg(m_keys.at(modifierAt)), modifierAt);
    };
    while (m_pos < m_keys.size()) {
        const QChar c = m_keys.at(m_pos);
        if (const Qt::KeyboardModifier modifier = modifierOf(c); modifier != Qt::NoModifier) {
            pending |= modifier;
            modifierAt = m_pos++;
            continue;
        }
        const Qt::KeyboardModifiers held = (groups.isEmpty() ? Qt::KeyboardModifiers() : groups.last().held) | pending;
        switch (c.unicode()) {
        case u'(':
            groups.append({m_pos++, held});
            break;
        case u')':
            if (groups.isEmpty())
                return fail(QStringLiteral("Unmatched \")\""), m_pos);
            if (modifierAt >= 0)
                return modifierWithoutKey();
            if (groups.last().start == m_pos - 1)
                return fail(QStringLiteral("Empty parentheses"), m_pos - 1);
            groups.removeLast();
            ++m_pos;
            break;
        case u'{':
            if (!braced(held))
                return false;
            break;
        case u'}':
            return fail(QStringLiteral("Unmatched \"}\""), m_pos);
        case u'[':
        case u']':
            return fail(QStringLiteral("Reserved bracket \"%1\" (write {%1} to type it)").arg(c), m_pos);
        case u'~':
            strokes.append(makeStroke(Qt::Key_Return, held, QStringLiteral("\r")));
            ++m_pos;
            break;
        default:
            strokes.append(characterStroke(charAt(m_pos), held));
            m_pos += charLength(m_pos);
            break;
        }
        pending = {};
        modifierAt = -1;
    }
    if (modifierAt >= 0)
        return modifierWithoutKey();
    if (!groups.isEmpty())
        return fail(QStringLiteral("Unclosed parenthesis"), groups.last().start);
    return true;
}

// At a "{": one key, by name or as a single character, possibly repeated.
bool Parser::braced(Qt::KeyboardModifiers modifiers)
{
    const qsizetype start = m_pos;
    const qsizetype first = start + 1;
    if (first >= m_keys.size())
        return fail(QStringLiteral("Unclosed brace"), start);
    // The first character is taken as it is, so that "{}}" and "{} 3}" name the closing brace.
    if (m_keys.at(first) == u'}' &&
        !(first + 1 < m_keys.size() && (m_keys.at(first + 1) == u'}' || m_keys.at(first + 1) == u' ')))
        return fail(QStringLiteral("Empty braces"), start);
    const qsizetype close = m_keys.indexOf(u'}', first + charLength(first));
    if (close < 0)
        return fail(QStringLiteral("Unclosed brace"), start);
    const QString content = m_keys.mid(first, close - first);
    m_pos = close + 1;

    QString name = content;
    int count = 1;
    if (const qsizetype space = content.lastIndexOf(u' '); space > 0) {
        name = content.left(space);
        const QString digits = content.mid(space + 1);
        bool ok = !digits.isEmpty() &&
                  std::all_of(digits.begin(), digits.end(), [](QChar d) { return d >= u'0' && d <= u'9'; });
        if (ok)
            count = digits.toInt(&ok);
        if (!ok || count < 1 || count > kMaxRepeat)
            return fail(QStringLiteral("Repeat count \"%1\" is not a number from 1 to %2")
                            .arg(digits, QString::number(kMaxRepeat)),
                        first + space + 1);
    }

    Stroke stroke{};
    if (name.size() == charLength(first))
        stroke = characterStroke(charAt(first), modifiers);
    else if (!namedStroke(name, modifiers, &stroke))
        return fail(QStringLiteral("Unknown key name \"") + name + u'"', start);
    for (int i = 0; i < count; ++i)
        strokes.append(stroke);
    return true;
}

bool Parser::fail(const QString& problem, qsizetype index)
{
    error = QStringLiteral("%1 at position %2 in \"%3\"").arg(problem, QString::number(index + 1), m_keys);
    strokes.clear();
    return false;
}

qsizetype Parser::charLength(qsizetype index) const
{
    const bool pair =
        m_keys.at(index).isHighSurrogate() && index + 1 < m_keys.size() && m_keys.at(index + 1).isLowSurrogate();
    return pair ? 2 : 1;
}

char32_t Parser::charAt(qsizetype index) const
{
    if (charLength(index) == 2)
        return QChar::surrogateToUcs4(m_keys.at(index), m_keys.at(index + 1));
    return m_keys.at(index).unicode();
}

} // namespace

QList<SendKeysParser::Stroke> SendKeysParser::parse(const QString& keys, QString* error)
{
    Parser parser(keys);
    parser.run();
    if (error)
        *error = parser.error;
    return parser.strokes;
}
