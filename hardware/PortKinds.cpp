#include "hardware/PortKinds.h"

#include <optional>

#include "hardware/DirectBackend.h"
#include "hardware/PpdevBackend.h"
#include "hardware/SimProgrammer.h"

namespace pt4 {

namespace {
bool StartsWith(const std::string& s, const char* prefix) {
  return s.rfind(prefix, 0) == 0;
}

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

// "0xD010" or "0xD010,ecr=0xD000"
bool ParseDirectAddress(const std::string& text, PortChoice& c) {
  const auto comma = text.find(',');
  const auto base = ParseIoAddress(text.substr(0, comma));
  if (!base || *base % 4 != 0 || !MayBeParallelPort(*base, 3)) return false;
  c.base = *base;
  const unsigned ecr = *base + kEcrOffset;  // where a card has its ECR unless told
  c.ecr = static_cast<std::uint16_t>(ecr);
  if (comma == std::string::npos && ecr > 0xFFFF) return false;
  if (comma != std::string::npos) {
    const std::string rest = text.substr(comma + 1);
    if (!StartsWith(rest, "ecr=")) return false;
    const auto given = ParseIoAddress(rest.substr(4));
    if (!given) return false;
    c.ecr = *given;
  }
  return MayBeParallelPort(c.ecr, 1);
}

bool ParsePpdev(const std::string& v, PortChoice& c) {
#ifndef _WIN32
  // Unset: the first port of the kernel's ppdev driver. Direct port I/O is
  // used only when it is named.
  if (v.empty()) {
    c.kind = PortChoice::Kind::Ppdev;
    c.device = "/dev/parport0";
    return true;
  }
#endif
  if (v == "ppdev") {
    c.device = "/dev/parport0";
  } else if (StartsWith(v, "ppdev:") && v.size() > 6) {
    c.device = v.substr(6);
  } else if (StartsWith(v, "/dev/")) {
    c.device = v;
  } else {
    return false;
  }
  c.kind = PortChoice::Kind::Ppdev;
  return true;
}

bool ParseDirect(const std::string& v, PortChoice& c) {
#ifdef _WIN32
  // Windows has no ppdev: unset, the port is the first one at 0x378 through the
  // InpOut32 driver, which the user installed for this.
  if (v.empty()) {
    c.kind = PortChoice::Kind::Direct;
    return true;
  }
#endif
  if (v == "direct") {
    c.kind = PortChoice::Kind::Direct;
    return true;
  }
  if (!StartsWith(v, "direct:")) return false;
  if (ParseDirectAddress(v.substr(7), c)) c.kind = PortChoice::Kind::Direct;
  return true;
}

bool ParseSim(const std::string& v, PortChoice& c) {
  if (v == "sim") {
    c.kind = PortChoice::Kind::Sim;
  } else if (StartsWith(v, "sim:") && v.size() > 4) {
    c.kind = PortChoice::Kind::Sim;
    c.chipFile = v.substr(4);
  } else {
    return false;
  }
  return true;
}

bool ParseSimNoChip(const std::string& v, PortChoice& c) {
  if (v != "sim-nochip") return false;
  c.kind = PortChoice::Kind::Sim;
  c.noChip = true;
  return true;
}

Phrase DirectRule() {
  return Tr("pt4::Port",
            "A direct port's address is one a parallel port can have: a multiple of 4 from "
            "0x100 up, not the PCI configuration ports 0xCF8-0xCFF.");
}

std::unique_ptr<PortBackend> OpenPpdev(const PortChoice& c, Clock&, SimProgrammer**) {
  auto p = std::make_unique<PpdevBackend>(c.device, PortBase);
  p->Open();
  return p;
}

std::unique_ptr<PortBackend> OpenDirect(const PortChoice& c, Clock&, SimProgrammer**) {
  auto d = std::make_unique<DirectBackend>(PortBase, c.base, c.ecr);
  d->Open();
  return d;
}

std::unique_ptr<PortBackend> OpenSim(const PortChoice& c, Clock& clock, SimProgrammer** sim) {
  auto s = std::make_unique<SimProgrammer>(clock, PortBase);
  if (c.noChip) s->SetChipPresent(false);
  *sim = s.get();
  return s;
}

// On Windows a ppdev name is still read, to be refused with the way to the
// InpOut32 driver, but never offered.
const PortKindRow kPpdev{PortChoice::Kind::Ppdev,
                         "/dev/parportN",
                         "ppdev, for group lp (the default is /dev/parport0)",
#ifdef _WIN32
                         false,
#else
                         true,
#endif
                         ParsePpdev,
                         nullptr,
                         OpenPpdev};
const PortKindRow kDirect{PortChoice::Kind::Direct,
                          "direct[:0xADDR[,ecr=0xADDR]]",
#ifdef _WIN32
                          "the InpOut32 driver at 0x378 or ADDR (the default)",
#else
                          "port I/O as root at 0x378 or ADDR, only when named",
#endif
                          true,
                          ParseDirect,
                          DirectRule,
                          OpenDirect};
const PortKindRow kSim{PortChoice::Kind::Sim,
                       "sim[:FILE[,FILE...]]",
                       "the simulated programmer; its chips kept in FILEs",
                       true,
                       ParseSim,
                       nullptr,
                       OpenSim};
const PortKindRow kSimNoChip{PortChoice::Kind::Sim,
                             "sim-nochip",
                             "the simulator, its socket empty",
                             true,
                             ParseSimNoChip,
                             nullptr,
                             OpenSim};
}  // namespace

const std::vector<PortKindRow>& PortKinds() {
#ifdef _WIN32
  static const std::vector<PortKindRow> rows{kDirect, kSim, kSimNoChip, kPpdev};
#else
  static const std::vector<PortKindRow> rows{kPpdev, kDirect, kSim, kSimNoChip};
#endif
  return rows;
}

PortChoice ParsePortChoice(const char* value) {
  PortChoice c;
  c.text = value != nullptr ? value : "";
  for (const PortKindRow& row : PortKinds()) {
    if (row.parse(c.text, c)) break;
  }
  return c;
}

std::string PortForms() {
  std::vector<const char*> forms;
  for (const PortKindRow& row : PortKinds()) {
    if (row.listed) forms.push_back(row.form);
  }
  std::string out;
  for (std::size_t i = 0; i < forms.size(); ++i) {
    if (i > 0) out += i + 1 == forms.size() ? " or " : ", ";
    out += forms[i];
  }
  return out;
}

Message PortNotUnderstood(const PortChoice& c) {
  Message m{
      Tr("pt4::Port", "%1=\"%2\" is not understood. Use %3.").With(c.source, c.text, PortForms())};
  for (const PortKindRow& row : PortKinds()) {
    PortChoice probe;
    if (row.rule != nullptr && row.parse(c.text, probe)) m.push_back(row.rule());
  }
  return m;
}

}  // namespace pt4
