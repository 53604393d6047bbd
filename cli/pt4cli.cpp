// pt4cli: the chip operations from the command line, over the same core as the
// window: the same passes, latch sequences, report text and signature.
#include <fcntl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/Buffer.h"
#include "app/ImageFormats.h"
#include "app/ImageId.h"
#include "app/RomFile.h"
#include "hardware/DirectPort.h"
#include "hardware/Programmer.h"
#include "hardware/Realtime.h"
#include "hardware/Registers.h"
#include "hardware/StopSignal.h"
#include "hardware/TracingBackend.h"
#include "operations/Params.h"
#include "operations/Passes.h"
#include "operations/Probe.h"

#ifndef PT4_VERSION
#define PT4_VERSION "0"
#endif

namespace pt4 {
namespace {

using Json = nlohmann::ordered_json;

constexpr int kExitIdentical = 0, kExitProgrammable = 1, kExitBad = 2, kExitUsage = 3,
              kExitPort = 4, kExitRefused = 5;
constexpr std::size_t kListedDifferences = 8;  // addresses named in a refusal

const char kFooter[] =
    "\nCommands:\n"
    "  read FILE        read the chip and save it as FILE; print the signature\n"
    "  verify FILE      compare FILE with the chip; print the report\n"
    "  write FILE       program FILE into the chip, then verify with report\n"
    "  blank            check that every word of the chip reads 0 under the mask\n"
    "  checksum FILE    the signature, CRC32 and SHA-1 of FILE\n"
    "  dump FILE        the dump the window shows\n"
    "  convert IN OUT   turn one image format into another\n"
    "  probe            test the port and the programmer, and say what was found\n"
    "  ports            list the kernel's parallel ports\n"
    "  reset            set the programmer idle and give the port back\n"
    "\n"
    "FILE may be - for standard input or output (raw unless --format says otherwise).\n"
    "Images load as raw, Intel HEX or S-record by their content; --format high or\n"
    "packed reads nibble dumps. A read or convert saves by the name's extension:\n"
    ".hex/.ihx Intel HEX, .s19/.srec/.mot S-record, anything else raw.\n"
    "\n"
    "Exit status: 0 identical or done, 1 some words only programmable, 2 some bad,\n"
    "3 usage or file error, 4 port error, 5 write refused (a blown bit the image\n"
    "lacks), 128+n for signal n.\n"
    "The port is --port or PT4_PORT: /dev/parportN, direct, direct:0xADDR[,ecr=0xADDR],\n"
    "sim, sim:FILE, sim-nochip. PT4_TRACE=FILE records every port access.\n";

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Options {
  std::string command;
  std::vector<std::string> args;
  std::string file, out;
  ProgParams params;
  std::string maskName = "low";
  ImageFormat format = ImageFormat::Auto, to = ImageFormat::Auto;
  std::string port, log;
  bool repeat = false, quiet = false, verbose = false, json = false, force = false, dryRun = false,
       stopOnFail = false;
};

// The option parser. Options may stand before or after the command.
Options Parse(int argc, char** argv) {
  Options o;
  CLI::App app{"pt4cli: programs K556PT4 PROMs through the ZI4 adapter", "pt4cli"};
  app.footer(kFooter);
  app.set_version_flag("--version", std::string("pt4cli ") + PT4_VERSION);
  std::vector<std::string> words;
  std::string format, to;
  int voltage = o.params.ProgVoltage, time = o.params.ProgTime, cycles = o.params.ProgCycles;
  app.add_option("command", words, "COMMAND and its FILE arguments")->required();
  auto* mask =
      app.add_option("--mask", o.maskName, "low, lh (bits 0-1 loaded as 2-3), high or full")
          ->check(CLI::IsMember({"low", "lh", "high", "full"}));
  app.add_option("--voltage", voltage, "programming voltage in tenths: 105, 110, ... 150")
      ->check(CLI::IsMember({105, 110, 115, 120, 125, 130, 135, 140, 145, 150}));
  app.add_option("--time", time, "pulse width in milliseconds (default 100)")
      ->check(CLI::Range(0, 10'000));
  app.add_option("--cycles", cycles, "programming cycles per address (default 10)")
      ->check(CLI::Range(1, 1000));
  app.add_option("--format", format, "image format of FILE or IN: raw, hex, srec, high, packed")
      ->check(CLI::IsMember({"auto", "raw", "hex", "srec", "high", "packed"}));
  app.add_option("--to", to, "convert: format of OUT (default: by its extension)")
      ->check(CLI::IsMember({"raw", "hex", "srec", "high", "packed"}));
  app.add_option("--port", o.port, "the port, as PT4_PORT (wins over it)");
  app.add_flag("--repeat", o.repeat, "write: program one chip after another until end of input");
  app.add_option("--log", o.log, "write --repeat: append one JSON line per chip to this file");
  app.add_flag("--stop-on-fail", o.stopOnFail,
               "write --repeat: stop at the first chip not identical");
  app.add_flag("--force", o.force, "write even onto a chip with a blown bit the image lacks");
  app.add_flag("--dry-run", o.dryRun, "write: read the chip and say what a write would do");
  app.add_flag("--json", o.json, "print one JSON object on standard output");
  app.add_flag("-q,--quiet", o.quiet, "print only the essential result");
  app.add_flag("-v,--verbose", o.verbose, "say more on standard error");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    std::exit(0);
  } catch (const CLI::CallForVersion&) {
    std::cout << app.version() << "\n";
    std::exit(0);
  } catch (const CLI::ParseError& e) {
    throw UsageError(e.what());
  }
  o.command = words[0];
  o.args.assign(words.begin() + 1, words.end());
  const auto idx = MaskIndexForName(o.maskName);
  o.params.CompMask = kMaskModes[*idx].mask;
  o.params.LowToHigh = kMaskModes[*idx].lowToHigh;
  // A conversion keeps every bit unless a mask is asked for: the default mask of
  // the chip passes would silently drop bits 2-3.
  if (o.command == "convert" && mask->count() == 0) {
    o.params.CompMask = 0xFF;
    o.params.LowToHigh = false;
  }
  o.params.ProgVoltage = voltage;
  o.params.ProgTime = time;
  o.params.ProgCycles = cycles;
  if (!format.empty()) o.format = *FormatFromName(format);
  if (!to.empty()) o.to = *FormatFromName(to);

  struct Shape {
    const char* name;
    std::size_t files;
  };
  static const Shape kCommands[] = {{"read", 1},     {"verify", 1}, {"write", 1},   {"blank", 0},
                                    {"checksum", 1}, {"dump", 1},   {"convert", 2}, {"probe", 0},
                                    {"ports", 0},    {"reset", 0}};
  const auto shape = std::find_if(std::begin(kCommands), std::end(kCommands),
                                  [&](const Shape& s) { return o.command == s.name; });
  if (shape == std::end(kCommands)) throw UsageError("unknown command '" + o.command + "'");
  if (o.args.size() != shape->files) {
    throw UsageError(o.command + " takes " +
                     (shape->files == 0   ? std::string("no FILE")
                      : shape->files == 1 ? std::string("one FILE")
                                          : std::string("IN and OUT")));
  }
  if (shape->files >= 1) o.file = o.args[0];
  if (shape->files == 2) o.out = o.args[1];
  const bool write = o.command == "write";
  if (o.repeat && !write) throw UsageError("--repeat goes with write");
  if ((o.force || o.dryRun) && !write) throw UsageError("--force and --dry-run go with write");
  if ((!o.log.empty() || o.stopOnFail) && !o.repeat) {
    throw UsageError("--log and --stop-on-fail go with write --repeat");
  }
  if (o.repeat && o.dryRun) throw UsageError("--dry-run does not go with --repeat");
  if (o.repeat && o.file == "-")
    throw UsageError("--repeat reads Enter from standard input: give the image as a file");
  if (o.json && (o.command == "dump" || o.command == "convert" || o.command == "ports" ||
                 o.command == "reset")) {
    throw UsageError("--json goes with read, verify, write, blank, checksum and probe");
  }
  if (o.to != ImageFormat::Auto && o.command != "convert")
    throw UsageError("--to goes with convert");
  if (o.json && o.command == "read" && o.file == "-")
    throw UsageError("read - writes the image to standard output: --json cannot share it");
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
void PrintLine(std::FILE* to, const std::string& text, Colour c, bool colour) {
  std::string t = text;
  std::size_t crlf;
  while ((crlf = t.find("\r\n")) != std::string::npos) t.replace(crlf, 2, "\n");
  if (colour) {
    std::fprintf(to, "%s%s\033[0m\n", Ansi(c), t.c_str());
  } else {
    std::fprintf(to, "%s\n", t.c_str());
  }
}

class TerminalView final : public PassView {
 public:
  TerminalView(bool quiet, bool json)
      : quiet_(quiet || json), colour_(isatty(1) != 0), bar_(isatty(2) != 0 && !quiet) {}
  void ClearPanes() override {}
  void ShowDumpLayout() override {}
  void AddReportLine(const std::string& t, Colour c) override {
    if (printReport && !quiet_) {
      EndBar();
      PrintLine(stdout, t, c, colour_);
    }
  }
  void SetChecksumText(const std::string& t) override { checksum = t; }
  void SetTimerEnabled(bool) override {}
  void PaintLamp(LampId, Colour) override {}
  void RepaintLamps() override {}
  void ClearProgramPane() override {}
  void ShowPosition(std::int32_t a) override { address_ = a; }
  void ShowTimeLeft(std::int64_t ns) override {
    if (!bar_ || (address_ % 8 != 7 && address_ != kChipWords - 1)) return;
    const int filled = (address_ + 1) * 40 / kChipWords;
    const long long s = (ns + 999'999'999) / 1'000'000'000;
    std::fprintf(stderr, "\r%s [%s%s] %05X %3d%%  %lld:%02lld left ", label.c_str(),
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(40 - filled), '.').c_str(), address_,
                 (address_ + 1) * 100 / kChipWords, s / 60, s % 60);
    barShown_ = true;
  }
  void EndBar() {
    if (barShown_) std::fputs("\r\033[K", stderr);
    barShown_ = false;
  }
  bool printReport = true;
  std::string checksum, label;

 private:
  bool quiet_, colour_, bar_;
  bool barShown_ = false;
  std::int32_t address_ = 0;
};

int VerdictCode(const VerifyCounters& n) {
  if (n.BadCount > 0) return kExitBad;
  if (n.ProgrammableCount > 0) return kExitProgrammable;
  return kExitIdentical;
}

const char* ResultName(int code) {
  switch (code) {
    case kExitIdentical:
      return "identical";
    case kExitProgrammable:
      return "programmable";
    case kExitBad:
      return "bad";
    case kExitRefused:
      return "refused";
    default:
      return "error";
  }
}

std::vector<std::uint8_t> ReadStdin() {
  std::vector<std::uint8_t> bytes;
  std::uint8_t buf[4096];
  for (;;) {
    const ssize_t n = ::read(0, buf, sizeof buf);
    if (n < 0 && errno == EINTR) {
      ThrowIfStopRequested();
      continue;
    }
    if (n < 0) throw FileError(FileErrorText(errno, "-"));
    if (n == 0) break;
    bytes.insert(bytes.end(), buf, buf + n);
    if (bytes.size() > kTextImageLimit) break;
  }
  return bytes;
}

struct LoadedImage {
  RomImage image;
  ImageFormat format = ImageFormat::Raw;
};

LoadedImage LoadImage(const Options& o, const std::string& path, ImageFormat format) {
  LoadedImage l;
  l.image.RomSize = kChipWords;
  try {
    if (path == "-") {
      l.format = LoadRomBytes(ReadStdin(), l.image, o.params.CompMask, o.params.LowToHigh,
                              format == ImageFormat::Auto ? ImageFormat::Raw : format);
    } else {
      l.format = LoadRom(path, l.image, o.params.CompMask, o.params.LowToHigh, format);
    }
  } catch (const FileError& e) {
    throw FileError(path + ": " + e.what());
  }
  return l;
}

void SaveImage(const std::string& path, const RomImage& image, ImageFormat format) {
  try {
    if (path == "-") {
      const auto bytes =
          EncodeImage(image.RomBuffer.data(), static_cast<std::size_t>(image.RomSize),
                      format == ImageFormat::Auto ? ImageFormat::Raw : format);
      if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
          std::fflush(stdout) != 0) {
        throw FileError(FileErrorText(errno, path));
      }
      return;
    }
    SaveRom(path, image, format);
  } catch (const FileError& e) {
    throw FileError(path + ": " + e.what());
  }
}

Json ImageJson(const std::string& path, ImageFormat format, const RomImage& image) {
  const auto* data = image.RomBuffer.data();
  const auto n = static_cast<std::size_t>(image.RomSize);
  return Json{{"path", path},
              {"format", FormatName(format)},
              {"signature", SignatureText(image)},
              {"crc32", Crc32Hex(data, n)},
              {"sha1", Sha1Hex(data, n)}};
}

Json CountsJson(const VerifyCounters& n) {
  return Json{
      {"identical", n.IdenticalCount}, {"programmable", n.ProgrammableCount}, {"bad", n.BadCount}};
}

Json DifferencesJson(const WritePlan& plan) {
  Json list = Json::array();
  for (const auto& d : plan.differences) {
    list.push_back(Json{{"address", d.address},
                        {"image", Hex(d.image, 2)},
                        {"chip", Hex(d.chip, 2)},
                        {"class", d.bad ? "bad" : "programmable"}});
  }
  return list;
}

Json AuditJson(const PulseAudit& a) {
  auto us = [](std::int64_t ns) { return static_cast<double>(ns) / 1000.0; };
  return Json{{"count", a.widthsNs.size()},
              {"asked_ms", static_cast<double>(a.askedNs) / 1e6},
              {"overshoot_us", Json{{"min", us(a.OvershootNs(0.0))},
                                    {"median", us(a.OvershootNs(0.5))},
                                    {"p99", us(a.OvershootNs(0.99))},
                                    {"max", us(a.OvershootNs(1.0))}}},
              {"excessive", a.Excessive()}};
}

std::string IsoTimeNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S%z", &tm);
  return buf;
}

// One line appended whole (O_APPEND, one write) and flushed to the disk, so a
// crash or a pulled plug loses no finished chip.
class ProductionLog {
 public:
  explicit ProductionLog(const std::string& path) : path_(path) {
    if (path.empty()) return;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd_ < 0) throw FileError(path + ": " + FileErrorText(errno, path));
  }
  ~ProductionLog() {
    if (fd_ >= 0) ::close(fd_);
  }
  void Append(const Json& line) {
    if (fd_ < 0) return;
    const std::string text = line.dump() + "\n";
    const ssize_t n = ::write(fd_, text.data(), text.size());
    if (n != static_cast<ssize_t>(text.size()) || ::fdatasync(fd_) != 0) {
      throw FileError(path_ + ": " + FileErrorText(n < 0 ? errno : ENOSPC, path_));
    }
  }

