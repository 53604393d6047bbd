// pt4cli: the chip operations from the command line, over the same core as the
// window: the same passes, latch sequences, report text and signature.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Json.h"
#include "cli/Options.h"
#include "hardware/ExitPaths.h"
#include "hardware/OpenPort.h"
#include "hardware/PortBackend.h"
#include "hardware/Privileges.h"
#include "hardware/StopSignal.h"
#include "image/FileError.h"

int main(int argc, char** argv) {
  using namespace pt4;
  using namespace pt4::cli;
  LimitLibrarySearch();
  InstallExitPaths();
  PrepareConsole();
  const std::vector<std::string> words = Utf8Arguments(argc, argv);
  Options o;
  try {
    o = Parse(words);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "pt4cli: %s\nTry 'pt4cli --help'\n", e.what());
    // A script that asked for JSON gets its one object even now.
    if (std::find(words.begin() + (words.empty() ? 0 : 1), words.end(), "--json") != words.end()) {
      std::printf("%s\n", JsonDump(Json{{"result", "error"},
                                        {"error", JsonText(e.what())},
                                        {"exit_code", kExitUsage}},
                                   2)
                              .c_str());
    }
    return kExitUsage;
  }
  Cli cli(o);
  int rc = kExitPort;
  std::string error;
  try {
    rc = cli.Run();
  } catch (const StopRequested& s) {
    cli.Close();
    // The pass set the programmer idle and the owner gave the port back.
    error = "stopped by signal " + std::to_string(s.Signal()) + "; the programmer is idle";
    std::fprintf(stderr, "\npt4cli: %s\n", error.c_str());
    rc = 128 + s.Signal();
  } catch (const FileError& e) {
    cli.Close();
    error = e.what();
    std::fprintf(stderr, "pt4cli: %s.\n", e.what());
    rc = kExitUsage;
  } catch (const std::exception& e) {
    // A refused port, a file the port needs, root that could not be given up.
    cli.Close();
    error = e.what();
    std::fprintf(stderr, "pt4cli: %s\n", e.what());
    rc = kExitPort;
  }
  cli.PrintJson(rc, error);
  return rc;
}
