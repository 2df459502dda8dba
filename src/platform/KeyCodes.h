#pragma once

#include <QString>
#include <Qt>

// Hot keys are stored in varolin.ini as Windows virtual-key numbers; these map them to Qt's keys.
namespace KeyCodes {

// The virtual keys the windows act on by themselves, and the range of the function keys.
enum VirtualKey : int {
    VkBackspace = 8,
    VkTab = 9,
    VkEnter = 13,
    VkEscape = 27,
    VkEnd = 35,
    VkHome = 36,
    VkInsert = 45,
    VkDelete = 46,
    VkF1 = 112,
    VkF24 = 135,
};

// The virtual-key number of a Qt key, 0 when it has none. Shifted US symbols give the key they are
// on; with Qt::KeypadModifier, digits and operators give the keypad's own numbers.
int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers = {});
// The Qt key of a virtual-key number (the unshifted key), 0 when there is none.
int qtKey(int virtualKey);
// A short name to show for a virtual key: "F2", "Enter", "A", "Num 5", or "Key 200".
QString name(int virtualKey);

} // namespace KeyCodes
