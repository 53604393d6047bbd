// The image's 16-bit checksum, as a hardware signature analyser shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/Buffer.h"

namespace pt4 {

// A Fibonacci shift register with feedback x^16 + x^12 + x^9 + x^7 + 1, one clock
// per data bit, bit 0 of each byte first. Not a CRC: the data bit enters the
// feedback, not the output.
std::uint16_t Signature(const std::uint8_t* data, std::size_t count);
// Of the image's RomSize bytes, as four hex digits.
std::string SignatureText(const RomImage& image);

}  // namespace pt4
