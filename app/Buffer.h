// The chip image in memory, its dump rows and its signature. Plain data and text:
// the windows only draw what these routines produce.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pt4 {

enum class Colour { Navy, Maroon, Green, Red, Lime, Yellow, Aqua, Olive, Black };
struct Rgb {
  int r, g, b;
};
Rgb ColourRgb(Colour c);
constexpr Rgb kSilver{192, 192, 192};

constexpr std::int32_t kRomBufferBytes = 1 << 20;
constexpr std::int32_t kChipWords = 256;  // the K556PT4: 256 words of 4 bits

struct RomImage {
  std::vector<std::uint8_t> RomBuffer = std::vector<std::uint8_t>(kRomBufferBytes, 0);
  std::int32_t RomSize = 0;
  bool DumpShown = false;
};

// Upper-case hex of fixed width.
std::string Hex(unsigned value, int digits);

void FillBuffer(RomImage& image, std::int32_t count, std::uint8_t value);

// The 16-bit signature of a hardware signature analyser: a Fibonacci shift register
// with feedback x^16 + x^12 + x^9 + x^7 + 1, one clock per data bit, bit 0 of each
// byte first. Not a CRC: the data bit enters the feedback, not the output.
std::uint16_t Signature(const std::uint8_t* data, std::size_t count);
std::string SignatureText(const RomImage& image);

// One dump row of 16 bytes: " 00010 : 00 01 ... 0F = ................" (75 characters).
std::string DumpLine(const RomImage& image, std::int32_t row);

// The panes and the checksum label of the main window, as the dump and the reports see them.
class PaneView {
 public:
  virtual ~PaneView() = default;
  virtual void ClearPanes() = 0;      // program and data pane
  virtual void ShowDumpLayout() = 0;  // data pane hidden, program pane full height
  virtual void AddReportLine(const std::string& text, Colour colour) = 0;
  virtual void SetChecksumText(const std::string& text) = 0;
};

void ShowDump(RomImage& image, PaneView& view);
void UpdateChecksum(const RomImage& image, PaneView& view);

}  // namespace pt4
