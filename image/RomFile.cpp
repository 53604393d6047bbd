#include "image/RomFile.h"

#include <algorithm>
#include <cerrno>

#include "image/FileUtil.h"

namespace pt4 {

std::string FileErrorText(int err, const std::string& path) {
  switch (err) {
    case ENOENT:
      return PathExists(ParentFolder(path)) ? "File not found" : "Invalid filename";
    case ENOTDIR:
    case ENAMETOOLONG:
      return "Invalid filename";
    case EMFILE:
    case ENFILE:
      return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return "File access denied";
    case ENOSPC:
    case EFBIG:
      return "Disk full";
    case EISDIR:
      return "Is a folder, not a file";
    case EINVAL:
      return "Not a regular file";
    default:
      return "I/O error " + std::to_string(err);
  }
}

ImageFormat LoadRomBytes(const std::vector<std::uint8_t>& bytes, RomImage& image, std::uint8_t mask,
                         bool lowToHigh, ImageFormat format) {
  const auto size = static_cast<std::size_t>(image.RomSize);
  const ImageFormat used = DetectFormat(bytes, format);
  const std::vector<std::uint8_t> words = DecodeImage(bytes, used, size);
  for (std::size_t i = 0; i < size; ++i) {
    std::uint8_t b = words[i];
    if (lowToHigh) b = static_cast<std::uint8_t>(b << 2);
    image.RomBuffer[i] = b & mask;
  }
  return used;
}

ImageFormat LoadRom(const std::string& path, RomImage& image, std::uint8_t mask, bool lowToHigh,
                    ImageFormat format) {
  std::vector<std::uint8_t> bytes;
  // Text formats need the whole file; a raw file only its first RomSize bytes.
  const std::size_t limit =
      std::max<std::size_t>(static_cast<std::size_t>(image.RomSize), kTextImageLimit);
  const int err = ReadWholeFile(path, bytes, limit);
  if (err != 0) throw FileError(FileErrorText(err, path));
  return LoadRomBytes(bytes, image, mask, lowToHigh, format);
}

void SaveRom(const std::string& path, const RomImage& image, ImageFormat format) {
  if (format == ImageFormat::Auto) format = FormatForPath(path);
  const std::vector<std::uint8_t> bytes =
      EncodeImage(image.RomBuffer.data(), static_cast<std::size_t>(image.RomSize), format);
  const int err = WriteFileAtomically(path, bytes);
  if (err != 0) throw FileError(FileErrorText(err, path));
}

}  // namespace pt4