 private:
  std::string path_;
  int fd_ = -1;
};

class Cli {
 public:
  explicit Cli(const Options& o) : o_(o), view_(o.quiet, o.json) {}

  int Run() {
    if (o_.command == "checksum") return Checksum();
    if (o_.command == "dump") return Dump();
    if (o_.command == "convert") return Convert();
    if (o_.command == "ports") return Ports();
    const auto start = std::chrono::steady_clock::now();
    // A file that does not load costs no port access.
    if (o_.command == "verify" || o_.command == "write")
      loaded_ = LoadImage(o_, o_.file, o_.format);
    Open();
    int rc = kExitPort;
    if (o_.command == "probe") {
      rc = ProbeCommand();
    } else if (o_.command == "reset") {
      programmer_->Start();
      if (!o_.quiet) std::fprintf(stderr, "The programmer is idle.\n");
      rc = 0;
    } else {
      programmer_->Start();
      // Real time for the passes, when the system allows it; said once when not.
      RealtimeSpan realtime;
      if (!realtime.Granted() && !o_.quiet && !o_.json) {
        std::fprintf(stderr,
                     "pt4cli: note: running at normal priority (%s); pulses may run longer. "
                     "README tells how to allow real-time.\n",
                     realtime.Refused().c_str());
      }
      if (o_.command == "read") rc = Read();
      if (o_.command == "blank") rc = Blank();
      if (o_.command == "verify") rc = Verify();
      if (o_.command == "write") rc = o_.repeat ? Repeat() : WriteOne(1, nullptr);
    }
    rc = Finish(rc);
    if (o_.json) {
      json_["duration_s"] =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      json_["exit_code"] = rc;
      std::printf("%s\n", json_.dump(2).c_str());
    }
    return rc;
  }

