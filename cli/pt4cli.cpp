// pt4cli: the chip operations from the command line, over the same core as the
// window: the same passes, latch sequences, report text and signature.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/Buffer.h"
#include "app/RomFile.h"
#include "hardware/DirectPort.h"
#include "hardware/Programmer.h"
#include "hardware/Registers.h"
#include "hardware/StopSignal.h"
#include "operations/Params.h"
#include "operations/Passes.h"

namespace pt4 {
namespace {

constexpr int kExitUsage = 3, kExitPort = 4;

const char kUsage[] =
    "usage: pt4cli COMMAND [FILE] [options]\n"
    "\n"
    "commands:\n"
    "  read FILE       read the chip and save it as FILE (256 bytes); print the signature\n"
    "  verify FILE     load FILE and compare it with the chip; print the report\n"
    "  write FILE      load FILE, program it into the chip, then verify with report\n"
    "  blank           check that every word of the chip reads 0 under the mask\n"
    "  checksum FILE   load FILE and print its signature\n"
    "  dump FILE       load FILE and print its dump\n"
    "\n"
    "options:\n"
    "  --mask low|lh|high|full   bits 0-1, bits 0-1 loaded as 2-3, bits 2-3, all (default low)\n"
    "  --voltage TENTHS          programming voltage: 105, 110, ... 150 (default 120)\n"
    "  --time MS                 pulse width in milliseconds (default 100)\n"
    "  --cycles N                programming cycles per address (default 10)\n"
    "  --repeat                  write: program one chip after another until end of input\n"
    "  --quiet                   print only the essential result\n"
    "  --help                    this text\n"
    "\n"
    "exit status: 0 all identical or done, 1 some bytes only programmable, 2 some bad,\n"
    "3 usage or file error, 4 port error, 128+n for signal n.\n"
    "The port is chosen by PT4_PORT (/dev/parportN, direct, sim, sim:FILE, sim-nochip);\n"
    "PT4_TRACE=FILE records every port access.\n";

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Options {
  std::string command, file;
  ProgParams params;
  bool repeat = false, quiet = false;
};

Options Parse(int argc, char** argv) {
  Options o;
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw UsageError(a + " needs a value");
      return argv[++i];
    };
    auto number = [&](const std::string& v) {
      const auto n = TryParseInt(v);
      if (!n) throw UsageError(a + ": '" + v + "' is not a number");
      return *n;
    };
    if (a == "--help" || a == "-h") {
      o.command = "help";
      return o;
    } else if (a == "--mask") {
      const std::string v = value();
      const auto idx = MaskIndexForName(v);
      if (!idx) throw UsageError("--mask takes low, lh, high or full, not '" + v + "'");
      o.params.CompMask = kMaskModes[*idx].mask;
      o.params.LowToHigh = kMaskModes[*idx].lowToHigh;
    } else if (a == "--voltage") {
      const int v = number(value());
      if (v < 105 || v > 150 || v % 5 != 0) {
        throw UsageError("--voltage takes one of 105, 110, ... 150 (tenths of a volt)");
      }
      o.params.ProgVoltage = v;
    } else if (a == "--time") {
      o.params.ProgTime = number(value());
    } else if (a == "--cycles") {
      o.params.ProgCycles = number(value());
    } else if (a == "--repeat") {
      o.repeat = true;
    } else if (a == "--quiet" || a == "-q") {
      o.quiet = true;
    } else if (a.rfind("--", 0) == 0) {
      throw UsageError("unknown option " + a);
    } else {
      words.push_back(a);
    }
  }
  if (words.empty()) throw UsageError("no command given");
  o.command = words[0];
  const bool needsFile = o.command == "read" || o.command == "verify" || o.command == "write" ||
                         o.command == "checksum" || o.command == "dump";
  if (!needsFile && o.command != "blank") throw UsageError("unknown command '" + o.command + "'");
  if (needsFile && words.size() != 2) throw UsageError(o.command + " takes one FILE");
  if (!needsFile && words.size() != 1) throw UsageError("blank takes no FILE");
  if (o.repeat && o.command != "write") throw UsageError("--repeat goes with write");
  if (needsFile) o.file = words[1];
  return o;
}

const char* Ansi(Colour c) {
  switch (c) {
    case Colour::Navy:
      return "\033[34m";
    case Colour::Maroon:
      return "\033[31m";
    case Colour::Green:
      return "\033[32m";
    case Colour::Red:
      return "\033[1;31m";
    default:
      return "";
  }
}

// The report and dump lines as the window's pane shows them.
void PrintLine(const std::string& text, Colour c, bool colour) {
  std::string t = text;
  std::size_t crlf;
  while ((crlf = t.find("\r\n")) != std::string::npos) t.replace(crlf, 2, "\n");
  if (colour) {
    std::printf("%s%s\033[0m\n", Ansi(c), t.c_str());
  } else {
    std::printf("%s\n", t.c_str());
  }
}

