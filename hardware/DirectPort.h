// Port access for the whole process. InstallGiveio opens the backend that PT4_PORT
// names before any window exists; TDirectPort is the thin handle every register
// access goes through; RemoveGiveio gives the port back after the last access.
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

constexpr std::uint16_t PortBase = PT4_PORT_BASE;

class SimProgrammer;

class TDirectPort {
 public:
  // Bound to the process's port, as InstallGiveio opened it.
  TDirectPort();
  explicit TDirectPort(PortBackend& backend) : backend_(&backend) {}
  void PortOut(std::uint16_t address, std::uint8_t value);
  std::uint8_t PortIn(std::uint16_t address);

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
  std::string device;    // ppdev device
  std::string chipFile;  // sim: chip image file, empty for a chip in memory
  bool noChip = false;   // sim: empty socket
  std::string text;      // the value as given
};
// `value` is PT4_PORT (nullptr when unset); `parport0Exists` picks the default.
PortChoice ParsePortChoice(const char* value, bool parport0Exists);

// Opens the chosen backend (wrapped in a tracer when traceFile is not empty).
// Throws StartupFailure only for a file that cannot be created.
std::unique_ptr<PortBackend> OpenBackend(const PortChoice& choice, const std::string& traceFile,
                                         Clock& clock);

void InstallGiveio();  // from the environment: PT4_PORT, PT4_TRACE
void RemoveGiveio();
// For tests: make `backend` the process's port (nullptr removes it).
void InstallPortBackendForTest(std::unique_ptr<PortBackend> backend);

bool PortInstalled();
PortBackend& ProcessPort();
Clock& ProcessClock();
// The simulated programmer behind the process's port, or nullptr.
SimProgrammer* ProcessSimulator();

}  // namespace pt4