 private:
  void Open() {
    auto backend = InstallGiveio(clock_, o_.port.empty() ? nullptr : o_.port.c_str());
    tracer_ = dynamic_cast<TracingBackend*>(backend.get());
    programmer_ = std::make_unique<Programmer>(std::move(backend));
    json_["command"] = o_.command;
    json_["port"] = programmer_->Backend().Describe();
    if (o_.verbose) std::fprintf(stderr, "port: %s\n", programmer_->Backend().Describe().c_str());
  }

  // The port given back; a trace that could not be written turns success into a
  // port error, since the record the user asked for is not there.
  int Finish(int rc) {
    programmer_->Release();
    if (tracer_ != nullptr && tracer_->TraceError() != 0 && rc < kExitPort) rc = kExitPort;
    return rc;
  }

  PassContext Ctx(RomImage& img, PulseAudit* audit = nullptr) {
    return PassContext{programmer_->Regs(), clock_, view_, img, o_.params, counters_, audit};
  }

  int Checksum() {
    const LoadedImage l = LoadImage(o_, o_.file, o_.format);
    const auto* data = l.image.RomBuffer.data();
    if (o_.json) {
      std::printf("%s\n", Json{{"signature", SignatureText(l.image)},
                               {"crc32", Crc32Hex(data, kChipWords)},
                               {"sha1", Sha1Hex(data, kChipWords)}}
                              .dump(2)
                              .c_str());
      return 0;
    }
    std::printf("%s\nCRC32 %s\nSHA-1 %s\n", SignatureText(l.image).c_str(),
                Crc32Hex(data, kChipWords).c_str(), Sha1Hex(data, kChipWords).c_str());
    return 0;
  }

