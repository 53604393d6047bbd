#include "cli/Commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "cli/Console.h"
#include "image/ImageId.h"
#include "image/Signature.h"
#include "operations/Probe.h"
#include "operations/Process.h"

namespace pt4::cli {

int VerdictCode(const VerifyCounters& n) {
  if (n.BadCount > 0) return kExitBad;
  if (n.ProgrammableCount > 0) return kExitProgrammable;
  return kExitIdentical;
}

int Cli::Run() {
  // Root, when sudo gave it, is for the port alone: a command without one gives it
  // up before it reads a file, and the others right after taking the port
  // (InstallGiveio), before the image, the chip files, the trace or the log.
  json_["command"] = o_.command;
  const bool port = o_.command != "checksum" && o_.command != "dump" && o_.command != "convert" &&
                    o_.command != "ports";
  if (!port) {
    process::GiveUpSudoRoot();
    if (o_.command == "checksum") return Checksum();
    if (o_.command == "dump") return Dump();
    if (o_.command == "convert") return Convert();
    return Ports();
  }
  Open();
  // A file that does not load costs no port access: nothing has been sent yet.
  if (o_.command == "verify" || o_.command == "write") {
    loaded_ = LoadImage(o_, o_.file, o_.format);
    RefuseBitsOutsideDefaultMask(o_, o_.file, loaded_);
  }
  int rc = kExitPort;
  if (o_.command == "probe") {
    rc = ProbeCommand();
  } else if (o_.command == "reset") {
    session_->Start();
    if (!o_.quiet) std::fprintf(stderr, "The programmer is idle.\n");
    rc = 0;
  } else {
    session_->Start();
    // Real time for the passes, when the system allows it; said once when not.
    const Session::RealTime realtime;
    if (!realtime.Granted() && !o_.quiet && !o_.json) {
      std::fprintf(stderr,
                   "pt4cli: note: running at normal priority (%s); pulses may run longer. %s\n",
                   realtime.Refused().c_str(), Session::RealTime::Advice());
    }
    if (o_.command == "read") rc = Read();
    if (o_.command == "blank") rc = Blank();
    if (o_.command == "verify") rc = Verify();
    if (o_.command == "write") rc = o_.repeat ? Repeat() : WriteOne(1, nullptr);
  }
  return Finish(rc);
}

void Cli::PrintJson(int rc, const std::string& error, const char* kind) {
  if (!o_.json) return;
  if (!error.empty()) {
    json_["result"] = "error";
    json_["error"] = JsonText(error);
  }
  if (kind != nullptr) json_["error_kind"] = kind;
  // A command at the programmer says how long it took; a file's sums stay the
  // same from run to run.
  if (session_) {
    json_["duration_s"] =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  json_["exit_code"] = rc;
  std::printf("%s\n", JsonDump(json_, 2).c_str());
  std::fflush(stdout);
}

void Cli::Open() {
  session_ = std::make_unique<Session>(o_.port.empty() ? nullptr : o_.port.c_str());
  json_["port"] = session_->Describe();
  if (o_.verbose) std::fprintf(stderr, "port: %s\n", session_->Describe().c_str());
}

// The port given back; a trace that could not be written turns a verdict into
// a file error, since the record the user asked for is not there.
int Cli::Finish(int rc) {
  session_->Release();
  if (rc >= kExitUsage) return rc;
  if (const auto fault = session_->TraceFault()) throw *fault;
  return rc;
}

PassContext Cli::Ctx(RomImage& img, PulseAudit* audit) {
  // The window's report, less its last line: pt4cli has no Esc to press.
  static const ReportWords kWords = [] {
    ReportWords w;
    w.pressEsc.clear();
    return w;
  }();
  PassContext ctx = session_->Context(view_, img, o_.params, counters_, audit);
  ctx.words = &kWords;
  return ctx;
}

// The file named by its own bytes (CRC32 and SHA-1 of every bit as stored, as ROM
// lists give them), and the signature as the window shows it under the mask.
int Cli::Checksum() {
  const LoadedImage l = LoadImage(o_, o_.file, o_.format);
  // Flat, as scripts have read it: the sums and signature at the top.
  json_.update(ImageJson(o_.file, l.format, l.image, l.stored, o_.params.CompMask));
  if (o_.json) return 0;
  const auto* data = l.stored.RomBuffer.data();
  std::printf("Signature %s (mask %sh)\nCRC32 %s\nSHA-1 %s\n", SignatureText(l.image).c_str(),
              Hex(o_.params.CompMask, 2).c_str(), Crc32Hex(data, kChipWords).c_str(),
              Sha1Hex(data, kChipWords).c_str());
  return 0;
}

int Cli::Dump() {
  const LoadedImage l = LoadImage(o_, o_.file, o_.format);
  for (std::int32_t r = 0; r < l.image.RomSize / 16; ++r) {
    PrintLine(stdout, DumpLine(l.image, r), Colour::Navy, IsTerminal(1));
  }
  return 0;
}

int Cli::Convert() {
  const LoadedImage l = LoadImage(o_, o_.file, o_.format);
  SaveImage(o_.out, l.image, o_.to);
  return 0;
}

int Cli::Ports() {
  const auto ports = KernelPorts();
  if (ports.empty()) {
    std::printf("%s\n", NoPortsText().c_str());
    return kExitPort;
  }
  for (const auto& p : ports) {
    std::printf("%-14s base %-14s modes %-28s %s\n", p.device.c_str(), p.base.c_str(),
                p.modes.c_str(), PortStatusText(p).c_str());
  }
  return 0;
}

int Cli::ProbeCommand() {
  const ProbeResult r = session_->Probe();
  const int rc = r.Usable() ? 0 : kExitPort;
  if (o_.json) {
    json_["open"] = !r.portError;
    if (r.portError) json_["error"] = r.portError->what();
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
RomImage Cli::ReadChip(const char* label, std::vector<std::uint8_t>* raw) {
  RomImage img;
  img.RomSize = kChipWords;
  const bool report = view_.printReport;
  view_.label = label;
  view_.printReport = false;
  auto ctx = Ctx(img);
  if (raw != nullptr) {
    raw->assign(kChipWords, 0);
    ctx.rawWords = raw->data();
  }
  ScanChip(ctx, false, false);
  view_.EndBar();
  view_.printReport = report;
  return img;
}

int Cli::Read() {
  const RomImage img = ReadChip("read  ");
  SaveImage(o_.file, img, o_.format);
  const ImageFormat used =
      o_.file == "-" ? (o_.format == ImageFormat::Auto ? ImageFormat::Raw : o_.format)
                     : (o_.format == ImageFormat::Auto ? FormatForPath(o_.file) : o_.format);
  json_["image"] = ImageJson(o_.file, used, img, img, o_.params.CompMask);
  json_["result"] = "done";
  if (!o_.json) std::fprintf(o_.file == "-" ? stderr : stdout, "%s\n", SignatureText(img).c_str());
  return 0;
}

void Cli::SayNoChip() const {
  // Said even when quiet: an operator who forgot the chip must not be left guessing.
  if (o_.json) return;
  std::fprintf(stderr,
               "pt4cli: no chip answers: every word reads with all its data lines high. The "
               "socket is empty, the adapter has no power, or (rarely) every fuse of the chip is "
               "blown.\n");
}

int Cli::Blank() {
  std::vector<std::uint8_t> raw;
  const RomImage img = ReadChip("blank ", &raw);
  const bool noChip = NoChipAnswers(raw.data(), kChipWords);
  const auto set = std::count_if(img.RomBuffer.begin(), img.RomBuffer.begin() + kChipWords,
                                 [](std::uint8_t b) { return b != 0; });
  json_["not_blank"] = set;
  json_["result"] = set == 0 ? "blank" : noChip ? "no_chip" : "not blank";
  if (!o_.json) {
    if (set == 0) {
      std::printf("blank\n");
    } else if (noChip) {
      std::printf("no chip answers\n");
    } else {
      std::printf("%ld words not blank\n", static_cast<long>(set));
    }
  }
  json_["no_chip"] = noChip;
  if (noChip) SayNoChip();
  return set == 0 ? 0 : kExitBad;
}

// The chip's words under the mask, by one read pass, compared with the image.
WritePlan Cli::ReadPlan(const RomImage& image, bool* noChip) {
  std::vector<std::uint8_t> raw;
  const RomImage chip = ReadChip("check ", &raw);
  if (noChip != nullptr) *noChip = NoChipAnswers(raw.data(), kChipWords);
  return PlanWrite(image, chip.RomBuffer.data());
}

int Cli::Verify() {
  LoadedImage l = loaded_;
  view_.label = "verify";
  if (o_.json) {
    // The words that differ, for the JSON: read once, then the report's pass.
    const WritePlan plan = ReadPlan(l.image);
    json_["differences"] = DifferencesJson(plan);
  }
  std::vector<std::uint8_t> raw(kChipWords, 0);
  auto ctx = Ctx(l.image);
  ctx.rawWords = raw.data();
  ScanChip(ctx, true, true);
  view_.EndBar();
  const int rc = VerdictCode(counters_);
  const bool noChip = rc != kExitIdentical && NoChipAnswers(raw.data(), kChipWords);
  if (noChip) SayNoChip();
  json_["no_chip"] = noChip;
  json_["image"] = ImageJson(o_.file, l.format, l.image, l.stored, o_.params.CompMask);
  json_["counts"] = CountsJson(counters_);
  json_["result"] = ResultName(rc);
  // Quiet, the report is left out but not the verdict.
  if (o_.quiet && !o_.json) std::printf("%s\n", ResultName(rc));
  return rc;
}

}  // namespace pt4::cli
