// libFuzzer target: TryParseInt against a reference parse built on strtoll.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "operations/Params.h"

namespace {
bool Reference(const std::string& s, std::int32_t* out) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  std::string sign;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) sign = s[i++];
  int base = 10;
  if (s.compare(i, 1, "$") == 0 || s.compare(i, 1, "x") == 0 || s.compare(i, 1, "X") == 0) {
    base = 16;
    ++i;
  } else if (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  }
  const std::string digits = s.substr(i);
  if (digits.empty()) return false;
  for (char c : digits) {
    const bool ok =
        base == 10 ? (c >= '0' && c <= '9') : std::isxdigit(static_cast<unsigned char>(c)) != 0;
    if (!ok) return false;
  }
  errno = 0;
  const long long v = std::strtoll((sign + digits).c_str(), nullptr, base);
  if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
  *out = static_cast<std::int32_t>(v);
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);
  std::int32_t want = 0;
  const bool ok = Reference(s, &want);
  const auto got = pt4::TryParseInt(s);
  if (ok != got.has_value() || (ok && *got != want)) std::abort();
  return 0;
}
