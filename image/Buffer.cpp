#include "image/Buffer.h"

#include <algorithm>

namespace pt4 {

std::string Hex(unsigned value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4)
    s[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
  return s;
}

void FillBuffer(RomImage& image, std::int32_t count, std::uint8_t value) {
  if (count <= 0) return;
  const auto n = std::min<std::int32_t>(count, kRomBufferBytes);
  std::fill_n(image.RomBuffer.begin(), n, value);
}

}  // namespace pt4
