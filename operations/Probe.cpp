#include "operations/Probe.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "hardware/Clock.h"
#include "hardware/Programmer.h"
#include "image/Buffer.h"
#include "operations/Passes.h"

namespace pt4 {

namespace {
constexpr std::uint8_t kIdleControl = 0x04;  // where the idle writes leave the control register
constexpr std::uint8_t kInputNoSelect = 0x20 | kIdleControl;  // lines turned to input, no latch
constexpr std::uint8_t kPatterns[] = {0x55, 0xAA};

std::string Hex0x(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", v & 0xFF);
  return buf;
}

}  // namespace

std::string ReadFirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  // The kernel separates the base and the ECR address with a tab.
  std::replace(line.begin(), line.end(), '\t', ' ');
  return line;
}

ProbeResult Probe(Programmer& programmer, Clock& clock, const std::string& modesFile) {
  ProbeResult r;
  r.backend = programmer.Backend().Describe();
  if (!modesFile.empty()) r.modes = ReadFirstLine(modesFile);
  try {
    programmer.Start();
    TDirectPort port(programmer.Backend());
    // The data register with the strobes low: no latch takes what is written.
    r.forwardOk = true;
    for (std::uint8_t v : kPatterns) {
      port.PortOut(kDataRegister, v);
      if (port.PortIn(kDataRegister) != v) r.forwardOk = false;
    }
    // Input mode with no chip selected: a port that still reads its own latch
    // never let go of the lines.
    port.PortOut(kDataRegister, 0x5A);
    port.PortOut(kControlRegister, kInputNoSelect);
    const std::uint8_t reverse = port.PortIn(kDataRegister);
    port.PortOut(kControlRegister, kIdleControl);
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
  } catch (const Error& e) {
    if (e.Kind() != ErrorKind::Port) throw;
    r.portError = e;
    programmer.EmergencyIdle();
  }
  return r;
}

std::vector<std::string> ProbeResult::Lines() const {
  std::vector<std::string> out;
  out.push_back("port: " + backend);
  if (portError) {
    out.push_back(std::string("open: ") + portError->what());
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
  if (portError) return "verdict: the port cannot be used.";
  if (!forwardOk)
    return "verdict: the port does not hold a byte written to it; check the cable and the port.";
  if (!bidirectional) {
    return "verdict: the port cannot read the chip: set the port to PS/2, EPP or ECP mode in the "
           "BIOS.";
  }
  if (!chipAnswers) return "verdict: the port is usable; no chip answers.";
  return "verdict: the port is usable and a chip answers.";
}

}  // namespace pt4