  int Dump() {
    const LoadedImage l = LoadImage(o_, o_.file, o_.format);
    for (std::int32_t r = 0; r < l.image.RomSize / 16; ++r) {
      PrintLine(stdout, DumpLine(l.image, r), Colour::Navy, isatty(1) != 0);
    }
    return 0;
  }

  int Convert() {
    const LoadedImage l = LoadImage(o_, o_.file, o_.format);
    SaveImage(o_.out, l.image, o_.to);
    return 0;
  }

  int Ports() {
    const auto ports = KernelPorts();
    if (ports.empty()) {
      std::printf(
          "No parallel ports known to the kernel (load them with 'sudo modprobe parport_pc "
          "ppdev').\n");
      return kExitPort;
    }
    for (const auto& p : ports) {
      std::printf("%-14s base %-14s modes %-28s %s\n", p.device.c_str(), p.base.c_str(),
                  p.modes.c_str(),
                  !p.deviceExists ? "no device: load ppdev"
                  : p.mayOpen     ? "you may open it"
                                  : "not for you: join group lp");
    }
    return 0;
  }

  int ProbeCommand() {
    const std::string modes = ModesFileFor(
        o_.port.empty() ? (std::getenv("PT4_PORT") ? std::getenv("PT4_PORT") : "/dev/parport0")
                        : o_.port);
    const ProbeResult r = Probe(*programmer_, clock_, modes);
    const int rc = r.Usable() ? 0 : kExitPort;
    if (o_.json) {
      json_["open"] = r.portError.empty();
      if (!r.portError.empty()) json_["error"] = r.portError;
      json_["modes"] = r.modes;
      json_["forward"] = r.forwardOk;
      json_["bidirectional"] = r.bidirectional;
      if (r.status >= 0) json_["status"] = Hex(static_cast<unsigned>(r.status), 2);
      json_["chip_answers"] = r.chipAnswers;
      json_["verdict"] = r.Verdict();
      json_["result"] = r.Usable() ? "usable" : "not usable";
      return rc;
    }
    for (const auto& line : r.Lines()) std::printf("%s\n", line.c_str());
    std::printf("%s\n", r.Verdict().c_str());
    return rc;
  }

