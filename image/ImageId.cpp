#include "image/ImageId.h"

#include <zlib.h>

#include <cstdio>

namespace pt4 {

std::string Crc32Hex(const std::uint8_t* data, std::size_t count) {
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), data, static_cast<uInt>(count));
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08lx", crc);
  return buf;
}

std::string LowerHex(const unsigned char* bytes, std::size_t count) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0x0F];
  }
  return out;
}

}  // namespace pt4
