#include "hardware/DirectPort.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "hardware/DirectBackend.h"
#include "hardware/PpdevBackend.h"
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
    throw PortError("PT4_PORT=\"" + text_ +
                    "\" is not understood. Use /dev/parportN (ppdev), direct or direct:0xADDR "
                    "(port I/O as root), sim, sim:FILE or sim-nochip.");
  }
  std::string text_;
};

// "0x378", "378h" is not accepted: only C-style hex, as the kernel lists them.
std::optional<std::uint16_t> ParseIoAddress(const std::string& s) {
  if (s.size() < 3 || s.size() > 6 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return {};
  char* end = nullptr;
  const unsigned long v = std::strtoul(s.c_str() + 2, &end, 16);
  if (end == nullptr || *end != '\0' || v == 0 || v > 0xFFFF - 2) return {};
  return static_cast<std::uint16_t>(v);
}

// "direct:0xD010" or "direct:0xD010,ecr=0xD000"
bool ParseDirect(const std::string& text, PortChoice& c) {
  const auto comma = text.find(',');
  const auto base = ParseIoAddress(text.substr(0, comma));
  if (!base) return false;
  c.base = *base;
  c.ecr = static_cast<std::uint16_t>(*base + kEcrOffset);
  if (comma != std::string::npos) {
    const std::string rest = text.substr(comma + 1);
    if (rest.rfind("ecr=", 0) != 0) return false;
    const auto ecr = ParseIoAddress(rest.substr(4));
    if (!ecr) return false;
    c.ecr = *ecr;
  }
  return true;
}
}  // namespace

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
      auto d = std::make_unique<DirectBackend>(PortBase, choice.base, choice.ecr);
      d->Open();
      backend = std::move(d);
      break;
    }
    case PortChoice::Kind::Sim: {
      auto s = std::make_unique<SimProgrammer>(clock, PortBase);
      if (choice.noChip) s->SetChipPresent(false);
      if (!choice.chipFile.empty()) {
        // sim:A,B,C is a tray of chips for a production run, one file each.
        std::vector<std::string> files;
        std::size_t at = 0;
        for (std::size_t comma; (comma = choice.chipFile.find(',', at)) != std::string::npos;
             at = comma + 1) {
          files.push_back(choice.chipFile.substr(at, comma - at));
        }
        files.push_back(choice.chipFile.substr(at));
        std::string why;
        if (!s->AttachFiles(files, &why)) throw StartupFailure(why);
      }
      backend = std::move(s);
      break;
    }
    case PortChoice::Kind::Invalid:
      backend = std::make_unique<InvalidBackend>(choice.text);
      break;
  }
  if (!traceFile.empty()) {
    backend = std::make_unique<TracingBackend>(std::move(backend), traceFile, clock);
  }
  return backend;
}

std::unique_ptr<PortBackend> InstallGiveio(Clock& clock, const char* portValue) {
  struct stat sb {};
  const bool parport0 = ::stat("/dev/parport0", &sb) == 0;
  const PortChoice choice =
      ParsePortChoice(portValue != nullptr ? portValue : std::getenv("PT4_PORT"), parport0);
  const char* trace = std::getenv("PT4_TRACE");
  return OpenBackend(choice, trace != nullptr ? trace : "", clock);
}

}  // namespace pt4
