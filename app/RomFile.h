// Raw .rom images: RomSize bytes, file offset = buffer address, no header.
#pragma once

#include <stdexcept>
#include <string>

#include "app/Buffer.h"

namespace pt4 {

// A file error with the text the user sees (the error box adds the full stop).
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The message for an errno from opening, reading or writing `path`.
std::string FileErrorText(int err, const std::string& path);

// Reads the first RomSize bytes of `path`, shifts bits 0-5 up by two when
// lowToHigh is set, masks with `mask`, and only then stores them: a failed load
// leaves the buffer exactly as it was. Throws FileError.
void LoadRom(const std::string& path, RomImage& image, std::uint8_t mask, bool lowToHigh);

// Writes RomSize bytes as they stand, through a temporary file renamed over the
// target, so a failure leaves an existing file untouched. Throws FileError.
void SaveRom(const std::string& path, const RomImage& image);

}  // namespace pt4
