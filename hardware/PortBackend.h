// One byte-wide path to the parallel port's registers. Every way of reaching the
// programmer (ppdev, direct port I/O, the simulator) is one implementation.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/Message.h"

namespace pt4 {

// An I/O address as the messages show it: 0x378.
inline std::string IoAddress(unsigned address) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%03X", address);
  return buf;
}

// A refused or failed access throws Error of kind Port, whose sentences name the
// device, the cause and the remedy, so they can go straight to the user.
class PortBackend {
 public:
  virtual ~PortBackend() = default;
  virtual void Out(std::uint16_t address, std::uint8_t value) = 0;
  virtual std::uint8_t In(std::uint16_t address) = 0;
  // Gives the port back; no access may follow. Safe to call twice.
  virtual void Release() {}
  virtual std::string Describe() const = 0;
  // While a pulse is raised nothing may run but the wait: a backend puts off any
  // slow work of its own (file writes) until the hold ends.
  virtual void Hold(bool on) { (void)on; }
  // The user has put the next chip of a batch in the socket.
  virtual void NextChip() {}
  // Throws the failure behind the port that the accesses themselves could not
  // report (the simulated chip could not be saved); nothing when all is well.
  // A pass asks at its end, so that the failure ends it as a refused access would.
  virtual void ThrowFault() const {}
  // One write straight to the port, from a crash's signal handler: no allocation,
  // no exception, no lock, no file but the trace's, nothing that a crash may
  // have left half done. A backend that cannot do that sends nothing.
  virtual void CrashOut(std::uint16_t address, std::uint8_t value) noexcept {
    (void)address;
    (void)value;
  }
};

}  // namespace pt4