  // One read pass: the chip's words under the mask, no report.
  RomImage ReadChip(const char* label) {
    RomImage img;
    img.RomSize = kChipWords;
    const bool report = view_.printReport;
    view_.label = label;
    view_.printReport = false;
    auto ctx = Ctx(img);
    ScanChip(ctx, false, false);
    view_.EndBar();
    view_.printReport = report;
    return img;
  }

  int Read() {
    const RomImage img = ReadChip("read  ");
    SaveImage(o_.file, img, o_.format);
    const ImageFormat used =
        o_.file == "-" ? (o_.format == ImageFormat::Auto ? ImageFormat::Raw : o_.format)
                       : (o_.format == ImageFormat::Auto ? FormatForPath(o_.file) : o_.format);
    json_["image"] = ImageJson(o_.file, used, img);
    json_["result"] = "done";
    if (!o_.json)
      std::fprintf(o_.file == "-" ? stderr : stdout, "%s\n", SignatureText(img).c_str());
    return 0;
  }

  int Blank() {
    const RomImage img = ReadChip("blank ");
    const auto set = std::count_if(img.RomBuffer.begin(), img.RomBuffer.begin() + kChipWords,
                                   [](std::uint8_t b) { return b != 0; });
    json_["not_blank"] = set;
    json_["result"] = set == 0 ? "blank" : "not blank";
    if (!o_.json) {
      if (set == 0) {
        std::printf("blank\n");
      } else {
        std::printf("%ld words not blank\n", static_cast<long>(set));
      }
    }
    return set == 0 ? 0 : kExitBad;
  }

