// How ROM databases identify an image: CRC32 and SHA-1 over its bytes, one word a
// byte in the low nibble, as lowercase hex.
#pragma once

#include <cstdint>
#include <string>

namespace pt4 {

std::string Crc32Hex(const std::uint8_t* data, std::size_t count);
std::string Sha1Hex(const std::uint8_t* data, std::size_t count);
// Bytes as lowercase hex digits, two a byte.
std::string LowerHex(const unsigned char* bytes, std::size_t count);

}  // namespace pt4
