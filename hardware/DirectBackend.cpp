#include "hardware/DirectBackend.h"

#include <cstdio>

#include "hardware/DirectPort.h"
#include "hardware/PortIo.h"

namespace pt4 {

DirectBackend::DirectBackend(std::uint16_t logicalBase, std::uint16_t base, std::uint16_t ecr)
    : logical_(logicalBase), base_(base), ecr_(ecr) {}
DirectBackend::~DirectBackend() {
  Release();
}

namespace {
std::string Address(std::uint16_t a) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%03X", a);
  return buf;
}
}  // namespace

Phrase DirectBackend::Name() const {
  if (ecr_ == base_ + kEcrOffset)
    return Tr("pt4::Port", "direct port I/O at %1").With(Address(base_));
  return Tr("pt4::Port", "direct port I/O at %1 (ECR %2)").With(Address(base_), Address(ecr_));
}

std::string DirectBackend::Describe() const {
  return English(Name());
}

void DirectBackend::Open() {
  // Checked before ioperm is ever asked: a sudo rule for the programmer must not
  // become access to any I/O port.
  Message refused = portio::RefuseUnlisted(base_, ecr_);
  if (refused.empty()) refused = portio::Grant(base_, 3);
  if (refused.empty()) {
    refused = portio::Grant(ecr_, 1);
    if (!refused.empty()) portio::Revoke(base_, 3);
  }
  if (!refused.empty()) {
    // "... refused: the cause." and then the remedy.
    Message m{Tr("pt4::Port", "%1 refused: %2.").With(Name(), refused.front())};
    m.insert(m.end(), refused.begin() + 1, refused.end());
    openError_ = std::move(m);
    return;
  }
  open_ = true;
}

std::uint16_t DirectBackend::Where(std::uint16_t address) const noexcept {
  if (address >= logical_ && address <= logical_ + kControlOffset) {
    return static_cast<std::uint16_t>(base_ + (address - logical_));
  }
  if (address == logical_ + kEcrOffset) return ecr_;
  return 0;
}

std::uint16_t DirectBackend::Map(std::uint16_t address) const {
  if (openError_) throw PortError(*openError_);
  if (!open_) {
    throw PortError(
        Message{Tr("pt4::Port", "%1 is not open: the port was released.").With(Describe())});
  }
  if (const std::uint16_t port = Where(address)) return port;
  throw PortError(Message{
      Tr("pt4::Port", "I/O address %1 is outside the parallel port.").With(IoAddress(address))});
}

void DirectBackend::Out(std::uint16_t address, std::uint8_t value) {
  portio::Out(Map(address), value);
}

std::uint8_t DirectBackend::In(std::uint16_t address) {
  return portio::In(Map(address));
}

void DirectBackend::CrashOut(std::uint16_t address, std::uint8_t value) noexcept {
  const std::uint16_t port = open_ ? Where(address) : 0;
  if (port != 0) portio::Out(port, value);
}

void DirectBackend::Release() {
  if (open_) {
    portio::Revoke(base_, 3);
    portio::Revoke(ecr_, 1);
  }
  open_ = false;
}

}  // namespace pt4
