#pragma once

#include <Qt>

namespace pt4 {

// The PC virtual-key code of a Qt key (left and right modifiers alike, keypad keys
// by the keypad modifier), or -1 for a key a PC keyboard does not have.
int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

constexpr int kVkEscape = 27;
// F1 to F24 are the virtual keys 112 to 135.
constexpr int VkF(int n) {
  return 111 + n;
}

}  // namespace pt4
