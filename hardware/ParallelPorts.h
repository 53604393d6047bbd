// The I/O ranges a system lists as parallel ports' registers. Run as root through
// sudo (or with raised rights), direct port I/O is granted on these alone, so that
// a rule meant for the programmer never reaches a disk controller or SMBus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pt4 {

struct IoRange {
  std::uint16_t first = 0, last = 0;
  std::string what;  // where the system lists it: "parport0", "PCI 0000:05:00.0", "legacy"
};

// The legacy bases the kernel's parport_pc driver probes (0x3BC, 0x378, 0x278),
// each with its extended registers 0x400 above.
std::vector<IoRange> LegacyParallelRanges();
// The "parportN" regions of /proc/ioports' text.
std::vector<IoRange> ParportRegions(const std::string& ioports);
// The I/O ranges of a PCI device's sysfs "resource" text (start end flags a
// line), for a device whose "class" text says a parallel port (0x0701xx).
std::vector<IoRange> PciParallelRanges(const std::string& classText, const std::string& resource,
                                       const std::string& device);
// True when `count` registers from `first` lie inside one of `ranges`.
bool InsideOne(const std::vector<IoRange>& ranges, std::uint16_t first, std::uint16_t count);
// "0x378-0x37F (legacy), 0xD010-0xD017 (PCI 0000:05:00.0)", for a refusal.
std::string RangeList(const std::vector<IoRange>& ranges);

}  // namespace pt4
