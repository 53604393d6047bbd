// pt4cli's commands over the core: each loads what it needs, opens the port only
// when it needs it, runs its pass and returns the exit status.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <vector>

#include "cli/ExitStatus.h"
#include "cli/ImageIo.h"
#include "cli/Json.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "operations/Passes.h"
#include "operations/Session.h"

namespace pt4::cli {

// The exit status of a verify or a write by its counts.
int VerdictCode(const VerifyCounters& n);

class Cli {
 public:
  explicit Cli(const Options& o) : o_(o), view_(o.quiet, o.json) {}
  // Throws Error or StopRequested.
  int Run();
  // With --json, the one object every outcome prints: what the command found so
  // far, the exit status and, when it ended in an error, its message and kind.
  void PrintJson(int rc, const std::string& error = {}, const char* kind = nullptr);
  // The programmer idle and the port given back, whatever ended the command.
  void Close() noexcept {
    if (session_) session_->Release();
  }
  // What a stop left on the chip, when it stopped a write: which words were
  // programmed. Empty otherwise.
  std::string StoppedWrite() const;

 private:
  void Open();
  // The port given back; a trace that could not be written turns success into a
  // port error, since the record the user asked for is not there.
  int Finish(int rc);
  PassContext Ctx(RomImage& img, PulseAudit* audit = nullptr);
  int Checksum();
  int Dump();
  int Convert();
  int Ports();
  int ProbeCommand();
  // One read pass: the chip's words under the mask, no report; every word as
  // read, before the mask, into `raw` when given.
  RomImage ReadChip(const char* label, std::vector<std::uint8_t>* raw = nullptr);
  int Read();
  int Blank();
  // The chip's words under the mask, by one read pass, compared with the image;
  // `noChip` tells whether any word answered at all.
  WritePlan ReadPlan(const RomImage& image, bool* noChip = nullptr);
  // The hint after a pass at which no chip answered.
  void SayNoChip() const;
  int Verify();

  // The write command (WriteCommands.cpp).
  void PrintPlan(const WritePlan& plan);
  void NameBadWords(const WritePlan& plan);
  // A production log's line for one chip.
  Json ChipLine(int chip, const VerifyCounters& counts, const char* result,
                std::chrono::steady_clock::time_point start, const PulseAudit* audit);
  // One chip: the safety check, the write, the report. `chipJson` collects the log line.
  int WriteOne(int chip, Json* chipJson);
  int Repeat();

  const Options& o_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  TerminalView view_;
  VerifyCounters counters_;
  std::unique_ptr<Session> session_;  // the port, from the first command that needs it
  LoadedImage loaded_;
  Json json_;
  bool noChip_ = false;   // the last write found the socket empty
  bool writing_ = false;  // a write pass (with its compare) is under way
};

}  // namespace pt4::cli
