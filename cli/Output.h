// What pt4cli shows on the terminal: the report and dump lines in the window's
// colours, and a pass's progress bar on standard error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "operations/Passes.h"

namespace pt4::cli {

// The report and dump lines as the window's pane shows them; in colour on a terminal.
void PrintLine(std::FILE* to, const std::string& text, Colour c, bool colour);

class TerminalView final : public PassView {
 public:
  TerminalView(bool quiet, bool json);
  void ClearPanes() override {}
  void ShowDumpLayout() override {}
  void AddReportLine(const std::string& t, Colour c) override;
  void SetChecksumText(const std::string& t) override { checksum = t; }
  void PassStarted() override { ++passes_; }
  void AddressDone(std::int32_t a) override {
    address_ = a;
    if (passes_ == 1) firstPassDone_ = a;
  }
  // From here the passes are counted afresh: a write's own pass is the first.
  void CountPasses() {
    passes_ = 0;
    firstPassDone_ = -1;
  }
  int Passes() const { return passes_; }
  // The last address the first counted pass finished, -1 before the first.
  std::int32_t FirstPassDone() const { return firstPassDone_; }
  void ShowTimeLeft(std::int64_t ns) override;
  // Clears the progress bar's line, so that what follows starts on a clean one.
  void EndBar();
  bool printReport = true;
  std::string checksum, label;

 private:
  bool quiet_, colour_, bar_;
  bool barShown_ = false;
  std::int32_t address_ = 0;
  int passes_ = 0;
  std::int32_t firstPassDone_ = -1;
};

}  // namespace pt4::cli
