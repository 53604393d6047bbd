// A front end's hold on the programmer, from taking the port to giving it back:
// what the window and pt4cli both need and must do the same way. It takes the
// port with the rights the process started with, gives root back to the user
// who ran sudo, and only then opens the files; it starts the programmer, reads
// the status lamp, runs passes on its clock with real time when the system
// allows it, and sets the programmer idle and gives the port back however it
// ends (its destructor, a stop, an error). Nothing of the port shows through:
// a front end that includes this needs nothing of hardware/.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Message.h"
#include "operations/Passes.h"

namespace pt4 {

class PortBackend;
class Programmer;
class Clock;
class RealClock;
class TracingBackend;
struct ProbeResult;

class Session {
 public:
  // The port named by `port` (pt4cli's --port), else by PT4_PORT. Throws Error
  // of kind File (a chip file or trace that cannot be made) or Privilege (root
  // that cannot be given up); a refused port is raised by the first access
  // (Start), so that a window can still open and say so.
  explicit Session(const char* port = nullptr);
  // Around a backend already made, on a clock that outlives the session (tests,
  // benchmarks, the screenshots); `simulated` when the backend is the simulator.
  Session(std::unique_ptr<PortBackend> backend, Clock& clock, bool simulated = false);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // What was opened, as the user would name it ("/dev/parport0", "simulator").
  std::string Describe() const;
  // The simulated programmer, whose chips are not real.
  bool Simulated() const { return simulated_; }
  // Where the port's value came from: "PT4_PORT" or "--port".
  const std::string& Source() const { return source_; }
  // The kernel's list of the port's modes, when it is a ppdev port and says so.
  std::string Modes() const;

  // The port mode, then the idle state. Throws Error (Port) when refused.
  void Start();
  // The idle writes. Throws Error (Port).
  void Idle();
  // The pulse dropped first, then the idle writes; never throws.
  void EmergencyIdle() noexcept;
  // Idle when anything was sent, then the port given back; safe to call twice.
  void Release() noexcept;

  // The status register's bit 0x40, the adapter's line on Acknowledge, which
  // the window's lamp shows. Throws Error (Port).
  bool PollAcknowledge();

  // A pass's context on this session's programmer and clock.
  PassContext Context(PassView& view, RomImage& image, const ProgParams& params,
                      VerifyCounters& counters, PulseAudit* audit = nullptr);
  // Real time for this process while the returned hold lives, when the system
  // allows it; Refused() says why not (empty when granted).
  class RealTime {
   public:
    RealTime();
    ~RealTime();
    RealTime(const RealTime&) = delete;
    RealTime& operator=(const RealTime&) = delete;
    bool Granted() const;
    std::string Refused() const;  // empty when granted
    static const char* Advice();  // what the administrator can do about it

   private:
    struct Span;
    std::unique_ptr<Span> span_;
  };

  // The self-test of the port and the programmer.
  ProbeResult Probe();
  // The user has put the next chip of a batch in the socket (the simulator's tray).
  void NextChip();
  // A trace the user asked for that could not be written, if so.
  std::optional<Error> TraceFault() const;
  // Nanoseconds on the session's clock, for the windows' waits.
  std::int64_t NowNs() const;

  // This system's kinds of port, as pt4cli's --help lists them: the form of
  // the value and what it drives.
  struct PortForm {
    std::string form, means;
  };
  static std::vector<PortForm> PortForms();

 private:
  std::unique_ptr<RealClock> ownClock_;
  Clock* clock_ = nullptr;
  std::unique_ptr<Programmer> programmer_;
  bool simulated_ = false;
  TracingBackend* tracer_ = nullptr;
  std::string device_;  // a ppdev port's device, for its modes
  std::string source_ = "PT4_PORT";
};

}  // namespace pt4
