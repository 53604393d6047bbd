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

}  // namespace pt4
