#include "hardware/ParallelPorts.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace pt4 {

namespace {
constexpr unsigned long kIoResource = 0x100;  // IORESOURCE_IO in a resource line's flags

bool ParseHex(const std::string& s, unsigned long* v) {
  if (s.empty()) return false;
  char* end = nullptr;
  *v = std::strtoul(s.c_str(), &end, 16);
  return *end == '\0';
}

std::string Hex(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%03X", v);
  return buf;
}
}  // namespace

std::vector<IoRange> LegacyParallelRanges() {
  std::vector<IoRange> out;
  for (const int b : {0x3BC, 0x378, 0x278}) {
    const auto base = static_cast<std::uint16_t>(b);
    const auto last = static_cast<std::uint16_t>(b == 0x3BC ? 0x3BF : b + 7);
    out.push_back({base, last, "legacy"});
    out.push_back({static_cast<std::uint16_t>(base + 0x400),
                   static_cast<std::uint16_t>(last + 0x400), "legacy"});
  }
  return out;
}

std::vector<IoRange> ParportRegions(const std::string& ioports) {
  std::vector<IoRange> out;
  std::istringstream in(ioports);
  std::string line;
  while (std::getline(in, line)) {
    // "  0378-037a : parport0"
    const auto dash = line.find('-'), colon = line.find(" : ");
    if (dash == std::string::npos || colon == std::string::npos || dash > colon) continue;
    const auto start = line.find_first_not_of(' ');
    const std::string name = line.substr(colon + 3);
    if (name.rfind("parport", 0) != 0) continue;
    unsigned long first = 0, last = 0;
    if (!ParseHex(line.substr(start, dash - start), &first) ||
        !ParseHex(line.substr(dash + 1, colon - dash - 1), &last) || last < first ||
        last > 0xFFFF || first == 0) {
      continue;  // addresses hidden from an ordinary user read as 0000-0000
    }
    out.push_back({static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(last), name});
  }
  return out;
}

std::vector<IoRange> PciParallelRanges(const std::string& classText, const std::string& resource,
                                       const std::string& device) {
  std::vector<IoRange> out;
  unsigned long cls = 0;
  std::string c = classText;
  while (!c.empty() && (c.back() == '\n' || c.back() == ' ')) c.pop_back();
  if (c.rfind("0x", 0) == 0) c = c.substr(2);
  if (!ParseHex(c, &cls) || (cls >> 8) != 0x0701) return out;
  std::istringstream in(resource);
  std::string a, b, f;
  while (in >> a >> b >> f) {
    unsigned long first = 0, last = 0, flags = 0;
    if (a.rfind("0x", 0) == 0) a = a.substr(2);
    if (b.rfind("0x", 0) == 0) b = b.substr(2);
    if (f.rfind("0x", 0) == 0) f = f.substr(2);
    if (!ParseHex(a, &first) || !ParseHex(b, &last) || !ParseHex(f, &flags)) continue;
    if ((flags & kIoResource) == 0 || first == 0 || last < first || last > 0xFFFF) continue;
    out.push_back(
        {static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(last), "PCI " + device});
  }
  return out;
}

bool InsideOne(const std::vector<IoRange>& ranges, std::uint16_t first, std::uint16_t count) {
  const unsigned last = static_cast<unsigned>(first) + count - 1;
  for (const auto& r : ranges) {
    if (first >= r.first && last <= r.last) return true;
  }
  return false;
}

std::string RangeList(const std::vector<IoRange>& ranges) {
  std::string out;
  for (const auto& r : ranges) {
    if (!out.empty()) out += ", ";
    out += Hex(r.first) + "-" + Hex(r.last) + " (" + r.what + ")";
  }
  return out;
}

}  // namespace pt4
