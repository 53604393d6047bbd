#include "hardware/OpenPort.h"

#include <vector>

#include "base/Message.h"
#include "hardware/DirectBackend.h"
#include "hardware/PpdevBackend.h"
#include "hardware/Privileges.h"
#include "hardware/SimProgrammer.h"
#include "hardware/TracingBackend.h"

namespace pt4 {

namespace {
// Stands in for the port when its value is not understood: every access says so,
// naming where the value was given (PT4_PORT or pt4cli's --port).
class InvalidBackend final : public PortBackend {
 public:
  InvalidBackend(std::string text, std::string source)
      : text_(std::move(text)), source_(std::move(source)) {}
  void Out(std::uint16_t, std::uint8_t) override { Fail(); }
  std::uint8_t In(std::uint16_t) override { Fail(); }
  std::string Describe() const override { return source_ + "=" + text_; }

 private:
  [[noreturn]] void Fail() const {
    throw PortError(Message{
        Tr("pt4::Port",
           "%1=\"%2\" is not understood. Use /dev/parportN (ppdev), direct or "
           "direct:0xADDR (port I/O as root, at an address a parallel port can have: a "
           "multiple of 4 from 0x100 up, not the PCI configuration ports 0xCF8-0xCFF), sim, "
           "sim:FILE or sim-nochip.")
            .With(source_, text_)});
  }
  std::string text_, source_;
};

}  // namespace

OpenedPort OpenPortAccess(const PortChoice& choice, Clock& clock) {
  OpenedPort port;
  switch (choice.kind) {
    case PortChoice::Kind::Ppdev: {
      auto p = std::make_unique<PpdevBackend>(choice.device, PortBase);
      p->Open();
      port.backend = std::move(p);
      break;
    }
    case PortChoice::Kind::Direct: {
      auto d = std::make_unique<DirectBackend>(PortBase, choice.base, choice.ecr);
      d->Open();
      port.backend = std::move(d);
      break;
    }
    case PortChoice::Kind::Sim: {
      auto s = std::make_unique<SimProgrammer>(clock, PortBase);
      if (choice.noChip) s->SetChipPresent(false);
      port.sim = s.get();
      port.backend = std::move(s);
      break;
    }
    case PortChoice::Kind::Invalid:
      port.backend = std::make_unique<InvalidBackend>(choice.text, choice.source);
      break;
  }
  return port;
}

void CompleteBackend(OpenedPort& port, const PortChoice& choice, Clock& clock) {
  if (port.sim != nullptr && !choice.chipFile.empty()) {
    // sim:A,B,C is a tray of chips for a production run, one file each.
    std::vector<std::string> files;
    std::size_t at = 0;
    for (std::size_t comma; (comma = choice.chipFile.find(',', at)) != std::string::npos;
         at = comma + 1) {
      files.push_back(choice.chipFile.substr(at, comma - at));
    }
    files.push_back(choice.chipFile.substr(at));
    port.sim->AttachFiles(files);
  }
  if (!choice.traceFile.empty()) {
    auto tracer =
        std::make_unique<TracingBackend>(std::move(port.backend), choice.traceFile, clock);
    port.tracer = tracer.get();
    port.backend = std::move(tracer);
  }
}

OpenedPort InstallGiveio(const PortChoice& choice, Clock& clock) {
  OpenedPort port = OpenPortAccess(choice, clock);
  // Root, when sudo gave it, was for the port alone: the files and everything
  // after them are the user's.
  DropSudoRoot();
  CompleteBackend(port, choice, clock);
  return port;
}

}  // namespace pt4
