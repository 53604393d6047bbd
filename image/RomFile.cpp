#include "image/RomFile.h"

#include <algorithm>
#include <cerrno>

#include "image/FileUtil.h"

namespace pt4 {

Phrase FileErrorPhrase(int err, const std::string& path) {
  switch (err) {
    case ENOENT:
      return PathExists(ParentFolder(path)) ? Tr("pt4::File", "File not found")
                                            : Tr("pt4::File", "Invalid filename");
    case ENOTDIR:
    case ENAMETOOLONG:
      return Tr("pt4::File", "Invalid filename");
    case EMFILE:
    case ENFILE:
      return Tr("pt4::File", "Too many open files");
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return Tr("pt4::File", "File access denied");
    case ENOSPC:
    case EFBIG:
      return Tr("pt4::File", "Disk full");
    case EISDIR:
      return Tr("pt4::File", "Is a folder, not a file");
    case EINVAL:
      return Tr("pt4::File", "Not a regular file");
#ifdef _WIN32
    case ENODEV:
      return Tr("pt4::File",
                "Windows keeps this name for a device, in every folder: CON, PRN, AUX, NUL, "
                "COM1-COM9 and LPT1-LPT9, with any extension. Choose another name");
#endif
    default:
      return Tr("pt4::File", "I/O error %1").With(std::to_string(err));
  }
}

std::string FileErrorText(int err, const std::string& path) {
  return English(FileErrorPhrase(err, path));
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
  // Text formats need the whole file, and one byte more tells one that is too
  // large; a raw file gives only its first RomSize bytes.
  const std::size_t limit =
      std::max<std::size_t>(static_cast<std::size_t>(image.RomSize), kTextImageLimit + 1);
  const int err = ReadWholeFile(path, bytes, limit);
  if (err != 0) throw FileError(Message{FileErrorPhrase(err, path)});
  return LoadRomBytes(bytes, image, mask, lowToHigh, LoadFormat(path, format));
}

void SaveRom(const std::string& path, const RomImage& image, ImageFormat format,
             bool* keptNeither) {
  if (format == ImageFormat::Auto) format = FormatForPath(path);
  const std::vector<std::uint8_t> bytes =
      EncodeImage(image.RomBuffer.data(), static_cast<std::size_t>(image.RomSize), format);
  const int err = WriteFileAtomically(path, bytes, keptNeither);
  if (err != 0) throw FileError(Message{FileErrorPhrase(err, path)});
}

}  // namespace pt4