class TerminalView final : public PassView {
 public:
  TerminalView(bool quiet)
      : quiet_(quiet), colour_(isatty(1) != 0), bar_(isatty(2) != 0 && !quiet) {}
  void ClearPanes() override {}
  void ShowDumpLayout() override {}
  void AddReportLine(const std::string& t, Colour c) override {
    if (printReport && !quiet_) {
      EndBar();
      PrintLine(t, c, colour_);
    }
  }
  void SetChecksumText(const std::string& t) override { checksum = t; }
  void SetTimerEnabled(bool) override {}
  void PaintLamp(LampId, Colour) override {}
  void RepaintLamps() override {}
  void ClearProgramPane() override {}
  void ShowPosition(std::int32_t a) override {
    if (!bar_ || (a % 8 != 7 && a != 255)) return;
    const int filled = (a + 1) * 40 / 256;
    std::fprintf(stderr, "\r%s [%s%s] %05X", label.c_str(),
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(40 - filled), '.').c_str(), a);
    barShown_ = true;
  }
  void EndBar() {
    if (barShown_) std::fputc('\n', stderr);
    barShown_ = false;
  }
  bool printReport = true;
  std::string checksum, label;

 private:
  bool quiet_, colour_, bar_;
  bool barShown_ = false;
};

int VerdictCode(const VerifyCounters& n) {
  if (n.BadCount > 0) return 2;
  if (n.ProgrammableCount > 0) return 1;
  return 0;
}

RomImage LoadImage(const Options& o) {
  RomImage img;
  img.RomSize = kChipWords;
  LoadRom(o.file, img, o.params.CompMask, o.params.LowToHigh);
  return img;
}

int Run(const Options& o) {
  if (o.command == "checksum") {
    std::printf("%s\n", SignatureText(LoadImage(o)).c_str());
    return 0;
  }
  if (o.command == "dump") {
    RomImage img = LoadImage(o);
    for (std::int32_t r = 0; r < img.RomSize / 16; ++r)
      PrintLine(DumpLine(img, r), Colour::Navy, isatty(1) != 0);
    return 0;
  }
  RomImage img;
  img.RomSize = kChipWords;
  if (o.command == "verify" || o.command == "write") img = LoadImage(o);
  RealClock clock;
  Programmer prog(InstallGiveio(clock));
  prog.Start();
  TerminalView view(o.quiet);
  VerifyCounters counters;
  PassContext ctx{prog.Regs(), clock, view, img, o.params, counters};
  int rc = 0;
  if (o.command == "read") {
    view.label = "read  ";
    view.printReport = false;
    ScanChip(ctx, false, false);
    view.EndBar();
    SaveRom(o.file, img);
    std::printf("%s\n", SignatureText(img).c_str());
  } else if (o.command == "blank") {
    view.label = "blank ";
    view.printReport = false;
    ScanChip(ctx, false, false);
    view.EndBar();
    int set = 0;
    for (int a = 0; a < kChipWords; ++a) set += img.RomBuffer[static_cast<std::size_t>(a)] != 0;
    if (set == 0) {
      std::printf("blank\n");
    } else {
      std::printf("%d words not blank\n", set);
      rc = 2;
    }
  } else if (o.command == "verify") {
    view.label = "verify";
    ScanChip(ctx, true, true);
    view.EndBar();
    rc = VerdictCode(counters);
  } else {  // write
    for (int chip = 1;; ++chip) {
      view.label = "write ";
      if (!o.quiet) {
        std::fprintf(stderr, "%s\n", WriteParamsText(o.params).c_str());
      }
      WritePass(ctx);
      view.EndBar();
      rc = std::max(rc, VerdictCode(counters));
      if (o.repeat) {
        std::printf("chip %d: %d identical, %d programmable, %d bad\n", chip,
                    counters.IdenticalCount, counters.ProgrammableCount, counters.BadCount);
        std::fflush(stdout);
        std::fprintf(stderr, "Insert the next chip and press Enter (end of input stops): ");
        std::string line;
        if (!std::getline(std::cin, line)) {
          ThrowIfStopRequested();
          std::fputc('\n', stderr);
          break;
        }
        ThrowIfStopRequested();
      } else {
        break;
      }
    }
  }
  return rc;
}

}  // namespace
}  // namespace pt4

int main(int argc, char** argv) {
  using namespace pt4;
  InstallStopSignalHandlers();
  Options o;
  try {
    o = Parse(argc, argv);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "pt4cli: %s\n\n%s", e.what(), kUsage);
    return kExitUsage;
  }
  if (o.command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  try {
    return Run(o);
  } catch (const StopRequested& s) {
    // The pass set the programmer idle and the owner gave the port back.
    std::fprintf(stderr, "\npt4cli: stopped by signal %d; the programmer is idle\n", s.Signal());
    return 128 + s.Signal();
  } catch (const FileError& e) {
    std::fprintf(stderr, "pt4cli: %s: %s.\n", o.file.c_str(), e.what());
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
