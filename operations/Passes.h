// The chip passes: the read, the verify with its report, and the programming pass.
// Plain functions over the register layer, a clock and a small view, so a whole
// pass runs in microseconds on the simulator with the virtual clock.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "image/Dump.h"
#include "operations/Params.h"

namespace pt4 {

class Clock;
class Registers;

// What a pass tells whoever shows it while it runs, in the pass's own words: the
// main window turns them into its lamps, status poll, panes and progress bar;
// pt4cli into a progress line. What a view does not show, it need not override.
class PassView : public PaneView {
 public:
  // A pass begins and ends; passes may nest (a write ends with a verify).
  virtual void PassStarted() {}
  virtual void PassEnded() {}
  // The chip's supply switched on (for a read or a burst) or off.
  virtual void SupplyOn(bool on) { (void)on; }
  // A programming burst on the current word began or ended, and within it the
  // pulse slot of one bit.
  virtual void BurstOn(bool on) { (void)on; }
  virtual void PulseOn(bool on) { (void)on; }
  // The programmer set idle after a pass ended abnormally: supply, burst and
  // pulse all off at once.
  virtual void AllOff() {}
  // A verify's report starts afresh.
  virtual void ReportStarted() {}
  virtual void AddressDone(std::int32_t address) { (void)address; }
  // The least time the pass still needs: the sum of the waits ahead of it.
  virtual void ShowTimeLeft(std::int64_t ns) { (void)ns; }
  // Called at the start of each settling wait: the window may repaint and answer
  // the desktop until shortly before `deadlineNs`. Never called during a pulse.
  virtual void Settle(std::int64_t deadlineNs) { (void)deadlineNs; }
};

// A view that shows nothing: for passes whose port traffic or result is all that
// matters (the probe, benchmarks, tests).
class NullPassView final : public PassView {
 public:
  void ClearPanes() override {}
  void ShowDumpLayout() override {}
  void AddReportLine(const std::string&, Colour) override {}
  void SetChecksumText(const std::string&) override {}
};

struct VerifyCounters {
  std::int32_t IdenticalCount = 0;
  std::int32_t ProgrammableCount = 0;
  std::int32_t BadCount = 0;
};

// Every pulse a write pass drove, measured with its own clock at the two strobe
// writes. A pulse longer than asked is the one timing fault that can harm a chip.
struct PulseAudit {
  std::int64_t askedNs = 0;
  std::vector<std::int64_t> widthsNs;

  // Overshoot (width less asked) at a quantile from 0 to 1; 0 with no pulses.
  std::int64_t OvershootNs(double quantile) const;
  // True when some pulse ran longer than asked by more than 10 % of the asked
  // width or 1 ms, whichever is more.
  bool Excessive() const;
  // "pulses: 1326 of 2.000 ms, over by median 2 µs, max 310 µs"
  std::string Line() const;
  std::string Warning() const;
  // The longest overshoot as the warning words it: "310 µs".
  std::string MaxOvershootText() const;
};

// The words of the verify report's summary, so that a window can show them in
// its user's language; a count goes where "%1" stands. As they are, the
// system's own English.
struct ReportWords {
  std::string header = " Addr    HEX (Buf) BIN        BIN  (IC)  HEX  ";
  std::string verified = "\r\n %1 bytes verified,";
  std::string identical = " %1 complete or identical.";
  std::string programmable = " %1 not complete, possible to overwrite.";
  std::string bad = " %1 bad , impossible to overwrite.";
  std::string pressEsc = "\r\n Press Esc for refresh dump from IC buffer.";  // empty: no such line
};

struct PassContext {
  Registers& regs;
  Clock& clock;
  PassView& view;
  RomImage& image;
  const ProgParams& params;
  VerifyCounters& counters;
  PulseAudit* audit = nullptr;  // filled by the write pass when given
  // When given (RomSize bytes), the read pass stores every word as the port read
  // it, all eight lines, before the mask: what tells an empty socket.
  std::uint8_t* rawWords = nullptr;
  const ReportWords* words = nullptr;  // the report's words; English when none
};

// Every word read with all eight data lines high: nothing drives them. The
// socket is empty, the adapter has no power, or (rarely) every fuse is blown.
bool NoChipAnswers(const std::uint8_t* rawWords, std::int32_t count);

// How a chip compares with an image, word by word, under the report's classes:
// the plan of a write before its first pulse.
struct WordDifference {
  std::int32_t address;
  std::uint8_t image, chip;
  bool bad;  // the chip has a bit blown that the image lacks
};
struct WritePlan {
  VerifyCounters counts;
  std::vector<WordDifference> differences;  // every word that is not identical
};
// `chip` holds the chip's words already masked.
WritePlan PlanWrite(const RomImage& image, const std::uint8_t* chip);

std::string ByteToBin(std::uint8_t b);

enum class ByteClass { Bad, Identical, Programmable };
// v: the chip byte under the mask; b: the whole buffer byte.
ByteClass Classify(std::uint8_t v, std::uint8_t b);
Colour ClassColour(ByteClass c);
std::string ReportLine(std::int32_t address, std::uint8_t b, std::uint8_t v, ByteClass c);
std::vector<std::pair<std::string, Colour>> SummaryLines(std::int32_t romSize,
                                                         const VerifyCounters& counters,
                                                         const ReportWords& words = {});

void ScanChip(PassContext& ctx, bool verify, bool report);

// The programming pass proper: everything after the user confirmed the parameters
// and closed the parameter box. Ends with the verify and its report.
void WritePass(PassContext& ctx);

// Brings the programmer and the lamps back to idle after a pass ended abnormally.
void AbortPass(PassContext& ctx) noexcept;

}  // namespace pt4
