// Opening the port a PortChoice names: the backend built, the port taken with
// the rights the process started with, those rights given up, and only then
// the files (the simulator's chips, the trace) opened as the user.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "hardware/Clock.h"
#include "hardware/PortBackend.h"
#include "hardware/PortChoice.h"

namespace pt4 {

class SimProgrammer;
class TracingBackend;

// The backend to drive, and typed ways to the extras of the backends inside it.
struct OpenedPort {
  std::unique_ptr<PortBackend> backend;
  SimProgrammer* sim = nullptr;      // the simulator, when the choice was one
  TracingBackend* tracer = nullptr;  // the outermost backend, when a trace was asked for
};

// The part of opening that may need privilege: the device opened and claimed,
// or the I/O ports granted. Nothing else is opened or written. A refused port
// is raised, with its remedy, by the first access, so a window can still open
// and say so.
OpenedPort OpenPortAccess(const PortChoice& choice, Clock& clock);
// The rest, which never needs it: the simulator's chip files, and the tracer
// around the backend when the choice names a trace file. Throws Error of kind
// File for a file that cannot be created: the one start-up failure that leaves
// nothing to run.
void CompleteBackend(OpenedPort& port, const PortChoice& choice, Clock& clock);

// Both, with root given back to the user who ran sudo (DropSudoRoot) between
// them. Throws Error of kind File or Privilege; a refused port is raised, with
// its remedy, by the first access.
OpenedPort InstallGiveio(const PortChoice& choice, Clock& clock);

}  // namespace pt4
