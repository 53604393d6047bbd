#include "app/Buffer.h"

#include <algorithm>

namespace pt4 {

Rgb ColourRgb(Colour c) {
  switch (c) {
    case Colour::Navy:
      return {0, 0, 128};
    case Colour::Maroon:
      return {128, 0, 0};
    case Colour::Green:
      return {0, 128, 0};
    case Colour::Red:
      return {255, 0, 0};
    case Colour::Lime:
      return {0, 255, 0};
    case Colour::Yellow:
      return {255, 255, 0};
    case Colour::Aqua:
      return {0, 255, 255};
    case Colour::Olive:
      return {128, 128, 0};
    case Colour::Black:
      return {0, 0, 0};
  }
  return {0, 0, 0};
}

std::string Hex(unsigned value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4)
    s[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
  return s;
}

void FillBuffer(RomImage& image, std::int32_t count, std::uint8_t value) {
  if (count <= 0) return;
  const auto n = std::min<std::int32_t>(count, kRomBufferBytes);
  std::fill_n(image.RomBuffer.begin(), n, value);
}

std::uint16_t Signature(const std::uint8_t* data, std::size_t count) {
  unsigned s = 0;
  for (std::size_t a = 0; a < count; ++a) {
    for (int k = 0; k < 8; ++k) {
      const unsigned f = ((data[a] >> k) ^ (s >> 6) ^ (s >> 8) ^ (s >> 11) ^ (s >> 15)) & 1u;
      s = ((s << 1) & 0xFFFFu) | f;
    }
  }
  return static_cast<std::uint16_t>(s);
}

std::string SignatureText(const RomImage& image) {
  return Hex(
      Signature(image.RomBuffer.data(), static_cast<std::size_t>(std::max(0, image.RomSize))), 4);
}

std::string DumpLine(const RomImage& image, std::int32_t row) {
  const std::size_t base = static_cast<std::size_t>(row) * 16;
  std::string line = " " + Hex(static_cast<unsigned>(base), 5) + " : ";
  for (std::size_t i = 0; i < 16; ++i) line += Hex(image.RomBuffer[base + i], 2) + " ";
  line += "= ";
  for (std::size_t i = 0; i < 16; ++i) {
    const std::uint8_t b = image.RomBuffer[base + i];
    line += (b >= 0x20 && b <= 0x7F) ? static_cast<char>(b) : '.';
  }
  return line;
}

void UpdateChecksum(const RomImage& image, PaneView& view) {
  view.SetChecksumText(SignatureText(image));
}

void ShowDump(RomImage& image, PaneView& view) {
  view.ShowDumpLayout();
  view.ClearPanes();
  std::vector<std::string> lines;
  for (std::int32_t r = 0; r < image.RomSize / 16; ++r) lines.push_back(DumpLine(image, r));
  view.AddReportLines(lines, Colour::Navy);
  UpdateChecksum(image, view);
  image.DumpShown = true;
}

}  // namespace pt4
