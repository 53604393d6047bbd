#include "hardware/PortChoice.h"

#include <cstdlib>
#include <optional>

namespace pt4 {

namespace {
// "0x378"; "378h" or "0x 12" is not accepted: C-style hex digits only, as the
// kernel lists its ports.
std::optional<std::uint16_t> ParseIoAddress(const std::string& s) {
  if (s.size() < 3 || s.size() > 6 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return {};
  unsigned v = 0;
  for (std::size_t i = 2; i < s.size(); ++i) {
    const char c = s[i];
    const int d = c >= '0' && c <= '9'   ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : -1;
    if (d < 0) return {};
    v = v * 16 + static_cast<unsigned>(d);
  }
  if (v > 0xFFFF) return {};
  return static_cast<std::uint16_t>(v);
}

// "direct:0xD010" or "direct:0xD010,ecr=0xD000"
bool ParseDirect(const std::string& text, PortChoice& c) {
  const auto comma = text.find(',');
  const auto base = ParseIoAddress(text.substr(0, comma));
  if (!base || *base % 4 != 0 || !MayBeParallelPort(*base, 3)) return false;
  c.base = *base;
  const unsigned ecr = *base + kEcrOffset;  // where a card has its ECR unless told
  c.ecr = static_cast<std::uint16_t>(ecr);
  if (comma == std::string::npos && ecr > 0xFFFF) return false;
  if (comma != std::string::npos) {
    const std::string rest = text.substr(comma + 1);
    if (rest.rfind("ecr=", 0) != 0) return false;
    const auto given = ParseIoAddress(rest.substr(4));
    if (!given) return false;
    c.ecr = *given;
  }
  return MayBeParallelPort(c.ecr, 1);
}
}  // namespace

bool MayBeParallelPort(std::uint16_t first, std::uint16_t count) {
  const unsigned last = static_cast<unsigned>(first) + count - 1;
  const bool pciConfig = last >= 0xCF8 && first <= 0xCFF;
  return first > 0xFF && last <= 0xFFFF && !pciConfig;
}

PortChoice ParsePortChoice(const char* value) {
  PortChoice c;
  c.text = value != nullptr ? value : "";
  const std::string v = c.text;
#ifdef _WIN32
  // Windows has no ppdev: unset, the port is the first one at 0x378 through the
  // InpOut32 driver, which the user installed for this.
  if (value == nullptr || v.empty()) {
    c.kind = PortChoice::Kind::Direct;
    return c;
  }
#endif
  if (value == nullptr || v.empty() || v == "ppdev") {
    c.kind = PortChoice::Kind::Ppdev;
    c.device = "/dev/parport0";
  } else if (v.rfind("ppdev:", 0) == 0 && v.size() > 6) {
    c.kind = PortChoice::Kind::Ppdev;
    c.device = v.substr(6);
  } else if (v.rfind("/dev/", 0) == 0) {
    c.kind = PortChoice::Kind::Ppdev;
    c.device = v;
  } else if (v == "direct") {
    c.kind = PortChoice::Kind::Direct;
  } else if (v.rfind("direct:", 0) == 0) {
    if (ParseDirect(v.substr(7), c)) c.kind = PortChoice::Kind::Direct;
  } else if (v == "sim") {
    c.kind = PortChoice::Kind::Sim;
  } else if (v == "sim-nochip") {
    c.kind = PortChoice::Kind::Sim;
    c.noChip = true;
  } else if (v.rfind("sim:", 0) == 0 && v.size() > 4) {
    c.kind = PortChoice::Kind::Sim;
    c.chipFile = v.substr(4);
  }
  return c;
}

PortChoice ChosenPort(const char* given) {
  PortChoice c = ParsePortChoice(given != nullptr ? given : std::getenv("PT4_PORT"));
  if (given != nullptr) c.source = "--port";
  if (const char* trace = std::getenv("PT4_TRACE")) c.traceFile = trace;
  return c;
}

}  // namespace pt4
