#include "operations/Passes.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "hardware/Clock.h"
#include "hardware/Registers.h"
#include "hardware/StopSignal.h"

namespace pt4 {

namespace {
constexpr std::int64_t kMs = 1'000'000;
constexpr int kReadSettleMs = 5;    // address to data out of the PROM, with margin
constexpr int kWriteSettleMs = 50;  // the programming supply settles at the new address
constexpr int kEndSettleMs = 50;

// A settling wait: the view may service the window, then the clock sleeps to the deadline.
void Settle(PassContext& ctx, int ms) {
  const std::int64_t deadline = ctx.clock.NowNs() + ms * kMs;
  ctx.view.Settle(deadline);
  ctx.clock.SleepUntilNs(deadline);
  ThrowIfStopRequested();
}

// The time a pass has left: the words left at the pace of the words done so far
// (never faster than the waits alone), then `tailNs` for what follows. On a busy
// machine every wait runs long, and a write spends its pulses too; the pace
// measured says both.
std::int64_t TimeLeftNs(const PassContext& ctx, std::int64_t startedNs, std::int32_t a,
                        std::int64_t settleMs, std::int64_t tailNs) {
  const std::int64_t done = a + 1;
  const std::int64_t pace = std::max((ctx.clock.NowNs() - startedNs) / done, settleMs * kMs);
  return (ctx.image.RomSize - done) * pace + tailNs;
}

// A failure behind the port (the simulated chip not saved) ends the pass like a
// refused access would.
void CheckFault(PassContext& ctx) {
  ctx.regs.ThrowFault();
}

// Ctrl+Z during a pass: the programmer goes idle before the process stops, and
// when it continues the pass sets itself up again; the caller redoes the address.
// True when the process was stopped.
bool SuspendPoint(PassContext& ctx, const std::function<void()>& setUp) {
  if (!SuspendPending()) return false;
  ctx.regs.ResetLatches();
  ctx.view.SupplyOn(false);
  SuspendNow();
  ThrowIfStopRequested();
  setUp();
  return true;
}
}  // namespace

std::string ByteToBin(std::uint8_t b) {
  std::string s(8, '0');
  for (int i = 0; i < 8; ++i) {
    if ((b >> (7 - i)) & 1) s[static_cast<std::size_t>(i)] = '1';
  }
  return s;
}

ByteClass Classify(std::uint8_t v, std::uint8_t b) {
  if ((v & ~b & 0xFF) != 0) return ByteClass::Bad;
  if (v == b) return ByteClass::Identical;
  return ByteClass::Programmable;
}

Colour ClassColour(ByteClass c) {
  switch (c) {
    case ByteClass::Bad:
      return Colour::Red;
    case ByteClass::Identical:
      return Colour::Navy;
    case ByteClass::Programmable:
      return Colour::Green;
  }
  return Colour::Black;
}

std::string ReportLine(std::int32_t address, std::uint8_t b, std::uint8_t v, ByteClass c) {
  const char* marker = c == ByteClass::Bad ? "<>" : c == ByteClass::Identical ? "==" : "=>";
  return " " + Hex(static_cast<unsigned>(address), 5) + " : " + Hex(b, 2) + "   " + ByteToBin(b) +
         "   " + marker + "   " + ByteToBin(v) + "   " + Hex(v, 2) + " ";
}

namespace {
std::string WithCount(const std::string& words, std::int32_t count) {
  std::string out = words;
  const auto at = out.find("%1");
  if (at != std::string::npos) out.replace(at, 2, std::to_string(count));
  return out;
}
}  // namespace

std::vector<std::pair<std::string, Colour>> SummaryLines(std::int32_t romSize,
                                                         const VerifyCounters& n,
                                                         const ReportWords& w) {
  std::vector<std::pair<std::string, Colour>> s;
  s.emplace_back(" " + std::string(43, '-'), Colour::Black);
  s.emplace_back(w.header, Colour::Maroon);
  s.emplace_back(WithCount(w.verified, romSize), Colour::Maroon);
  if (n.IdenticalCount > 0) s.emplace_back(WithCount(w.identical, n.IdenticalCount), Colour::Navy);
  if (n.ProgrammableCount > 0)
    s.emplace_back(WithCount(w.programmable, n.ProgrammableCount), Colour::Green);
  if (n.BadCount > 0) s.emplace_back(WithCount(w.bad, n.BadCount), Colour::Red);
  if (!w.pressEsc.empty()) s.emplace_back(w.pressEsc, Colour::Maroon);
  return s;
}

void AbortPass(PassContext& ctx) noexcept {
  ctx.regs.EmergencyIdle();
  try {
    ctx.view.AllOff();
  } catch (...) {
  }
  try {
    ctx.view.PassEnded();
  } catch (...) {
  }
}

void ScanChip(PassContext& ctx, bool verify, bool report) {
  VerifyCounters& n = ctx.counters;
  n = VerifyCounters{};
  ctx.view.PassStarted();
  PassSpan span;
  try {
    ThrowIfStopRequested();
    Registers& r = ctx.regs;
    r.ResetLatches();
    const auto setUp = [&] {
      r.LatchModeA(kModeChipPowered);
      r.SetSupply('2', 55, 'x');  // the socket's supply at the read level
      r.LatchPulse(kPulseOff);
      ctx.view.SupplyOn(true);
    };
    setUp();
    if (report) ctx.view.ReportStarted();
    const std::int64_t started = ctx.clock.NowNs();
    for (std::int32_t a = 0; a < ctx.image.RomSize; ++a) {
      SuspendPoint(ctx, setUp);
      r.LatchAddrLo(static_cast<std::uint8_t>(a & 0xFF));
      Settle(ctx, kReadSettleMs);
      const std::uint8_t raw = r.ReadChipData();
      if (ctx.rawWords != nullptr) ctx.rawWords[a] = raw;
      const std::uint8_t v = raw & ctx.params.CompMask;
      auto& b = ctx.image.RomBuffer[static_cast<std::size_t>(a)];
      if (!verify) b = v;
      if (verify) {
        const ByteClass c = Classify(v, b);
        if (c == ByteClass::Bad) ++n.BadCount;
        if (c == ByteClass::Identical) ++n.IdenticalCount;
        if (c == ByteClass::Programmable) ++n.ProgrammableCount;
        if (report) ctx.view.AddReportLine(ReportLine(a, b, v, c), ClassColour(c));
      }
      ctx.view.AddressDone(a);
      ctx.view.ShowTimeLeft(TimeLeftNs(ctx, started, a, kReadSettleMs, kEndSettleMs * kMs));
      CheckFault(ctx);
    }
    if (!verify) ShowDump(ctx.image, ctx.view);
    if (verify && report) {
      for (const auto& [text, colour] :
           SummaryLines(ctx.image.RomSize, n, ctx.words != nullptr ? *ctx.words : ReportWords{})) {
        ctx.view.AddReportLine(text, colour);
      }
    }
    UpdateChecksum(ctx.image, ctx.view);
    r.ResetLatches();
    Settle(ctx, kEndSettleMs);
    ctx.view.SupplyOn(false);
  } catch (...) {
    AbortPass(ctx);
    throw;
  }
  ctx.view.PassEnded();
}

void WritePass(PassContext& ctx) {
  const ProgParams& p = ctx.params;
  Registers& r = ctx.regs;
  // A negative pulse time gives empty slots, never a wait without end.
  const std::int64_t pulseNs = (p.ProgTime > 0 ? static_cast<std::int64_t>(p.ProgTime) : 0) * kMs;
  if (ctx.audit != nullptr) {
    ctx.audit->askedNs = pulseNs;
    ctx.audit->widthsNs.clear();
  }
  PassSpan span;
  try {
    ThrowIfStopRequested();
    r.ResetLatches();
    const auto setUp = [&] {
      r.LatchModeA(kModeChipPowered);
      // The socket's supply at the programming voltage.
      r.SetSupply('2', static_cast<std::uint16_t>(p.ProgVoltage), 0x8C);
    };
    setUp();
    ctx.view.PassStarted();
    const std::int64_t started = ctx.clock.NowNs();
    for (std::int32_t a = 0; a < ctx.image.RomSize; ++a) {
      SuspendPoint(ctx, setUp);
      const std::uint8_t b = ctx.image.RomBuffer[static_cast<std::size_t>(a)];
      r.LatchAddrLo(static_cast<std::uint8_t>(a & 0xFF));
      r.LatchAddrHi(static_cast<std::uint8_t>((a >> 8) & 0xFF));
      // The control latch's settle state for a new word (bits 1 and 2), which a
      // burst (kBurstOn) replaces; above them address bits 16-23, always 0 on
      // a 256-word chip.
      r.LatchCtrl(static_cast<std::uint8_t>(((a >> 16) & 0xFF) | 0x06));
      Settle(ctx, kWriteSettleMs);
      r.LatchPulse(kPulseOff);
      ctx.view.SupplyOn(true);
      // Wide enough that no cycle count, however negative, wraps round.
      std::int64_t allowed = p.ProgCycles;
      bool redo = false;
      for (;;) {
        // Between bursts is a safe point too; the address is done again from its start.
        if (SuspendPoint(ctx, setUp)) {
          redo = true;
          break;
        }
        const std::uint8_t v = r.ReadChipData() & p.CompMask;
        if (v != b) {
          r.LatchPulse(kPulseArmed);
          r.LatchCtrl(kBurstOn);
          ctx.view.BurstOn(true);
          for (std::uint8_t bit = 1; bit <= 8; bit = static_cast<std::uint8_t>(bit << 1)) {
            ctx.view.PulseOn(true);
            // A clear bit asks for the armed value again, which the latch holds
            // already: its slot passes with no pulse.
            const std::int64_t width =
                r.PulseSlot(static_cast<std::uint8_t>(kPulseArmed + (b & bit)), kPulseArmed,
                            pulseNs, ctx.clock);
            if (width >= 0 && ctx.audit != nullptr) ctx.audit->widthsNs.push_back(width);
            ThrowIfStopRequested();
            ctx.view.PulseOn(false);
          }
          r.LatchCtrl(kBurstOff);
          ctx.view.BurstOn(false);
          r.LatchPulse(kPulseOff);
          CheckFault(ctx);
        }
        --allowed;
        if (v == b || allowed <= 0) break;
      }
      if (redo) {
        --a;
        continue;
      }
      // Then the compare pass, at its nominal pace.
      ctx.view.ShowTimeLeft(TimeLeftNs(ctx, started, a, kWriteSettleMs,
                                       (ctx.image.RomSize * kReadSettleMs + kEndSettleMs) * kMs));
      ctx.view.AddressDone(a);
    }
    ctx.view.SupplyOn(false);
    r.ResetLatches();
  } catch (...) {
    AbortPass(ctx);
    throw;
  }
  ScanChip(ctx, true, true);
  ctx.view.PassEnded();
}

bool NoChipAnswers(const std::uint8_t* rawWords, std::int32_t count) {
  return count > 0 &&
         std::all_of(rawWords, rawWords + count, [](std::uint8_t w) { return w == 0xFF; });
}

WritePlan PlanWrite(const RomImage& image, const std::uint8_t* chip) {
  WritePlan plan;
  for (std::int32_t a = 0; a < image.RomSize; ++a) {
    const std::uint8_t b = image.RomBuffer[static_cast<std::size_t>(a)];
    const std::uint8_t v = chip[a];
    const ByteClass c = Classify(v, b);
    if (c == ByteClass::Identical) {
      ++plan.counts.IdenticalCount;
      continue;
    }
    if (c == ByteClass::Bad) ++plan.counts.BadCount;
    if (c == ByteClass::Programmable) ++plan.counts.ProgrammableCount;
    plan.differences.push_back({a, b, v, c == ByteClass::Bad});
  }
  return plan;
}

std::int64_t PulseAudit::OvershootNs(double quantile) const {
  if (widthsNs.empty()) return 0;
  std::vector<std::int64_t> sorted = widthsNs;
  std::sort(sorted.begin(), sorted.end());
  const auto at = static_cast<std::size_t>(quantile * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(at, sorted.size() - 1)] - askedNs;
}

bool PulseAudit::Excessive() const {
  const std::int64_t allowance = std::max<std::int64_t>(askedNs / 10, 1'000'000);
  return std::any_of(widthsNs.begin(), widthsNs.end(),
                     [&](std::int64_t w) { return w - askedNs > allowance; });
}

namespace {
std::string Micros(std::int64_t ns) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld \u00b5s",
                static_cast<long long>((ns + (ns >= 0 ? 500 : -500)) / 1000));
  return buf;
}
}  // namespace

std::string PulseAudit::Line() const {
  char asked[32];
  std::snprintf(asked, sizeof asked, "%.3f ms", static_cast<double>(askedNs) / 1e6);
  return "pulses: " + std::to_string(widthsNs.size()) + " of " + asked + ", over by median " +
         Micros(OvershootNs(0.5)) + ", max " + Micros(OvershootNs(1.0));
}

std::string PulseAudit::MaxOvershootText() const {
  return Micros(OvershootNs(1.0));
}

std::string PulseAudit::Warning() const {
  return "Some programming pulses ran longer than asked (" + MaxOvershootText() +
         " over at most): the chip got more heat than the parameters say. Close other busy "
         "programs and let the passes run in real time (REAL TIME in man pt4cli), then compare "
         "the chip with the image (pt4cli verify) to see what it holds now.";
}

}  // namespace pt4
