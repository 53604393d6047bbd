#include "operations/Probe.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "image/Buffer.h"
#include "operations/Passes.h"

namespace pt4 {

namespace {
constexpr std::uint8_t kIdleControl = 0x04;  // where the idle writes leave the control register
constexpr std::uint8_t kInputNoSelect = 0x20 | kIdleControl;  // lines turned to input, no latch
constexpr std::uint8_t kPatterns[] = {0x55, 0xAA};

std::string ReadLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  // The kernel separates the base and the ECR address with a tab.
  std::replace(line.begin(), line.end(), '\t', ' ');
  return line;
}

// The kernel lists the base (and the ECR) in decimal: "888\t1914".
std::string Addresses(const std::string& decimal) {
  std::string out;
  std::size_t at = 0;
  while (at < decimal.size()) {
    std::size_t used = 0;
    unsigned long v = 0;
    try {
      v = std::stoul(decimal.substr(at), &used, 10);
    } catch (...) {
      break;
    }
    at += used;
    if (v == 0 && !out.empty()) continue;  // no ECR listed
    char buf[16];
    std::snprintf(buf, sizeof buf, "%s0x%lX", out.empty() ? "" : " ECR ", v);
    out += buf;
  }
  return out.empty() ? decimal : out;
}

std::string Hex0x(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", v & 0xFF);
  return buf;
}

}  // namespace

ProbeResult Probe(Programmer& programmer, Clock& clock, const std::string& modesFile) {
  ProbeResult r;
  r.backend = programmer.Backend().Describe();
  if (!modesFile.empty()) r.modes = ReadLine(modesFile);
  try {
    programmer.Start();
    TDirectPort port(programmer.Backend());
    // The data register with the strobes low: no latch takes what is written.
    r.forwardOk = true;
    for (std::uint8_t v : kPatterns) {
      port.PortOut(PortBase, v);
      if (port.PortIn(PortBase) != v) r.forwardOk = false;
    }
    // Input mode with no chip selected: a port that still reads its own latch
    // never let go of the lines.
    port.PortOut(PortBase, 0x5A);
    port.PortOut(PortBase + 2, kInputNoSelect);
    const std::uint8_t reverse = port.PortIn(PortBase);
    port.PortOut(PortBase + 2, kIdleControl);
    r.bidirectional = reverse != 0x5A;
    r.status = programmer.Regs().ReadStatus();
    // One read pass under the read supply, every line kept.
    RomImage image;
    image.RomSize = kChipWords;
    ProgParams params;
    params.CompMask = 0xFF;
    VerifyCounters counters;
    NullPassView view;
    PassContext ctx{programmer.Regs(), clock, view, image, params, counters};
    ScanChip(ctx, false, false);
    r.wordsRead = kChipWords;
    r.chipAnswers = std::any_of(image.RomBuffer.begin(), image.RomBuffer.begin() + kChipWords,
                                [](std::uint8_t b) { return b != 0xFF; });
    programmer.Idle();
  } catch (const PortError& e) {
    r.portError = e.what();
    programmer.EmergencyIdle();
  }
  return r;
}

std::vector<std::string> ProbeResult::Lines() const {
  std::vector<std::string> out;
  out.push_back("port: " + backend);
  if (!portError.empty()) {
    out.push_back("open: " + portError);
    return out;
  }
  out.push_back("open: yes");
  if (!modes.empty()) out.push_back("modes: " + modes);
  out.push_back(std::string("forward: ") +
                (forwardOk ? "the data register reads back what was written"
                           : "the data register does not read back what was written"));
  out.push_back(std::string("reverse: ") +
                (bidirectional ? "input mode lets go of the data lines"
                               : "input mode still reads the port's own latch: the port is not "
                                 "bidirectional"));
  if (status >= 0) {
    out.push_back("status: " + Hex0x(status) + ", bit 6 " + ((status & 0x40) ? "high" : "low"));
  }
  if (wordsRead > 0) {
    out.push_back(std::string("chip: ") +
                  (chipAnswers ? "answers"
                               : "every word reads 0xFF: no chip, no adapter power, or floating "
                                 "lines"));
  }
  return out;
}

std::string ProbeResult::Verdict() const {
  if (!portError.empty()) return "verdict: the port cannot be used.";
  if (!forwardOk)
    return "verdict: the port does not hold a byte written to it; check the cable and the port.";
  if (!bidirectional) {
    return "verdict: the port cannot read the chip: set the port to PS/2, EPP or ECP mode in the "
           "BIOS.";
  }
  if (!chipAnswers) return "verdict: the port is usable; no chip answers.";
  return "verdict: the port is usable and a chip answers.";
}

std::string ModesFileFor(const std::string& device, const std::string& procRoot) {
  const auto slash = device.find_last_of('/');
  const std::string name = slash == std::string::npos ? device : device.substr(slash + 1);
  const std::string path = procRoot + "/" + name + "/modes";
  return ::access(path.c_str(), R_OK) == 0 ? path : std::string();
}

std::vector<KernelPort> KernelPorts(const std::string& procRoot, const std::string& devRoot) {
  std::vector<KernelPort> ports;
  DIR* dir = ::opendir(procRoot.c_str());
  if (dir == nullptr) return ports;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name.rfind("parport", 0) != 0) continue;
    KernelPort p;
    p.name = name;
    p.device = devRoot + "/" + name;
    p.base = Addresses(ReadLine(procRoot + "/" + name + "/base-addr"));
    p.modes = ReadLine(procRoot + "/" + name + "/modes");
    p.deviceExists = ::access(p.device.c_str(), F_OK) == 0;
    p.mayOpen = ::access(p.device.c_str(), R_OK | W_OK) == 0;
    ports.push_back(p);
  }
  ::closedir(dir);
  std::sort(ports.begin(), ports.end(),
            [](const KernelPort& a, const KernelPort& b) { return a.name < b.name; });
  return ports;
}

}  // namespace pt4
