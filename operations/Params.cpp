#include "operations/Params.h"

#include <cstdio>

#include "image/Buffer.h"

namespace pt4 {

std::string VoltageItemText(int index) {
  const int v = VoltageForIndex(index);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d.%d", v / 10, v % 10);
  return buf;
}

std::optional<int> MaskIndexForName(std::string_view name) {
  if (name == "low") return 0;
  if (name == "lh") return 1;
  if (name == "high") return 2;
  if (name == "full") return 3;
  return std::nullopt;
}

namespace {
int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}
}  // namespace

std::optional<std::int32_t> TryParseInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return std::nullopt;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int d = DigitValue(text[i], base);
    if (d < 0) return std::nullopt;
    value = value * base + d;
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::string WriteParamsText(const ProgParams& p) {
  return "UProg = " + std::to_string(p.ProgVoltage) + "\r\nMask = " + Hex(p.CompMask, 2) +
         "h\r\nWrTime = " + std::to_string(p.ProgTime) +
         "\r\nWrCycle = " + std::to_string(p.ProgCycles);
}

}  // namespace pt4
