// Port access: TDirectPort is the thin handle every register access goes
// through, always bound to the backend it is given. The registers are named
// here, once: every backend and the latch layer use these names.
#pragma once

#include <cstdint>
#include <string>

#include "hardware/PortBackend.h"

#ifndef PT4_PORT_BASE
#define PT4_PORT_BASE 0x378
#endif

namespace pt4 {

// The registers of a parallel port, as offsets from its base address.
constexpr std::uint16_t kDataOffset = 0;     // the eight data lines
constexpr std::uint16_t kStatusOffset = 1;   // the five input lines, read only
constexpr std::uint16_t kControlOffset = 2;  // strobe lines and the data direction
constexpr std::uint16_t kEcrOffset = 0x402;  // an ECP port's mode register

// The addresses the latch layer uses. A backend for a port elsewhere (a PCIe
// card, ppdev) maps them onto its own.
constexpr std::uint16_t PortBase = PT4_PORT_BASE;
constexpr std::uint16_t kDataRegister = PortBase + kDataOffset;
constexpr std::uint16_t kStatusRegister = PortBase + kStatusOffset;
constexpr std::uint16_t kControlRegister = PortBase + kControlOffset;
constexpr std::uint16_t kEcrRegister = PortBase + kEcrOffset;

class TDirectPort {
 public:
  explicit TDirectPort(PortBackend& backend) : backend_(&backend) {}
  void PortOut(std::uint16_t address, std::uint8_t value) { backend_->Out(address, value); }
  std::uint8_t PortIn(std::uint16_t address) { return backend_->In(address); }
  void Hold(bool on) { backend_->Hold(on); }
  void ThrowFault() const { backend_->ThrowFault(); }

 private:
  PortBackend* backend_;
};

}  // namespace pt4
