#include "hardware/OpenPort.h"

#include <vector>

#include "base/Message.h"
#include "hardware/PortKinds.h"
#include "hardware/Privileges.h"
#include "hardware/SimProgrammer.h"
#include "hardware/TracingBackend.h"

namespace pt4 {

namespace {
// Stands in for the port when its value is not understood: every access says so,
// naming where the value was given (PT4_PORT or pt4cli's --port).
class InvalidBackend final : public PortBackend {
 public:
  explicit InvalidBackend(PortChoice choice) : choice_(std::move(choice)) {}
  void Out(std::uint16_t, std::uint8_t) override { Fail(); }
  std::uint8_t In(std::uint16_t) override { Fail(); }
  std::string Describe() const override { return choice_.source + "=" + choice_.text; }

 private:
  [[noreturn]] void Fail() const { throw PortError(PortNotUnderstood(choice_)); }
  PortChoice choice_;
};

}  // namespace

OpenedPort OpenPortAccess(const PortChoice& choice, Clock& clock) {
  OpenedPort port;
  if (choice.kind != PortChoice::Kind::Invalid) {
    for (const PortKindRow& row : PortKinds()) {
      if (row.kind == choice.kind) {
        port.backend = row.open(choice, clock, &port.sim);
        return port;
      }
    }
  }
  port.backend = std::make_unique<InvalidBackend>(choice);
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
