#include "gui/hexview/HexKeyFilter.h"

namespace pt4 {

HexKeyResult HexKeyFilter(unsigned code, const std::string& cellText) {
  HexKeyResult r{static_cast<int>(code), false, 0};
  if (cellText.size() >= 2) {
    r.clearCell = true;
    return r;
  }
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'F'))
    r.insert = static_cast<char>(code);
  if (code >= 'a' && code <= 'f') r.insert = static_cast<char>(code - 'a' + 'A');
  return r;
}

char LatinHexKeyAt(unsigned nativeScanCode) {
  // The top row's 1 to 0, then A to F, where the keys lie on every PC keyboard.
  constexpr unsigned kOne = 10, kZero = 19;
  if (nativeScanCode >= kOne && nativeScanCode < kZero)
    return static_cast<char>('1' + (nativeScanCode - kOne));
  switch (nativeScanCode) {
    case kZero:
      return '0';
    case 38:
      return 'A';
    case 56:
      return 'B';
    case 54:
      return 'C';
    case 40:
      return 'D';
    case 26:
      return 'E';
    case 41:
      return 'F';
    default:
      return 0;
  }
}

}  // namespace pt4
