// The self-test a newcomer runs before the first chip: is the port there, does it
// take a byte, does it let go of the data lines for a read, does a chip answer.
// It sends only reads and idle-state writes: never a programming voltage or a pulse.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/Message.h"

namespace pt4 {

class Clock;
class Programmer;

struct ProbeResult {
  std::string backend;             // what was opened
  std::optional<Error> portError;  // why the port could not be used: a finding, not a failure
  std::string modes;               // the kernel's list of the port's modes, when known
  bool forwardOk = false;          // the data register read back what was written
  bool bidirectional = false;      // input mode stopped driving the lines
  int status = -1;                 // the status register, -1 when not read
  bool chipAnswers = false;        // some word read other than all lines high
  int wordsRead = 0;
  bool Usable() const { return !portError && forwardOk && bidirectional; }
  std::string Verdict() const;
  std::vector<std::string> Lines() const;  // what was found, one fact a line
};

// The first line of a file, tabs as blanks; empty when it cannot be read.
std::string ReadFirstLine(const std::string& path);

// `modesFile` is the kernel's modes file of the port (empty when there is none).
ProbeResult Probe(Programmer& programmer, Clock& clock, const std::string& modesFile);

// The parallel ports the system knows: on Linux as /proc/sys/dev/parport lists
// them; on Windows as its device manager does, with their I/O ranges.
struct KernelPort {
  std::string name;    // parport0
  std::string device;  // /dev/parport0
  std::string base;    // "0x378" (and the ECR's address when the kernel lists one)
  std::string modes;   // PCSPP,TRISTATE,...
  bool deviceExists = false;
  bool mayOpen = false;
};
std::vector<KernelPort> KernelPorts(const std::string& procRoot = "/proc/sys/dev/parport",
                                    const std::string& devRoot = "/dev");
// What `pt4cli ports` says when there are none, and of each port: whether it can
// be opened, and what to do when not.
std::string NoPortsText();
std::string PortStatusText(const KernelPort& port);
// The modes file for a ppdev device such as /dev/parport0, or empty.
std::string ModesFileFor(const std::string& device,
                         const std::string& procRoot = "/proc/sys/dev/parport");

}  // namespace pt4
