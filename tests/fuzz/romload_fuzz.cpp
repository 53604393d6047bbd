// libFuzzer target: the image loader on any bytes, as any format, under any of
// the mask modes. No crash, no hang; a load that succeeds gives words within the
// mask (with L=>H, nothing in bits 0-1), and what is saved as HEX or S-record
// loads back the same.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/ImageFormats.h"
#include "image/RomFile.h"
#include "operations/Params.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const pt4::ImageFormat kFormats[] = {pt4::ImageFormat::Auto,     pt4::ImageFormat::Raw,
                                              pt4::ImageFormat::IntelHex, pt4::ImageFormat::SRecord,
                                              pt4::ImageFormat::High,     pt4::ImageFormat::Packed};
  const pt4::ImageFormat format = kFormats[data[0] % 6];
  const pt4::MaskMode& mode = pt4::kMaskModes[(data[0] / 6) % 4];
  const std::vector<std::uint8_t> bytes(data + 1, data + size);
  pt4::RomImage image;
  image.RomSize = 256;
  image.RomBuffer.resize(1024);
  try {
    pt4::LoadRomBytes(bytes, image, mode.mask, mode.lowToHigh, format);
  } catch (const pt4::Error&) {
    return 0;
  }
  for (int a = 0; a < 256; ++a) {
    const std::uint8_t w = image.RomBuffer[a];
    if ((w & ~mode.mask) != 0 || (mode.lowToHigh && (w & 0x03) != 0)) std::abort();
  }
  for (auto f : {pt4::ImageFormat::IntelHex, pt4::ImageFormat::SRecord, pt4::ImageFormat::Packed}) {
    const auto text = pt4::EncodeImage(image.RomBuffer.data(), 256, f);
    pt4::RomImage back;
    back.RomSize = 256;
    back.RomBuffer.resize(1024);
    pt4::LoadRomBytes(text, back, 0x0F, false,
                      f == pt4::ImageFormat::Packed ? f : pt4::ImageFormat::Auto);
    for (int a = 0; a < 256; ++a) {
      if (back.RomBuffer[a] != image.RomBuffer[a]) std::abort();
    }
  }
  return 0;
}
