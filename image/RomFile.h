// Image files: raw .rom images (RomSize bytes, file offset = buffer address, no
// header) and the other formats of ImageFormats.h.
#pragma once

#include <string>
#include <vector>

#include "base/Message.h"
#include "image/Buffer.h"
#include "image/ImageFormats.h"

namespace pt4 {

// The message for an errno from opening, reading or writing `path`.
Phrase FileErrorPhrase(int err, const std::string& path);
std::string FileErrorText(int err, const std::string& path);

// Decodes RomSize words from `bytes`, shifts bits 0-5 up by two when lowToHigh is
// set, masks with `mask`, and only then stores them: a failed load leaves the
// buffer exactly as it was. Returns the format the bytes were read as. Throws FileError.
ImageFormat LoadRomBytes(const std::vector<std::uint8_t>& bytes, RomImage& image, std::uint8_t mask,
                         bool lowToHigh, ImageFormat format = ImageFormat::Auto);
// The same from a file: raw files give their first RomSize bytes.
ImageFormat LoadRom(const std::string& path, RomImage& image, std::uint8_t mask, bool lowToHigh,
                    ImageFormat format = ImageFormat::Auto);

// Writes RomSize words as they stand in `format` (Auto: by the name's extension),
// through a temporary file renamed over the target, so a failure leaves an
// existing file untouched. Throws FileError.
// `keptNeither` as WriteFileAtomically gives it.
void SaveRom(const std::string& path, const RomImage& image, ImageFormat format = ImageFormat::Auto,
             bool* keptNeither = nullptr);

}  // namespace pt4
