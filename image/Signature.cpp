#include "image/Signature.h"

#include <algorithm>

namespace pt4 {

std::uint16_t Signature(const std::uint8_t* data, std::size_t count) {
  unsigned s = 0;
  for (std::size_t a = 0; a < count; ++a) {
    for (int k = 0; k < 8; ++k) {
      const unsigned f = ((data[a] >> k) ^ (s >> 6) ^ (s >> 8) ^ (s >> 11) ^ (s >> 15)) & 1u;
      s = ((s << 1) & 0xFFFFu) | f;
    }
  }
  return static_cast<std::uint16_t>(s);
}

std::string SignatureText(const RomImage& image) {
  return Hex(
      Signature(image.RomBuffer.data(), static_cast<std::size_t>(std::max(0, image.RomSize))), 4);
}

}  // namespace pt4
