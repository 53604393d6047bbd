// What the stop-signal files of both platforms share: the last-resort paths for
// exit() called from a library and an uncaught exception. Those leave the
// process whole, so the programmer is set idle and the port given back as on a
// normal end.
#pragma once

namespace pt4 {

// Once per process: at exit, and before an uncaught exception aborts.
void InstallLastResorts();

}  // namespace pt4
