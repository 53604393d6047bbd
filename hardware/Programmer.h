// The one owner of the programmer: it holds the port backend, sets the port mode
// and the idle state, lends the latch layer to the passes, and sets the programmer
// idle and gives the port back when it goes out of scope. The window, pt4cli and
// the benchmarks all drive the hardware through one of these.
#pragma once

#include <cstdint>
#include <memory>

#include "hardware/DirectPort.h"
#include "hardware/PortBackend.h"
#include "hardware/Registers.h"

namespace pt4 {

class Programmer {
 public:
  explicit Programmer(std::unique_ptr<PortBackend> backend);
  ~Programmer();
  Programmer(const Programmer&) = delete;
  Programmer& operator=(const Programmer&) = delete;

  // The port mode, then the idle state. Throws PortError when the port refuses.
  void Start();
  // The idle writes. Throws PortError when the port refuses.
  void Idle();
  // For a pass that ended abnormally: the pulse dropped first, then the idle
  // writes. Never throws.
  void EmergencyIdle() noexcept;
  // For a crash's signal handler: EmergencyIdle's writes, prepared beforehand,
  // sent straight through the backend. Nothing else: no save, no trace flush,
  // no allocation, no exception. The process is about to die.
  void CrashIdle() noexcept;
  // Idle (when anything was sent since the last idle), then the port given back.
  // A programmer never started nor lent out sends nothing: a command refused
  // before its first access (a file, a mask) leaves the port as it found it.
  // Safe to call twice; no access may follow.
  void Release() noexcept;

  Registers& Regs() {
    touched_ = true;
    return regs_;
  }
  PortBackend& Backend() { return *backend_; }

  // The programmer that the last-resort paths (a fatal signal, exit() from a
  // library, an uncaught exception) set idle; nullptr when there is none.
  static Programmer* Active();

 private:
  std::unique_ptr<PortBackend> backend_;
  TDirectPort port_;
  Registers regs_;
  bool released_ = false;
  bool touched_ = false;  // started, or its latches lent to a pass
};

}  // namespace pt4
