// pt4cli: the chip operations from the command line, over the same core as the
// window: the same passes, latch sequences, report text and signature.
#include <algorithm>
#include <cstdio>
#include <string>

#include "base/Message.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/Json.h"
#include "cli/Options.h"
#include "operations/Process.h"

int main(int argc, char** argv) {
  using namespace pt4;
  using namespace pt4::cli;
  process::LimitLibrarySearch();
  process::InstallExitPaths();
  PrepareConsole();
  const std::vector<std::string> words = Utf8Arguments(argc, argv);
  Options o;
  try {
    o = Parse(words);
  } catch (const Error& e) {
    std::fprintf(stderr, "pt4cli: %s\nTry 'pt4cli --help'\n", e.what());
    // A script that asked for JSON gets its one object even now.
    if (std::find(words.begin() + (words.empty() ? 0 : 1), words.end(), "--json") != words.end()) {
      std::printf("%s\n", JsonDump(Json{{"result", "error"},
                                        {"error", JsonText(e.what())},
                                        {"error_kind", RowOf(e.Kind()).name},
                                        {"exit_code", RowOf(e.Kind()).status}},
                                   2)
                              .c_str());
    }
    return RowOf(e.Kind()).status;
  }
  Cli cli(o);
  try {
    const int rc = cli.Run();
    cli.PrintJson(rc);
    return rc;
  } catch (const StopRequested& s) {
    // Not an Error: nothing failed, the user asked to stop; the status carries
    // the signal, as a shell's does.
    cli.Close();
    // The pass set the programmer idle and the owner gave the port back.
    std::string said =
        "stopped by signal " + std::to_string(s.Signal()) + "; the programmer is idle";
    if (const std::string chip = cli.StoppedWrite(); !chip.empty()) said += "; " + chip;
    std::fprintf(stderr, "\npt4cli: %s\n", said.c_str());
    cli.PrintJson(128 + s.Signal(), said, "stopped");
    return 128 + s.Signal();
  } catch (const Error& e) {
    cli.Close();
    const KindRow& row = RowOf(e.Kind());
    // A file's refusal may end as a clause ("Line 3: ..."): the line is a sentence.
    const std::string text = e.what();
    std::fprintf(stderr, "pt4cli: %s%s\n", text.c_str(),
                 !text.empty() && text.back() == '.' ? "" : ".");
    cli.PrintJson(row.status, e.what(), row.name);
    return row.status;
  }
}
