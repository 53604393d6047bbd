// The chip passes: the read, the verify with its report, and the programming pass.
// Plain functions over the register layer, a clock and a small view, so a whole
// pass runs in microseconds on the simulator with the virtual clock.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/Buffer.h"
#include "hardware/Clock.h"
#include "hardware/Registers.h"
#include "operations/Params.h"

namespace pt4 {

enum class LampId { VCC32, VCC28, VCC24, Write, ID, PG };

// What a pass shows while it runs: the main window, or the terminal.
class PassView : public PaneView {
 public:
  virtual void SetTimerEnabled(bool on) = 0;
  virtual void PaintLamp(LampId lamp, Colour colour) = 0;
  virtual void RepaintLamps() = 0;  // the lamp panel, at once
  virtual void ClearProgramPane() = 0;
  virtual void ShowPosition(std::int32_t address) = 0;  // progress bar and current address
  // Called at the start of each settling wait: the window may repaint and answer
  // the desktop until shortly before `deadlineNs`. Never called during a pulse.
  virtual void Settle(std::int64_t deadlineNs) { (void)deadlineNs; }
};

struct VerifyCounters {
  std::int32_t IdenticalCount = 0;
  std::int32_t ProgrammableCount = 0;
  std::int32_t BadCount = 0;
};

struct PassContext {
  Registers& regs;
  Clock& clock;
  PassView& view;
  RomImage& image;
  const ProgParams& params;
  VerifyCounters& counters;
};

std::string ByteToBin(std::uint8_t b);

enum class ByteClass { Bad, Identical, Programmable };
// v: the chip byte under the mask; b: the whole buffer byte.
ByteClass Classify(std::uint8_t v, std::uint8_t b);
Colour ClassColour(ByteClass c);
std::string ReportLine(std::int32_t address, std::uint8_t b, std::uint8_t v, ByteClass c);
std::vector<std::pair<std::string, Colour>> SummaryLines(std::int32_t romSize,
                                                         const VerifyCounters& counters);

void ScanChip(PassContext& ctx, bool verify, bool report);

// The programming pass proper: everything after the user confirmed the parameters
// and closed the parameter box. Ends with the verify and its report.
void WritePass(PassContext& ctx);

// Brings the programmer and the lamps back to idle after a pass ended abnormally.
void AbortPass(PassContext& ctx) noexcept;

}  // namespace pt4
