#include "image/ImageId.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <cstdio>

namespace pt4 {

std::string Crc32Hex(const std::uint8_t* data, std::size_t count) {
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), data, static_cast<uInt>(count));
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08lx", crc);
  return buf;
}

std::string Sha1Hex(const std::uint8_t* data, std::size_t count) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  if (EVP_Digest(data, count, digest, &len, EVP_sha1(), nullptr) != 1) return {};
  std::string out;
  char buf[4];
  for (unsigned int i = 0; i < len; ++i) {
    std::snprintf(buf, sizeof buf, "%02x", digest[i]);
    out += buf;
  }
  return out;
}

}  // namespace pt4
