// pt4cli: the chip operations from the command line, over the same core as the
// window: the same passes, latch sequences, report text and signature.
#include <cstdio>
#include <exception>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Options.h"
#include "hardware/DirectPort.h"
#include "hardware/PortBackend.h"
#include "hardware/StopSignal.h"
#include "image/FileError.h"

int main(int argc, char** argv) {
  using namespace pt4;
  using namespace pt4::cli;
  InstallStopSignalHandlers();
  PrepareConsole();
  Options o;
  try {
    o = Parse(Utf8Arguments(argc, argv));
  } catch (const UsageError& e) {
    std::fprintf(stderr, "pt4cli: %s\nTry 'pt4cli --help'\n", e.what());
    return kExitUsage;
  }
  try {
    Cli cli(o);
    return cli.Run();
  } catch (const StopRequested& s) {
    // The pass set the programmer idle and the owner gave the port back.
    std::fprintf(stderr, "\npt4cli: stopped by signal %d; the programmer is idle\n", s.Signal());
    return 128 + s.Signal();
  } catch (const FileError& e) {
    std::fprintf(stderr, "pt4cli: %s.\n", e.what());
    return kExitUsage;
  } catch (const StartupFailure& e) {
    std::fprintf(stderr, "pt4cli: %s\n", e.what());
    return kExitPort;
  } catch (const PortError& e) {
    std::fprintf(stderr, "pt4cli: %s\n", e.what());
    return kExitPort;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pt4cli: %s\n", e.what());
    return kExitPort;
  }
}