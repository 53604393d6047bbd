#include "hardware/DirectPort.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "hardware/DirectBackend.h"
#include "hardware/PpdevBackend.h"
#include "hardware/Privileges.h"
#include "hardware/SimProgrammer.h"
#include "hardware/TracingBackend.h"

namespace pt4 {

namespace {
// Stands in for the port when PT4_PORT is not understood: every access says so.
class InvalidBackend final : public PortBackend {
 public:
  explicit InvalidBackend(std::string text) : text_(std::move(text)) {}
  void Out(std::uint16_t, std::uint8_t) override { Fail(); }
  std::uint8_t In(std::uint16_t) override { Fail(); }
  std::string Describe() const override { return "PT4_PORT=" + text_; }

 private:
  [[noreturn]] void Fail() const {
    throw PortError(Message{
        Tr("pt4::Port",
           "PT4_PORT=\"%1\" is not understood. Use /dev/parportN (ppdev), direct or "
           "direct:0xADDR (port I/O as root, at an address a parallel port can have: a "
           "multiple of 4 from 0x100 up, not the PCI configuration ports 0xCF8-0xCFF), sim, "
           "sim:FILE or sim-nochip.")
            .With(text_)});
  }
  std::string text_;
};

// "0x378"; "378h" or "0x 12" is not accepted: C-style hex digits only, as the
// kernel lists its ports.
std::optional<std::uint16_t> ParseIoAddress(const std::string& s) {
  if (s.size() < 3 || s.size() > 6 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return {};
  unsigned v = 0;
  for (std::size_t i = 2; i < s.size(); ++i) {
    const char c = s[i];
    const int d = c >= '0' && c <= '9'   ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : -1;
    if (d < 0) return {};
    v = v * 16 + static_cast<unsigned>(d);
  }
  if (v > 0xFFFF) return {};
  return static_cast<std::uint16_t>(v);
}

// "direct:0xD010" or "direct:0xD010,ecr=0xD000"
bool ParseDirect(const std::string& text, PortChoice& c) {
  const auto comma = text.find(',');
  const auto base = ParseIoAddress(text.substr(0, comma));
  if (!base || *base % 4 != 0 || !MayBeParallelPort(*base, 3)) return false;
  c.base = *base;
  const unsigned ecr = *base + kEcrOffset;  // where a card has its ECR unless told
  c.ecr = static_cast<std::uint16_t>(ecr);
  if (comma == std::string::npos && ecr > 0xFFFF) return false;
  if (comma != std::string::npos) {
    const std::string rest = text.substr(comma + 1);
    if (rest.rfind("ecr=", 0) != 0) return false;
    const auto given = ParseIoAddress(rest.substr(4));
    if (!given) return false;
    c.ecr = *given;
  }
  return MayBeParallelPort(c.ecr, 1);
}
}  // namespace

bool MayBeParallelPort(std::uint16_t first, std::uint16_t count) {
  const unsigned last = static_cast<unsigned>(first) + count - 1;
  const bool pciConfig = last >= 0xCF8 && first <= 0xCFF;
  return first > 0xFF && last <= 0xFFFF && !pciConfig;
}

PortChoice ParsePortChoice(const char* value) {
  PortChoice c;
  c.text = value != nullptr ? value : "";
  const std::string v = c.text;
  if (value == nullptr || v.empty() || v == "ppdev") {
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
  } else if (v.rfind("direct:", 0) == 0) {
    if (ParseDirect(v.substr(7), c)) c.kind = PortChoice::Kind::Direct;
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

std::unique_ptr<PortBackend> OpenPortAccess(const PortChoice& choice, Clock& clock) {
  switch (choice.kind) {
    case PortChoice::Kind::Ppdev: {
      auto p = std::make_unique<PpdevBackend>(choice.device, PortBase);
      p->Open();
      return p;
    }
    case PortChoice::Kind::Direct: {
      auto d = std::make_unique<DirectBackend>(PortBase, choice.base, choice.ecr);
      d->Open();
      return d;
    }
    case PortChoice::Kind::Sim: {
      auto s = std::make_unique<SimProgrammer>(clock, PortBase);
      if (choice.noChip) s->SetChipPresent(false);
      return s;
    }
    case PortChoice::Kind::Invalid:
      break;
  }
  return std::make_unique<InvalidBackend>(choice.text);
}

std::unique_ptr<PortBackend> CompleteBackend(std::unique_ptr<PortBackend> backend,
                                             const PortChoice& choice, const std::string& traceFile,
                                             Clock& clock) {
  if (choice.kind == PortChoice::Kind::Sim && !choice.chipFile.empty()) {
    // sim:A,B,C is a tray of chips for a production run, one file each.
    std::vector<std::string> files;
    std::size_t at = 0;
    for (std::size_t comma; (comma = choice.chipFile.find(',', at)) != std::string::npos;
         at = comma + 1) {
      files.push_back(choice.chipFile.substr(at, comma - at));
    }
    files.push_back(choice.chipFile.substr(at));
    std::string why;
    if (!static_cast<SimProgrammer&>(*backend).AttachFiles(files, &why)) throw StartupFailure(why);
  }
  if (!traceFile.empty()) {
    backend = std::make_unique<TracingBackend>(std::move(backend), traceFile, clock);
  }
  return backend;
}

std::unique_ptr<PortBackend> OpenBackend(const PortChoice& choice, const std::string& traceFile,
                                         Clock& clock) {
  return CompleteBackend(OpenPortAccess(choice, clock), choice, traceFile, clock);
}

std::unique_ptr<PortBackend> InstallGiveio(Clock& clock, const char* portValue) {
  const PortChoice choice =
      ParsePortChoice(portValue != nullptr ? portValue : std::getenv("PT4_PORT"));
  auto backend = OpenPortAccess(choice, clock);
  // Root, when sudo gave it, was for the port alone: the files and everything
  // after them are the user's.
  DropSudoRoot();
  const char* trace = std::getenv("PT4_TRACE");
  return CompleteBackend(std::move(backend), choice, trace != nullptr ? trace : "", clock);
}

}  // namespace pt4
