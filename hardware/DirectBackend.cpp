#include "hardware/DirectBackend.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define PT4_HAVE_PORT_IO 1
#endif

namespace pt4 {

DirectBackend::DirectBackend(std::uint16_t base) : base_(base) {}
DirectBackend::~DirectBackend() { Release(); }

std::string DirectBackend::Describe() const {
  char buf[48];
  std::snprintf(buf, sizeof buf, "direct port I/O at 0x%03X", base_);
  return buf;
}

void DirectBackend::Open() {
#ifdef PT4_HAVE_PORT_IO
  if (ioperm(base_, 3, 1) != 0 || ioperm(base_ + 0x402, 1, 1) != 0) {
    const int err = errno;
    openError_ = Describe() + " refused: " + std::strerror(err) +
                 ". Run as root or with CAP_SYS_RAWIO, or use ppdev as a member of group lp "
                 "(PT4_PORT=/dev/parport0).";
    return;
  }
  open_ = true;
#else
  openError_ = Describe() + " is not available on this processor; use ppdev (PT4_PORT=/dev/parport0).";
#endif
}

void DirectBackend::Check(std::uint16_t address) const {
  if (openError_) throw PortError(*openError_);
  if (!open_) throw PortError(Describe() + " is not open: the port was released.");
  if (address != base_ && address != base_ + 1 && address != base_ + 2 && address != base_ + 0x402) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "I/O address 0x%03X is outside the parallel port.", address);
    throw PortError(buf);
  }
}

void DirectBackend::Out(std::uint16_t address, std::uint8_t value) {
  Check(address);
#ifdef PT4_HAVE_PORT_IO
  outb(value, address);
#else
  (void)value;
#endif
}

std::uint8_t DirectBackend::In(std::uint16_t address) {
  Check(address);
#ifdef PT4_HAVE_PORT_IO
  return inb(address);
#else
  return 0xFF;
#endif
}

void DirectBackend::Release() {
#ifdef PT4_HAVE_PORT_IO
  if (open_) {
    ioperm(base_, 3, 0);
    ioperm(base_ + 0x402, 1, 0);
  }
#endif
  open_ = false;
}

}  // namespace pt4
