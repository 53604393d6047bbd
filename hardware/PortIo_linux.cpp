// I/O ports on Linux: ioperm grants them to this process, then inb and outb.
#include <cerrno>

#include "hardware/PortIo.h"

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
