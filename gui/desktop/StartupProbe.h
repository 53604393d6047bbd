// Start-up stages for the start-up benchmark: with PT4_STARTUP_PROBE set, each
// mark prints the monotonic time at which a stage of start-up ended, so that the
// benchmark can say where the time before the first paint goes.
#pragma once

namespace pt4 {

bool StartupProbeOn();
void StartupMark(const char* stage);
long long StartupClockNs();

}  // namespace pt4
