#include "hardware/DirectBackend.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "hardware/DirectPort.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define PT4_HAVE_PORT_IO 1
#endif

namespace pt4 {

DirectBackend::DirectBackend(std::uint16_t logicalBase, std::uint16_t base, std::uint16_t ecr)
    : logical_(logicalBase), base_(base), ecr_(ecr) {}
DirectBackend::~DirectBackend() {
  Release();
}

std::string DirectBackend::Describe() const {
  char buf[64];
  if (ecr_ == base_ + kEcrOffset) {
    std::snprintf(buf, sizeof buf, "direct port I/O at 0x%03X", base_);
  } else {
    std::snprintf(buf, sizeof buf, "direct port I/O at 0x%03X (ECR 0x%03X)", base_, ecr_);
  }
  return buf;
}

void DirectBackend::Open() {
#ifdef PT4_HAVE_PORT_IO
  if (ioperm(base_, 3, 1) != 0 || ioperm(ecr_, 1, 1) != 0) {
    const int err = errno;
    openError_ = Describe() + " refused: " + std::strerror(err) +
                 ". Run as root or with CAP_SYS_RAWIO, or use ppdev as a member of group lp "
                 "(PT4_PORT=/dev/parport0).";
    return;
  }
  open_ = true;
#else
  openError_ =
      Describe() + " is not available on this processor; use ppdev (PT4_PORT=/dev/parport0).";
#endif
}

std::uint16_t DirectBackend::Where(std::uint16_t address) const noexcept {
  if (address >= logical_ && address <= logical_ + 2) {
    return static_cast<std::uint16_t>(base_ + (address - logical_));
  }
  if (address == logical_ + kEcrOffset) return ecr_;
  return 0;
}

std::uint16_t DirectBackend::Map(std::uint16_t address) const {
  if (openError_) throw PortError(*openError_);
  if (!open_) throw PortError(Describe() + " is not open: the port was released.");
  if (const std::uint16_t port = Where(address)) return port;
  char buf[80];
  std::snprintf(buf, sizeof buf, "I/O address 0x%03X is outside the parallel port.", address);
  throw PortError(buf);
}

void DirectBackend::Out(std::uint16_t address, std::uint8_t value) {
  [[maybe_unused]] const std::uint16_t port = Map(address);
#ifdef PT4_HAVE_PORT_IO
  outb(value, port);
#else
  (void)value;
#endif
}

std::uint8_t DirectBackend::In(std::uint16_t address) {
  [[maybe_unused]] const std::uint16_t port = Map(address);
#ifdef PT4_HAVE_PORT_IO
  return inb(port);
#else
  return 0xFF;
#endif
}

void DirectBackend::CrashOut(std::uint16_t address, std::uint8_t value) noexcept {
  [[maybe_unused]] const std::uint16_t port = open_ ? Where(address) : 0;
#ifdef PT4_HAVE_PORT_IO
  if (port != 0) outb(value, port);
#else
  (void)value;
#endif
}

void DirectBackend::Release() {
#ifdef PT4_HAVE_PORT_IO
  if (open_) {
    ioperm(base_, 3, 0);
    ioperm(ecr_, 1, 0);
  }
#endif
  open_ = false;
}

}  // namespace pt4
