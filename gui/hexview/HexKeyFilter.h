// What a typed character does to a hex grid cell, which takes at most two hex digits.
#pragma once

#include <string>

namespace pt4 {

struct HexKeyResult {
  int captionCode;  // shown in the window's caption, before any filtering
  bool clearCell;   // beep and empty the cell
  char insert;      // the character to insert, or 0 to discard the key
};

HexKeyResult HexKeyFilter(unsigned code, const std::string& cellText);

// The digit or letter A-F that a Latin keyboard has on the key of this native
// scan code (the X and Wayland key code, the evdev code plus 8), or 0 for any
// other key: what a hex cell takes from a key while another script's layout
// (a Cyrillic one) is active.
char LatinHexKeyAt(unsigned nativeScanCode);

}  // namespace pt4
