#include "image/Dump.h"

#include "image/Signature.h"

namespace pt4 {

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

void ShowDump(const RomImage& image, PaneView& view) {
  view.ShowDumpLayout();
  view.ClearPanes();
  std::vector<std::string> lines;
  for (std::int32_t r = 0; r < image.RomSize / 16; ++r) lines.push_back(DumpLine(image, r));
  view.AddReportLines(lines, Colour::Navy);
  UpdateChecksum(image, view);
}

}  // namespace pt4
