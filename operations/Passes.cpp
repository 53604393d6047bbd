#include "operations/Passes.h"

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

void Lamp(PassContext& ctx, LampId lamp, Colour c) {
  ctx.view.PaintLamp(lamp, c);
  ctx.view.RepaintLamps();
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

std::vector<std::pair<std::string, Colour>> SummaryLines(std::int32_t romSize,
                                                         const VerifyCounters& n) {
  std::vector<std::pair<std::string, Colour>> s;
  s.emplace_back(" " + std::string(43, '-'), Colour::Black);
  s.emplace_back(" Addr    HEX (Buf) BIN        BIN  (IC)  HEX  ", Colour::Maroon);
  s.emplace_back("\r\n " + std::to_string(romSize) + " bytes verified,", Colour::Maroon);
  if (n.IdenticalCount > 0) {
    s.emplace_back(" " + std::to_string(n.IdenticalCount) + " complete or identical.",
                   Colour::Navy);
  }
  if (n.ProgrammableCount > 0) {
    s.emplace_back(
        " " + std::to_string(n.ProgrammableCount) + " not complete, possible to overwrite.",
        Colour::Green);
  }
  if (n.BadCount > 0) {
    s.emplace_back(" " + std::to_string(n.BadCount) + " bad , impossible to overwrite.",
                   Colour::Red);
  }
  s.emplace_back("\r\n Press Esc for refresh dump from IC buffer.", Colour::Maroon);
  return s;
}

void AbortPass(PassContext& ctx) noexcept {
  ctx.regs.EmergencyIdle();
  try {
    ctx.view.PaintLamp(LampId::VCC32, Colour::Olive);
    ctx.view.PaintLamp(LampId::Write, Colour::Maroon);
    ctx.view.PaintLamp(LampId::ID, Colour::Navy);
    ctx.view.RepaintLamps();
  } catch (...) {
  }
  try {
    ctx.view.SetTimerEnabled(true);
  } catch (...) {
  }
}

void ScanChip(PassContext& ctx, bool verify, bool report) {
  VerifyCounters& n = ctx.counters;
  n = VerifyCounters{};
  ctx.view.SetTimerEnabled(false);
  try {
    ThrowIfStopRequested();
    Registers& r = ctx.regs;
    r.ResetLatches();
    r.LatchModeA(2);
    r.SetSupply('2', 55, 'x');
    r.LatchPulse(0x80);
    Lamp(ctx, LampId::VCC32, Colour::Yellow);
    if (report) ctx.view.ClearProgramPane();
    for (std::int32_t a = 0; a < ctx.image.RomSize; ++a) {
      r.LatchAddrLo(static_cast<std::uint8_t>(a & 0xFF));
      Settle(ctx, kReadSettleMs);
      const std::uint8_t v = r.ReadChipData() & ctx.params.CompMask;
      auto& b = ctx.image.RomBuffer[static_cast<std::size_t>(a)];
      if (!verify) b = v;
      if (verify) {
        const ByteClass c = Classify(v, b);
        if (c == ByteClass::Bad) ++n.BadCount;
        if (c == ByteClass::Identical) ++n.IdenticalCount;
        if (c == ByteClass::Programmable) ++n.ProgrammableCount;
        if (report) ctx.view.AddReportLine(ReportLine(a, b, v, c), ClassColour(c));
      }
      ctx.view.ShowPosition(a);
    }
    if (!verify) ShowDump(ctx.image, ctx.view);
    if (verify && report) {
      for (const auto& [text, colour] : SummaryLines(ctx.image.RomSize, n)) {
        ctx.view.AddReportLine(text, colour);
      }
      ctx.image.DumpShown = false;
    }
    UpdateChecksum(ctx.image, ctx.view);
    r.ResetLatches();
    Settle(ctx, kEndSettleMs);
    Lamp(ctx, LampId::VCC32, Colour::Olive);
  } catch (...) {
    AbortPass(ctx);
    throw;
  }
  ctx.view.SetTimerEnabled(true);
}

void WritePass(PassContext& ctx) {
  const ProgParams& p = ctx.params;
  Registers& r = ctx.regs;
  // A negative pulse time gives empty slots, never a wait without end.
  const std::int64_t pulseNs = (p.ProgTime > 0 ? static_cast<std::int64_t>(p.ProgTime) : 0) * kMs;
  try {
    ThrowIfStopRequested();
    r.ResetLatches();
    r.LatchModeA(2);
    r.SetSupply('2', static_cast<std::uint16_t>(p.ProgVoltage), 0x8C);
    ctx.view.SetTimerEnabled(false);
    for (std::int32_t a = 0; a < ctx.image.RomSize; ++a) {
      const std::uint8_t b = ctx.image.RomBuffer[static_cast<std::size_t>(a)];
      r.LatchAddrLo(static_cast<std::uint8_t>(a & 0xFF));
      r.LatchAddrHi(static_cast<std::uint8_t>((a >> 8) & 0xFF));
      r.LatchCtrl(static_cast<std::uint8_t>(((a >> 16) & 0xFF) | 0x06));
      Settle(ctx, kWriteSettleMs);
      r.LatchPulse(0x80);
      Lamp(ctx, LampId::VCC32, Colour::Yellow);
      std::int32_t allowed = p.ProgCycles;
      for (;;) {
        const std::uint8_t v = r.ReadChipData() & p.CompMask;
        if (v != b) {
          r.LatchPulse(0x90);
          r.LatchCtrl(0x40);
          Lamp(ctx, LampId::ID, Colour::Aqua);
          for (std::uint8_t bit = 1; bit <= 8; bit = static_cast<std::uint8_t>(bit << 1)) {
            Lamp(ctx, LampId::Write, Colour::Red);
            // A clear bit writes 0x90 again, which the cache drops: its slot passes
            // with no pulse.
            r.LatchPulse(static_cast<std::uint8_t>(0x90 + (b & bit)));
            // The pulse ends no earlier than its width after the raising write, and
            // nothing else (no repaint, no event) runs inside it.
            ctx.clock.SleepUntilNs(ctx.clock.NowNs() + pulseNs);
            r.LatchPulse(0x90);
            ThrowIfStopRequested();
            Lamp(ctx, LampId::Write, Colour::Maroon);
          }
          r.LatchCtrl(0x00);
          Lamp(ctx, LampId::ID, Colour::Navy);
          r.LatchPulse(0x80);
          ctx.view.RepaintLamps();
        }
        --allowed;
        if (v == b || allowed <= 0) break;
      }
      ctx.view.ShowPosition(a);
    }
    Lamp(ctx, LampId::VCC32, Colour::Olive);
    r.ResetLatches();
  } catch (...) {
    AbortPass(ctx);
    throw;
  }
  ScanChip(ctx, true, true);
  ctx.view.SetTimerEnabled(true);
}

}  // namespace pt4
