// A stand-in for the InpOut32 driver's inpoutx64.dll, for the tests alone:
// Out32 and Inp32 reach a simulated programmer, and every access is logged in
// the trace's format to the file PT4_INPOUT_LOG names, so that what pt4cli.exe
// sends through the DLL can be set beside the Linux trace of the same pass.
// PT4_INPOUT_CHIP keeps the simulated chip in a file; PT4_INPOUT_CLOSED makes
// the driver look not installed. Never shipped.
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "hardware/Clock.h"
#include "hardware/SimProgrammer.h"
#include "hardware/TracingBackend.h"
#include "image/FileUtil.h"

namespace {
struct StandIn {
  pt4::RealClock clock;
  pt4::SimProgrammer sim{clock, 0x378};
  int log = -1;
  StandIn() {
    if (const char* chip = std::getenv("PT4_INPOUT_CHIP")) {
      try {
        sim.AttachFile(chip);
      } catch (const pt4::Error&) {
        // the stand-in then answers from a blank chip in memory
      }
    }
    if (const char* path = std::getenv("PT4_INPOUT_LOG")) try {
        log = pt4::OpenRecordFile(path, false, true);
      } catch (const pt4::Error&) {
        // no log then
      }
  }
  void Log(bool out, short port, std::uint8_t value) {
    if (log < 0) return;
    char line[48];
    std::size_t n =
        pt4::FormatTraceLine(line, clock.NowNs(), out, static_cast<std::uint16_t>(port), value);
    line[n++] = '\n';
    pt4::WriteRecordNow(log, line, n);
  }
};

StandIn& Port() {
  static StandIn port;
  return port;
}
}  // namespace

extern "C" {

__declspec(dllexport) BOOL __stdcall IsInpOutDriverOpen() {
  return std::getenv("PT4_INPOUT_CLOSED") == nullptr;
}

__declspec(dllexport) void __stdcall Out32(short port, short data) {
  const auto value = static_cast<std::uint8_t>(data & 0xFF);
  Port().Log(true, port, value);
  Port().sim.Out(static_cast<std::uint16_t>(port), value);
}

__declspec(dllexport) short __stdcall Inp32(short port) {
  const std::uint8_t value = Port().sim.In(static_cast<std::uint16_t>(port));
  Port().Log(false, port, value);
  return value;
}

}  // extern "C"
