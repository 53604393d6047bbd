#include "cli/ImageIo.h"

#include <cerrno>
#include <cstdio>

#include "base/Stop.h"
#include "cli/Console.h"
#include "image/FileUtil.h"
#include "image/RomFile.h"

namespace pt4::cli {

std::vector<std::uint8_t> ReadStdin() {
  std::vector<std::uint8_t> bytes;
  std::uint8_t buf[4096];
  for (;;) {
    const long n = ReadInput(buf, sizeof buf);
    if (n < 0 && errno == EINTR) {
      ThrowIfStopRequested();
      continue;
    }
    if (n < 0) throw FileError(Message{FileErrorPhrase(errno, "-")});
    if (n == 0) break;
    bytes.insert(bytes.end(), buf, buf + n);
    if (bytes.size() > kTextImageLimit) break;  // enough to tell one too large
  }
  return bytes;
}

LoadedImage LoadImage(const Options& o, const std::string& path, ImageFormat format) {
  LoadedImage l;
  l.image.RomSize = kChipWords;
  l.stored.RomSize = kChipWords;
  std::vector<std::uint8_t> bytes;
  bool read = false;  // the file was read whole: what is wrong is its content
  try {
    // Standard input has no name to state a format: its content decides, as for
    // a file whose name states none.
    if (path == "-") {
      bytes = ReadStdin();
    } else if (const int err = ReadWholeFile(path, bytes, kTextImageLimit + 1); err != 0) {
      throw FileError(Message{FileErrorPhrase(err, path)});
    } else {
      format = LoadFormat(path, format);
    }
    read = true;
    l.format = LoadRomBytes(bytes, l.image, o.params.CompMask, o.params.LowToHigh, format);
    LoadRomBytes(bytes, l.stored, 0xFF, false, l.format);
  } catch (const Error& e) {
    // The window keeps its short "Read beyond end of file"; a command line says
    // what the file held against what a chip's image needs.
    const ImageFormat used = DetectFormat(bytes, format);
    const std::size_t needed = used == ImageFormat::Packed ? (kChipWords + 1) / 2 : kChipWords;
    const bool binary = used == ImageFormat::Raw || used == ImageFormat::High ||
                        used == ImageFormat::Packed || used == ImageFormat::Auto;
    if (read && binary && bytes.size() < needed) {
      Message m = e.About(path).Words();
      m.push_back(Phrase("(the file holds " + std::to_string(bytes.size()) + " bytes; " +
                         (used == ImageFormat::Packed ? "a packed" : "a raw") + " image is " +
                         std::to_string(needed) + ")"));
      throw FileError(std::move(m));
    }
    throw e.About(path);
  }
  return l;
}

void RefuseBitsOutsideDefaultMask(const Options& o, const std::string& path, const LoadedImage& l) {
  if (o.maskGiven) return;
  // The bits of a file's word that reach the chip: the mask's, before the shift
  // that lh applies.
  const unsigned kept = o.params.LowToHigh ? o.params.CompMask >> 2 : o.params.CompMask;
  for (std::int32_t a = 0; a < l.stored.RomSize; ++a) {
    const unsigned word = l.stored.RomBuffer[a];
    if ((word & ~kept & 0xFF) == 0) continue;
    const std::string where =
        path + ": word " + Hex(static_cast<unsigned>(a), 2) + " is " + Hex(word, 2) + "h";
    if (word > 0x0F) {
      throw UsageError(
          where +
          ", more than a 4-bit word can hold (00h-0Fh): is this the chip's image? "
          "Give --mask full to program its bits 0-3, or --mask low for bits 0-1 alone");
    }
    throw UsageError(where + ", with bits outside the default mask (" + o.maskName + ", " +
                     Hex(o.params.CompMask, 2) +
                     "h) that a write would leave unprogrammed. Give --mask full to program "
                     "all four bits, or --mask low to program bits 0-1 alone");
  }
}

void SaveImage(const std::string& path, const RomImage& image, ImageFormat format) {
  try {
    if (path == "-") {
      const auto bytes =
          EncodeImage(image.RomBuffer.data(), static_cast<std::size_t>(image.RomSize),
                      format == ImageFormat::Auto ? ImageFormat::Raw : format);
      if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
          std::fflush(stdout) != 0) {
        throw FileError(Message{FileErrorPhrase(errno, path)});
      }
      return;
    }
    bool keptNeither = false;
    SaveRom(path, image, format, &keptNeither);
    if (keptNeither) {
      std::fprintf(stderr,
                   "pt4cli: note: %s was another user's, of a group you are not in: it is yours "
                   "now, owner and group.\n",
                   path.c_str());
    }
  } catch (const Error& e) {
    throw e.About(path);
  }
}

}  // namespace pt4::cli
