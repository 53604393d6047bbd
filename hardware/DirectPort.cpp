#include "hardware/DirectPort.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hardware/DirectBackend.h"
#include "hardware/PpdevBackend.h"
#include "hardware/SimProgrammer.h"
#include "hardware/TracingBackend.h"

namespace pt4 {

namespace {
struct ProcessPortState {
  RealClock clock;
  std::unique_ptr<PortBackend> backend;
  SimProgrammer* sim = nullptr;
};
ProcessPortState& State() {
  static ProcessPortState state;
  return state;
}

// Stands in for the port when PT4_PORT is not understood: every access says so.
class InvalidBackend final : public PortBackend {
 public:
  explicit InvalidBackend(std::string text) : text_(std::move(text)) {}
  void Out(std::uint16_t, std::uint8_t) override { Fail(); }
  std::uint8_t In(std::uint16_t) override { Fail(); }
  std::string Describe() const override { return "PT4_PORT=" + text_; }

 private:
  [[noreturn]] void Fail() const {
    throw PortError("PT4_PORT=\"" + text_ +
                    "\" is not understood. Use /dev/parportN (ppdev), direct (port I/O as "
                    "root), sim, sim:FILE or sim-nochip.");
  }
  std::string text_;
};

SimProgrammer* FindSim(PortBackend* b) {
  if (auto* t = dynamic_cast<TracingBackend*>(b)) return FindSim(&t->Inner());
  return dynamic_cast<SimProgrammer*>(b);
}
}  // namespace

TDirectPort::TDirectPort() : backend_(State().backend.get()) {}

void TDirectPort::PortOut(std::uint16_t address, std::uint8_t value) {
  if (backend_ == nullptr) throw PortError("The parallel port was not opened.");
  backend_->Out(address, value);
}

std::uint8_t TDirectPort::PortIn(std::uint16_t address) {
  if (backend_ == nullptr) throw PortError("The parallel port was not opened.");
  return backend_->In(address);
}

PortChoice ParsePortChoice(const char* value, bool parport0Exists) {
  PortChoice c;
  c.text = value != nullptr ? value : "";
  const std::string v = c.text;
  if (value == nullptr || v.empty()) {
    if (parport0Exists) {
      c.kind = PortChoice::Kind::Ppdev;
      c.device = "/dev/parport0";
    } else {
      c.kind = PortChoice::Kind::Direct;
    }
  } else if (v == "ppdev") {
    c.kind = PortChoice::Kind::Ppdev;
    c.device = "/dev/parport0";
  } else if (v.rfind("ppdev:", 0) == 0 && v.size() > 6) {
    c.kind = PortChoice::Kind::Ppdev;
    c.device = v.substr(6);
  } else if (v.rfind("/dev/", 0) == 0) {
    c.kind = PortChoice::Kind::Ppdev;
    c.device = v;
  } else if (v == "direct") {
    c.kind = PortChoice::Kind::Direct;
  } else if (v == "sim") {
    c.kind = PortChoice::Kind::Sim;
  } else if (v == "sim-nochip") {
    c.kind = PortChoice::Kind::Sim;
    c.noChip = true;
  } else if (v.rfind("sim:", 0) == 0 && v.size() > 4) {
    c.kind = PortChoice::Kind::Sim;
    c.chipFile = v.substr(4);
  }
  return c;
}

std::unique_ptr<PortBackend> OpenBackend(const PortChoice& choice, const std::string& traceFile,
                                         Clock& clock) {
  std::unique_ptr<PortBackend> backend;
  switch (choice.kind) {
    case PortChoice::Kind::Ppdev: {
      auto p = std::make_unique<PpdevBackend>(choice.device, PortBase);
      p->Open();
      backend = std::move(p);
      break;
    }
    case PortChoice::Kind::Direct: {
      auto d = std::make_unique<DirectBackend>(PortBase);
      d->Open();
      backend = std::move(d);
      break;
    }
    case PortChoice::Kind::Sim: {
      auto s = std::make_unique<SimProgrammer>(clock, PortBase);
      if (choice.noChip) s->SetChipPresent(false);
      if (!choice.chipFile.empty()) {
        std::string why;
        if (!s->AttachFile(choice.chipFile, &why)) throw StartupFailure(why);
      }
      backend = std::move(s);
      break;
    }
    case PortChoice::Kind::Invalid:
      backend = std::make_unique<InvalidBackend>(choice.text);
      break;
  }
  if (!traceFile.empty()) {
    std::FILE* f = std::fopen(traceFile.c_str(), "w");
    if (f == nullptr) {
      throw StartupFailure("Cannot create the trace file " + traceFile + ": " +
                           std::strerror(errno));
    }
    backend = std::make_unique<TracingBackend>(std::move(backend), f, clock);
  }
  return backend;
}

void InstallGiveio() {
  auto& st = State();
  struct stat sb {};
  const bool parport0 = ::stat("/dev/parport0", &sb) == 0;
  const PortChoice choice = ParsePortChoice(std::getenv("PT4_PORT"), parport0);
  const char* trace = std::getenv("PT4_TRACE");
  st.backend = OpenBackend(choice, trace != nullptr ? trace : "", st.clock);
  st.sim = FindSim(st.backend.get());
}

void RemoveGiveio() {
  auto& st = State();
  if (st.backend) st.backend->Release();
}

void InstallPortBackendForTest(std::unique_ptr<PortBackend> backend) {
  auto& st = State();
  st.backend = std::move(backend);
  st.sim = FindSim(st.backend.get());
}

bool PortInstalled() { return State().backend != nullptr; }

PortBackend& ProcessPort() {
  auto& st = State();
  if (!st.backend) throw PortError("The parallel port was not opened.");
  return *st.backend;
}

Clock& ProcessClock() { return State().clock; }
SimProgrammer* ProcessSimulator() { return State().sim; }

}  // namespace pt4
