#include "platform/KeyCodes.h"

#include <cstddef>

namespace KeyCodes {

namespace {

struct Entry
{
    int virtualKey;
    int qtKey;
    const char* name;
};

// Keys whose virtual-key number differs from Qt's key code. Digits, letters and function keys are
// ranges and need no table.
constexpr Entry kKeys[] = {
    {8, Qt::Key_Backspace, "Backspace"},
    {9, Qt::Key_Tab, "Tab"},
    {13, Qt::Key_Return, "Enter"},
    {16, Qt::Key_Shift, "Shift"},
    {17, Qt::Key_Control, "Ctrl"},
    {18, Qt::Key_Alt, "Alt"},
    {19, Qt::Key_Pause, "Pause"},
    {20, Qt::Key_CapsLock, "Caps Lock"},
    {27, Qt::Key_Escape, "Esc"},
    {32, Qt::Key_Space, "Space"},
    {33, Qt::Key_PageUp, "Page Up"},
    {34, Qt::Key_PageDown, "Page Down"},
    {35, Qt::Key_End, "End"},
    {36, Qt::Key_Home, "Home"},
    {37, Qt::Key_Left, "Left"},
    {38, Qt::Key_Up, "Up"},
    {39, Qt::Key_Right, "Right"},
    {40, Qt::Key_Down, "Down"},
    {44, Qt::Key_Print, "Print Screen"},
    {45, Qt::Key_Insert, "Insert"},
    {46, Qt::Key_Delete, "Delete"},
    {144, Qt::Key_NumLock, "Num Lock"},
    {145, Qt::Key_ScrollLock, "Scroll Lock"},
    {186, Qt::Key_Semicolon, ";"},
    {187, Qt::Key_Equal, "="},
    {188, Qt::Key_Comma, ","},
    {189, Qt::Key_Minus, "-"},
    {190, Qt::Key_Period, "."},
    {191, Qt::Key_Slash, "/"},
    {192, Qt::Key_QuoteLeft, "`"},
    {219, Qt::Key_BracketLeft, "["},
    {220, Qt::Key_Backslash, "\\"},
    {221, Qt::Key_BracketRight, "]"},
    {222, Qt::Key_Apostrophe, "'"},
};

// Further Qt keys that arrive from the same key: Shift+Tab, the keypad's Enter, and the shifted
// symbols of a US keyboard.
constexpr Entry kAliases[] = {
    {9, Qt::Key_Backtab, nullptr},      {13, Qt::Key_Enter, nullptr},       {49, Qt::Key_Exclam, nullptr},
    {50, Qt::Key_At, nullptr},          {51, Qt::Key_NumberSign, nullptr},  {52, Qt::Key_Dollar, nullptr},
    {53, Qt::Key_Percent, nullptr},     {54, Qt::Key_AsciiCircum, nullptr}, {55, Qt::Key_Ampersand, nullptr},
    {56, Qt::Key_Asterisk, nullptr},    {57, Qt::Key_ParenLeft, nullptr},   {48, Qt::Key_ParenRight, nullptr},
    {186, Qt::Key_Colon, nullptr},      {187, Qt::Key_Plus, nullptr},       {188, Qt::Key_Less, nullptr},
    {189, Qt::Key_Underscore, nullptr}, {190, Qt::Key_Greater, nullptr},    {191, Qt::Key_Question, nullptr},
    {192, Qt::Key_AsciiTilde, nullptr}, {219, Qt::Key_BraceLeft, nullptr},  {220, Qt::Key_Bar, nullptr},
    {221, Qt::Key_BraceRight, nullptr}, {222, Qt::Key_QuoteDbl, nullptr},
};

// The keypad's operators. Some layouts put a comma on the keypad's decimal key; it is still that key.
constexpr Entry kKeypad[] = {
    {106, Qt::Key_Asterisk, "Num *"}, {107, Qt::Key_Plus, "Num +"},  {109, Qt::Key_Minus, "Num -"},
    {110, Qt::Key_Period, "Num ."},   {110, Qt::Key_Comma, nullptr}, {111, Qt::Key_Slash, "Num /"},
};

constexpr int kKeypad0 = 96;

template <std::size_t N>
const Entry* byQtKey(const Entry (&table)[N], int qtKey)
{
    for (const Entry& entry : table) {
        if (entry.qtKey == qtKey)
            return &entry;
    }
    return nullptr;
}

template <std::size_t N>
const Entry* byVirtualKey(const Entry (&table)[N], int virtualKey)
{
    for (const Entry& entry : table) {
        if (entry.virtualKey == virtualKey && entry.name)
            return &entry;
    }
    return nullptr;
}

} // namespace

int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return kKeypad0 + (qtKey - Qt::Key_0);
        if (const Entry* entry = byQtKey(kKeypad, qtKey))
            return entry->virtualKey;
        // The keypad's arrows, Home and Enter are the ordinary keys.
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VkF1 + (qtKey - Qt::Key_F1);
    if (const Entry* entry = byQtKey(kKeys, qtKey))
        return entry->virtualKey;
    if (const Entry* entry = byQtKey(kAliases, qtKey))
        return entry->virtualKey;
    return 0;
}

int qtKey(int virtualKey)
{
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return virtualKey;
    if (virtualKey >= kKeypad0 && virtualKey <= kKeypad0 + 9)
        return Qt::Key_0 + (virtualKey - kKeypad0);
    if (virtualKey >= VkF1 && virtualKey <= VkF24)
        return Qt::Key_F1 + (virtualKey - VkF1);
    if (const Entry* entry = byVirtualKey(kKeypad, virtualKey))
        return entry->qtKey;
    if (const Entry* entry = byVirtualKey(kKeys, virtualKey))
        return entry->qtKey;
    return 0;
}

QString name(int virtualKey)
{
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return QString(QChar(virtualKey));
    if (virtualKey >= kKeypad0 && virtualKey <= kKeypad0 + 9)
        return QStringLiteral("Num %1").arg(virtualKey - kKeypad0);
    if (virtualKey >= VkF1 && virtualKey <= VkF24)
        return QStringLiteral("F%1").arg(virtualKey - VkF1 + 1);
    if (const Entry* entry = byVirtualKey(kKeypad, virtualKey))
        return QString::fromLatin1(entry->name);
    if (const Entry* entry = byVirtualKey(kKeys, virtualKey))
        return QString::fromLatin1(entry->name);
    return QStringLiteral("Key %1").arg(virtualKey);
}

} // namespace KeyCodes
