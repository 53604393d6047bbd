// libFuzzer target: PT4_PORT and --port values. Direct port I/O comes only from
// a value that names it, at an address written in plain hex digits that a
// parallel port can have; nothing else is ever taken for it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "hardware/PortChoice.h"

namespace {
bool PlainHex(const std::string& s) {
  if (s.size() < 3 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return false;
  for (std::size_t i = 2; i < s.size(); ++i) {
    const char c = s[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const pt4::PortChoice c = pt4::ParsePortChoice(text.c_str());
  const std::string v = text.c_str();  // what a C string of it says
  using K = pt4::PortChoice::Kind;
  if (c.kind == K::Direct) {
    if (v != "direct" && v.rfind("direct:", 0) != 0) std::abort();
    if (c.base % 4 != 0 || !pt4::MayBeParallelPort(c.base, 3) || !pt4::MayBeParallelPort(c.ecr, 1))
      std::abort();
    if (v != "direct") {
      const std::string addr = v.substr(7, v.find(',') - 7);
      if (!PlainHex(addr)) std::abort();
    }
  }
  if (c.kind == K::Ppdev && c.device.empty()) std::abort();
  if (c.kind == K::Sim && v.rfind("sim", 0) != 0) std::abort();
  return 0;
}
