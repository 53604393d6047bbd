#include "operations/Session.h"

#include "hardware/Clock.h"
#include "hardware/OpenPort.h"
#include "hardware/PortChoice.h"
#include "hardware/PortKinds.h"
#include "hardware/Programmer.h"
#include "hardware/Realtime.h"
#include "hardware/TracingBackend.h"
#include "operations/Probe.h"

namespace pt4 {

Session::Session(const char* port) : ownClock_(std::make_unique<RealClock>()) {
  clock_ = ownClock_.get();
  const PortChoice choice = ChosenPort(port);
  source_ = choice.source;
  device_ = choice.device;
  // The port first, with the rights the process was started with; root is
  // given back then, before any file is opened.
  OpenedPort opened = InstallGiveio(choice, *clock_);
  simulated_ = opened.sim != nullptr;
  tracer_ = opened.tracer;
  programmer_ = std::make_unique<Programmer>(std::move(opened.backend));
}

Session::Session(std::unique_ptr<PortBackend> backend, Clock& clock, bool simulated)
    : clock_(&clock),
      programmer_(std::make_unique<Programmer>(std::move(backend))),
      simulated_(simulated) {}

Session::~Session() = default;  // the programmer's owner sets it idle and gives the port back

std::string Session::Describe() const {
  return programmer_->Backend().Describe();
}

std::string Session::Modes() const {
  return ModesFileFor(device_);
}

void Session::Start() {
  programmer_->Start();
}

void Session::Idle() {
  programmer_->Idle();
}

void Session::EmergencyIdle() noexcept {
  programmer_->EmergencyIdle();
}

void Session::Release() noexcept {
  programmer_->Release();
}

bool Session::PollAcknowledge() {
  return (programmer_->Regs().ReadStatus() & 0x40) != 0;
}

PassContext Session::Context(PassView& view, RomImage& image, const ProgParams& params,
                             VerifyCounters& counters, PulseAudit* audit) {
  return PassContext{programmer_->Regs(), *clock_, view, image, params, counters, audit};
}

struct Session::RealTime::Span {
  RealtimeSpan span;
};

Session::RealTime::RealTime() : span_(std::make_unique<Span>()) {}
Session::RealTime::~RealTime() = default;

bool Session::RealTime::Granted() const {
  return span_->span.Granted();
}

std::string Session::RealTime::Refused() const {
  return span_->span.Refused();
}

const char* Session::RealTime::Advice() {
  return RealtimeAdvice();
}

ProbeResult Session::Probe() {
  return pt4::Probe(*programmer_, *clock_, Modes());
}

void Session::NextChip() {
  programmer_->Backend().NextChip();
}

std::optional<Error> Session::TraceFault() const {
  if (tracer_ == nullptr) return std::nullopt;
  return tracer_->TraceFault();
}

std::vector<Session::PortForm> Session::PortForms() {
  std::vector<PortForm> forms;
  for (const PortKindRow& row : PortKinds()) {
    if (row.listed) forms.push_back({row.form, row.means});
  }
  return forms;
}

std::int64_t Session::NowNs() const {
  return clock_->NowNs();
}

}  // namespace pt4
