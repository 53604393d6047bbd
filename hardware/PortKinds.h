// The kinds of port the programs can drive, one row each: how a value of the
// kind is written, what it drives, how a value is read and how the port is
// opened. The parser, the opener, pt4cli's --help and the refusal of a value
// that is none of them all read this table; adding a kind is adding a row.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Message.h"
#include "hardware/Clock.h"
#include "hardware/PortBackend.h"
#include "hardware/PortChoice.h"

namespace pt4 {

class SimProgrammer;

struct PortKindRow {
  PortChoice::Kind kind;
  const char* form;   // as --help and the manual write it: "/dev/parportN"
  const char* means;  // what it drives and who may use it, for --help
  bool listed;        // offered on this system (--help, the refusal's list)
  // Reads `value` into `c` and says whether the value is of this kind. A value
  // that looks like the kind but is wrong in its details is claimed with
  // c.kind left Invalid, so that the refusal can give the kind's rule.
  bool (*parse)(const std::string& value, PortChoice& c);
  // The rule a claimed but malformed value broke; null when there is none.
  Phrase (*rule)();
  // The backend, opened with the rights the process has. `sim` is set when the
  // backend is the simulator.
  std::unique_ptr<PortBackend> (*open)(const PortChoice& c, Clock& clock, SimProgrammer** sim);
};

// This system's kinds, in the order a value is tried: the first row that claims
// it decides (an unset PT4_PORT included).
const std::vector<PortKindRow>& PortKinds();

// "/dev/parportN, direct[:0xADDR[,ecr=0xADDR]], sim[:FILE[,FILE...]] or sim-nochip".
std::string PortForms();

// The refusal of a value that no row understands, naming where it was given.
Message PortNotUnderstood(const PortChoice& c);

}  // namespace pt4