  // The chip's words under the mask, by one read pass, compared with the image.
  WritePlan ReadPlan(const RomImage& image) {
    const RomImage chip = ReadChip("check ");
    return PlanWrite(image, chip.RomBuffer.data());
  }

  int Verify() {
    LoadedImage l = loaded_;
    view_.label = "verify";
    if (o_.json) {
      // The words that differ, for the JSON: read once, then the report's pass.
      const WritePlan plan = ReadPlan(l.image);
      json_["differences"] = DifferencesJson(plan);
    }
    auto ctx = Ctx(l.image);
    ScanChip(ctx, true, true);
    view_.EndBar();
    const int rc = VerdictCode(counters_);
    json_["image"] = ImageJson(o_.file, l.format, l.image);
    json_["counts"] = CountsJson(counters_);
    json_["result"] = ResultName(rc);
    return rc;
  }

  void PrintPlan(const WritePlan& plan) {
    std::fprintf(stderr, "%d words already equal, %d words to program, %d words can never match\n",
                 plan.counts.IdenticalCount, plan.counts.ProgrammableCount, plan.counts.BadCount);
  }

  void NameBadWords(const WritePlan& plan) {
    std::size_t named = 0;
    for (const auto& d : plan.differences) {
      if (!d.bad) continue;
      if (named++ == kListedDifferences) {
        std::fprintf(stderr, "  ... and %zu more\n",
                     static_cast<std::size_t>(plan.counts.BadCount) - kListedDifferences);
        break;
      }
      std::fprintf(stderr, "  %s: chip %s, image %s\n",
                   Hex(static_cast<unsigned>(d.address), 5).c_str(), Hex(d.chip, 2).c_str(),
                   Hex(d.image, 2).c_str());
    }
  }

  // A production log's line for one chip.
  Json ChipLine(int chip, const VerifyCounters& counts, const char* result,
                std::chrono::steady_clock::time_point start, const PulseAudit* audit) {
    Json line{{"time", IsoTimeNow()},
              {"chip", chip},
              {"image", Json{{"path", o_.file}, {"crc32", json_["image"]["crc32"]}}},
              {"counts", CountsJson(counts)},
              {"result", result}};
    if (audit != nullptr) line["pulses"] = AuditJson(*audit);
    line["duration_s"] =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return line;
  }

