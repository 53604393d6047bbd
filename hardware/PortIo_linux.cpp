// I/O ports on Linux: ioperm grants them to this process, then inb and outb.
#include <dirent.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "hardware/ParallelPorts.h"
#include "hardware/PortIo.h"

namespace pt4::portio {

namespace {
std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every range the system lists as a parallel port's: the legacy bases, the
// kernel's parport regions, and the I/O ranges of PCI parallel-port cards.
std::vector<IoRange> ListedRanges() {
  std::vector<IoRange> ranges = LegacyParallelRanges();
  for (auto& r : ParportRegions(ReadText("/proc/ioports"))) ranges.push_back(std::move(r));
  const std::string pci = "/sys/bus/pci/devices/";
  if (DIR* dir = ::opendir(pci.c_str())) {
    while (const dirent* e = ::readdir(dir)) {
      const std::string name = e->d_name;
      if (name.empty() || name[0] == '.') continue;
      for (auto& r : PciParallelRanges(ReadText(pci + name + "/class"),
                                       ReadText(pci + name + "/resource"), name)) {
        ranges.push_back(std::move(r));
      }
    }
    ::closedir(dir);
  }
  return ranges;
}

std::string Address(unsigned a) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%03X", a);
  return buf;
}
}  // namespace

Message RefuseUnlisted(std::uint16_t base, std::uint16_t ecr) {
  const bool rootLogin =
      ::getuid() == 0 && std::getenv("SUDO_UID") == nullptr && ::getauxval(AT_SECURE) == 0;
  if (rootLogin) return {};
  const auto ranges = ListedRanges();
  const bool baseListed = InsideOne(ranges, base, 3), ecrListed = InsideOne(ranges, ecr, 1);
  if (baseListed && ecrListed) return {};
  const Phrase cause =
      !baseListed
          ? Tr("pt4::Port", "%1-%2 are not a parallel port's registers that this system lists")
                .With(Address(base), Address(base + 2u))
          : Tr("pt4::Port",
               "the ECR at %1 is not a parallel port's register that this system "
               "lists")
                .With(Address(ecr));
  return {cause, Tr("pt4::Port",
                    "Run through sudo or with raised rights, direct port I/O takes only the "
                    "registers listed as a parallel port's: %1. Name the port's base, and its "
                    "ECR where it is not 0x402 above (%2).")
                     .With(RangeList(ranges), "direct:0xADDR,ecr=0xADDR")};
}

}  // namespace pt4::portio

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>

namespace pt4::portio {

Message Grant(std::uint16_t first, std::uint16_t count) {
  if (ioperm(first, count, 1) == 0) return {};
  return {SysError(errno),
          Tr("pt4::Port",
             "Run it as root through sudo (%1), which gives root up once the port is open, or "
             "use ppdev as a member of group lp (%2).")
              .With("sudo PT4_PORT=direct ...", "PT4_PORT=/dev/parport0")};
}
void Revoke(std::uint16_t first, std::uint16_t count) noexcept {
  ioperm(first, count, 0);
}
void Out(std::uint16_t port, std::uint8_t value) noexcept {
  outb(value, port);
}
std::uint8_t In(std::uint16_t port) noexcept {
  return inb(port);
}

}  // namespace pt4::portio

#else

namespace pt4::portio {

Message Grant(std::uint16_t, std::uint16_t) {
  return {Tr("pt4::Port", "this processor has no I/O ports of the PC's kind"),
          Tr("pt4::Port", "Use ppdev (%1).").With("PT4_PORT=/dev/parport0")};
}
void Revoke(std::uint16_t, std::uint16_t) noexcept {}
void Out(std::uint16_t, std::uint8_t) noexcept {}
std::uint8_t In(std::uint16_t) noexcept {
  return 0xFF;
}

}  // namespace pt4::portio

#endif
