// Which port the programs drive, decided in one place: pt4prog and pt4cli both
// take it from ChosenPort, and nothing else reads PT4_PORT or PT4_TRACE.
#pragma once

#include <cstdint>
#include <string>

#include "hardware/DirectPort.h"

namespace pt4 {

// What a PT4_PORT value asks for.
struct PortChoice {
  enum class Kind { Ppdev, Direct, Sim, Invalid } kind = Kind::Invalid;
  std::string device;                         // ppdev device
  std::uint16_t base = PortBase;              // direct: the port's data register
  std::uint16_t ecr = PortBase + kEcrOffset;  // direct: its extended control register
  std::string chipFile;                       // sim: chip image file, empty for a chip in memory
  bool noChip = false;                        // sim: empty socket
  std::string text;                           // the value as given
  std::string source = "PT4_PORT";            // where it was given: PT4_PORT or --port
  std::string traceFile;                      // every port access recorded there, when not empty
};

// `value` is PT4_PORT (nullptr when unset: ppdev on /dev/parport0; direct port
// I/O is used only when it is named), read by the table of port kinds
// (hardware/PortKinds.h). A direct address must be one a parallel port can
// have: aligned to 4, outside the first 256 ports (the motherboard's timers,
// DMA and interrupt controllers) and the PCI configuration ports.
PortChoice ParsePortChoice(const char* value);
// True for an I/O range a parallel port's registers may occupy.
bool MayBeParallelPort(std::uint16_t first, std::uint16_t count);

// The port a program was asked for: `given` (pt4cli's --port) when not null,
// else PT4_PORT; the trace file from PT4_TRACE.
PortChoice ChosenPort(const char* given = nullptr);

}  // namespace pt4