  // One chip: the safety check, the write, the report. `chipJson` collects the log line.
  int WriteOne(int chip, Json* chipJson) {
    const auto start = std::chrono::steady_clock::now();
    LoadedImage l = loaded_;
    json_["image"] = ImageJson(o_.file, l.format, l.image);
    // A fuse cannot be unblown: a chip with a bit set where the image wants 0 is
    // refused before a single pulse is spent on it.
    const WritePlan plan = ReadPlan(l.image);
    if (o_.dryRun || (plan.counts.BadCount > 0 && !o_.force)) {
      const bool refused = plan.counts.BadCount > 0;
      if (!o_.json) {
        if (o_.dryRun) PrintPlan(plan);
        if (refused) {
          std::fprintf(
              stderr, "%s: %d %s a blown bit the image lacks:\n",
              o_.dryRun ? "A write would be refused" : "pt4cli: write refused, nothing was pulsed",
              plan.counts.BadCount, plan.counts.BadCount == 1 ? "word has" : "words have");
          NameBadWords(plan);
          if (!o_.dryRun) std::fprintf(stderr, "Use --force to write anyway.\n");
        }
      }
      json_["counts"] = CountsJson(plan.counts);
      json_["differences"] = DifferencesJson(plan);
      json_["result"] = refused ? "refused" : o_.dryRun ? "dry run" : "done";
      if (chipJson != nullptr) *chipJson = ChipLine(chip, plan.counts, "refused", start, nullptr);
      return refused ? kExitRefused : 0;
    }
    if (!o_.quiet && !o_.json) std::fprintf(stderr, "%s\n", WriteParamsText(o_.params).c_str());
    view_.label = "write ";
    PulseAudit audit;
    audit.widthsNs.reserve(static_cast<std::size_t>(kChipWords) * 4);
    auto ctx = Ctx(l.image, &audit);
    WritePass(ctx);
    view_.EndBar();
    const int rc = VerdictCode(counters_);
    if (!o_.json) {
      std::fprintf(stderr, "%s\n", audit.Line().c_str());
      if (audit.Excessive()) std::fprintf(stderr, "pt4cli: warning: %s\n", audit.Warning().c_str());
    }
    json_["counts"] = CountsJson(counters_);
    json_["result"] = ResultName(rc);
    json_["pulses"] = AuditJson(audit);
    if (chipJson != nullptr) *chipJson = ChipLine(chip, counters_, ResultName(rc), start, &audit);
    return rc;
  }

  int Repeat() {
    ProductionLog log(o_.log);
    int chips = 0, identical = 0, failed = 0, rc = 0;
    auto tally = [&] {
      std::fprintf(stderr, "chips %d, identical %d, failed %d\n", chips, identical, failed);
      json_["tally"] = Json{{"chips", chips}, {"identical", identical}, {"failed", failed}};
    };
    try {
      for (int chip = 1;; ++chip) {
        Json line;
        const int one = WriteOne(chip, &line);
        ++chips;
        (one == 0 ? identical : failed) += 1;
        rc = std::max(rc, one);
        log.Append(line);
        if (!o_.json) {
          std::printf("chip %d: %s\n", chip, line["result"].get<std::string>().c_str());
          std::fflush(stdout);
        }
        if (o_.stopOnFail && one != 0) break;
        std::fprintf(stderr, "Insert the next chip and press Enter (end of input stops): ");
        std::string answer;
        if (!std::getline(std::cin, answer)) {
          std::fputc('\n', stderr);
          break;
        }
        ThrowIfStopRequested();
        programmer_->Backend().NextChip();
      }
    } catch (const StopRequested&) {
      // Ctrl+C between chips (or in one: that chip is not counted as finished).
      tally();
      throw;
    }
    tally();
    return rc;
  }

  const Options& o_;
  RealClock clock_;
  TerminalView view_;
  VerifyCounters counters_;
  std::unique_ptr<Programmer> programmer_;
  TracingBackend* tracer_ = nullptr;
  LoadedImage loaded_;
  Json json_;
};

}  // namespace
}  // namespace pt4

int main(int argc, char** argv) {
  using namespace pt4;
  InstallStopSignalHandlers();
  Options o;
  try {
    o = Parse(argc, argv);
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
