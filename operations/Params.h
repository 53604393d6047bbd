// The programming parameters and the parsing of their edit fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pt4 {

struct ProgParams {
  std::int32_t ProgVoltage = 120;  // tenths of a volt
  std::uint8_t CompMask = 0x03;
  bool LowToHigh = false;
  std::int32_t ProgTime = 100;  // milliseconds per bit pulse
  std::int32_t ProgCycles = 10;
};

// What a pulse and a cycle count may be, in the dialog and on the command line:
// a pulse of up to 10 s, up to 1000 cycles of it per address.
constexpr std::int32_t kMinProgTime = 0, kMaxProgTime = 10'000;
constexpr std::int32_t kMinProgCycles = 1, kMaxProgCycles = 1000;

constexpr int kVoltageItems = 10;
constexpr std::int32_t VoltageForIndex(int index) {
  return 105 + 5 * index;
}
std::string VoltageItemText(int index);  // "10.5" ... "15.0"

struct MaskMode {
  const char* text;
  std::uint8_t mask;
  bool lowToHigh;
};
constexpr MaskMode kMaskModes[4] = {
    {"Low   (03)", 0x03, false},
    {"L=>H  (0C)", 0x0C, true},
    {"High  (0C)", 0x0C, false},
    {"Full  (0F)", 0x0F, false},
};
// The dialog's and the command line's mask item for a name: low, lh, high, full.
std::optional<int> MaskIndexForName(std::string_view name);

// Leading blanks, one optional sign, then decimal digits or hexadecimal digits
// after "$", "x" or "0x" (any case). The whole text must be used and the value
// must fit a signed 32-bit integer.
std::optional<std::int32_t> TryParseInt(std::string_view text);

// The four-line box shown before a write.
std::string WriteParamsText(const ProgParams& p);

}  // namespace pt4
