// Port access: TDirectPort is the thin handle every register access goes through,
// always bound to the backend it is given. InstallGiveio opens the backend that
// PT4_PORT names, before any window exists, and then gives up root if sudo gave it.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "hardware/Clock.h"
#include "hardware/PortBackend.h"

#ifndef PT4_PORT_BASE
#define PT4_PORT_BASE 0x378
#endif

namespace pt4 {

// The register addresses the latch layer uses. A backend for a port elsewhere (a
// PCIe card) maps them onto its own.
constexpr std::uint16_t PortBase = PT4_PORT_BASE;
constexpr std::uint16_t kEcrOffset = 0x402;

class TDirectPort {
 public:
  explicit TDirectPort(PortBackend& backend) : backend_(&backend) {}
  void PortOut(std::uint16_t address, std::uint8_t value) { backend_->Out(address, value); }
  std::uint8_t PortIn(std::uint16_t address) { return backend_->In(address); }
  void Hold(bool on) { backend_->Hold(on); }
  std::string Fault() const { return backend_->Fault(); }

 private:
  PortBackend* backend_;
};

// The one start-up failure that leaves nothing to run: a file the backend needs
// cannot be created. The caller shows "Can not create system file ..." and ends
// the process with exit code 2.
class StartupFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a PT4_PORT value asks for.
struct PortChoice {
  enum class Kind { Ppdev, Direct, Sim, Invalid } kind = Kind::Invalid;
  std::string device;                         // ppdev device
  std::uint16_t base = PortBase;              // direct: the port's data register
  std::uint16_t ecr = PortBase + kEcrOffset;  // direct: its extended control register
  std::string chipFile;                       // sim: chip image file, empty for a chip in memory
  bool noChip = false;                        // sim: empty socket
  std::string text;                           // the value as given
};
// `value` is PT4_PORT (nullptr when unset: ppdev on /dev/parport0; direct port
// I/O is used only when it is named). A direct address must be one a parallel
// port can have: aligned to 4, outside the first 256 ports (the motherboard's
// timers, DMA and interrupt controllers) and the PCI configuration ports.
PortChoice ParsePortChoice(const char* value);
// True for an I/O range a parallel port's registers may occupy.
bool MayBeParallelPort(std::uint16_t first, std::uint16_t count);

// The part of opening that may need privilege: the device opened and claimed,
// or the I/O ports granted. Nothing else is opened or written.
std::unique_ptr<PortBackend> OpenPortAccess(const PortChoice& choice, Clock& clock);
// The rest, which never needs it: the simulator's chip files, and the tracer
// around the backend when traceFile is not empty. Throws StartupFailure for a
// file that cannot be created.
std::unique_ptr<PortBackend> CompleteBackend(std::unique_ptr<PortBackend> backend,
                                             const PortChoice& choice, const std::string& traceFile,
                                             Clock& clock);
// Both; a refused port is raised, with its remedy, by the first access.
std::unique_ptr<PortBackend> OpenBackend(const PortChoice& choice, const std::string& traceFile,
                                         Clock& clock);

// The backend that `portValue` names (PT4_PORT when nullptr), traced to
// PT4_TRACE: the port taken first, then root given back to the user who ran
// sudo (DropSudoRoot), then the files. Throws StartupFailure or PrivilegeFailure.
std::unique_ptr<PortBackend> InstallGiveio(Clock& clock, const char* portValue = nullptr);

}  // namespace pt4
