#include "app/RomFile.h"

#include <sys/stat.h>

#include <cerrno>

#include "app/FileUtil.h"

namespace pt4 {

std::string FileErrorText(int err, const std::string& path) {
  switch (err) {
    case ENOENT: {
      struct stat st {};
      const std::string folder = ParentFolder(path);
      return ::stat(folder.c_str(), &st) == 0 ? "File not found" : "Invalid filename";
    }
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
    case EDQUOT:
      return "Disk full";
    case EISDIR:
      return "Is a folder, not a file";
    case EINVAL:
      return "Not a regular file";
    default:
      return "I/O error " + std::to_string(err);
  }
}

void LoadRom(const std::string& path, RomImage& image, std::uint8_t mask, bool lowToHigh) {
  std::vector<std::uint8_t> bytes;
  const auto size = static_cast<std::size_t>(image.RomSize);
  const int err = ReadWholeFile(path, bytes, size);
  if (err != 0) throw FileError(FileErrorText(err, path));
  if (bytes.size() < size) throw FileError("Read beyond end of file");
  for (std::size_t i = 0; i < size; ++i) {
    std::uint8_t b = bytes[i];
    if (lowToHigh) b = static_cast<std::uint8_t>(b << 2);
    image.RomBuffer[i] = b & mask;
  }
}

void SaveRom(const std::string& path, const RomImage& image) {
  const std::vector<std::uint8_t> bytes(image.RomBuffer.begin(),
                                        image.RomBuffer.begin() + image.RomSize);
  const int err = WriteFileAtomically(path, bytes);
  if (err != 0) throw FileError(FileErrorText(err, path));
}

}  // namespace pt4
