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

}  // namespace pt4
