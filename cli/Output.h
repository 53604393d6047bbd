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
  void AddressDone(std::int32_t a) override { address_ = a; }
  void ShowTimeLeft(std::int64_t ns) override;
  // Clears the progress bar's line, so that what follows starts on a clean one.
  void EndBar();
  bool printReport = true;
  std::string checksum, label;

 private:
  bool quiet_, colour_, bar_;
  bool barShown_ = false;
  std::int32_t address_ = 0;
};

}  // namespace pt4::cli
