// What a front end asks of the process around its session: where code may be
// loaded from, whether it runs with rights its user has not, the last-resort
// paths that set the programmer idle, root given back, and the signals that ask
// to stop. They live with the port below (hardware/); the windows and pt4cli
// reach them here, so that nothing of hardware/ is theirs to include.
#pragma once

#include <string>

#include "base/Stop.h"

namespace pt4::process {

// Code is loaded only from the system's folder and the program's own (Windows).
void LimitLibrarySearch();
// How the process was given rights its user has not (set-id, capabilities);
// empty when it was not.
std::string RaisedPrivileges();
// The paths that set the programmer idle whatever ends the process (signals,
// a crash, exit() from a library, an uncaught exception, a closed console).
void InstallExitPaths();
// Started through sudo: becomes the user who ran it, for good. Throws Error
// (Privilege) when root cannot be given up completely.
void GiveUpSudoRoot();
// A descriptor that becomes readable when a stop signal arrives (-1 where
// there is none), for an event loop to watch.
int StopSignalFd();
// Records a stop the system asked for by other means (Windows' log-off).
void RecordStop(int sig);

}  // namespace pt4::process
