// Images in and out of pt4cli: files by name, and - for standard input or output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/Options.h"
#include "image/Buffer.h"
#include "image/ImageFormats.h"

namespace pt4::cli {

struct LoadedImage {
  RomImage image;   // under the options' mask and shift, as the passes use it
  RomImage stored;  // every bit as the file holds it: what names the file
  ImageFormat format = ImageFormat::Raw;
};

// Standard input up to one byte past the largest text image; a stop signal ends the wait.
std::vector<std::uint8_t> ReadStdin();
// The image at `path` ("-": standard input, which has no name to state a format),
// under the options' mask. Throws FileError naming the path.
LoadedImage LoadImage(const Options& o, const std::string& path, ImageFormat format);
// Refuses (FileError naming the path) an image for write or verify with a word
// that holds bits the mask in force leaves out, when the mask is only the default:
// a write would leave those bits unprogrammed and a verify call the chip identical
// without them. Words over 0Fh, which a 4-bit chip cannot hold, are refused alike.
void RefuseBitsOutsideDefaultMask(const Options& o, const std::string& path, const LoadedImage& l);
// `image` into `path` ("-": standard output). Throws FileError naming the path.
void SaveImage(const std::string& path, const RomImage& image, ImageFormat format);

}  // namespace pt4::cli
