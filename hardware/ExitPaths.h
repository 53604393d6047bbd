// No way out of the process that can run code may leave a chip at programming
// voltage. The terminating signals and Ctrl+C are only recorded (StopSignal.h):
// the code that owns the programmer sets it idle before the process ends. What
// cannot wait for that sets the programmer idle from where it is, as a last
// resort: exit() called from a library and an uncaught exception send the full
// idle and give the port back; a crash (SEGV, BUS, FPE, ILL, ABRT, or an
// unhandled exception on Windows) and a closed console send only the ready idle
// writes (Programmer::CrashIdle).
#pragma once

namespace pt4 {

// Once, first thing in main: the stop-signal handlers, the crash handlers and
// the last-resort paths.
void InstallExitPaths();

// The platform's crash handlers (ExitPaths_posix.cpp, ExitPaths_windows.cpp).
void InstallCrashHandlers();

}  // namespace pt4
