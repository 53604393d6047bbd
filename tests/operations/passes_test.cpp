#include "operations/Passes.h"

#include <gtest/gtest.h>

#include <csignal>
#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "hardware/DirectPort.h"
#include "hardware/PpdevBackend.h"
#include "hardware/Programmer.h"
#include "hardware/StopSignal.h"
#include "image/Signature.h"
#include "operations/Probe.h"
#include "tests/hardware/TraceFixture.h"
#if defined(__linux__)
#include "tests/hardware/FakePpdev.h"
#endif

namespace pt4 {
namespace {

// Records what the window would show.
struct RecordingView : PassView {
  void ClearPanes() override { lines.clear(); }
  void AddReportLine(const std::string& t, Colour c) override { lines.emplace_back(t, c); }
  void SetChecksumText(const std::string& t) override { checksum = t; }
  // The timer stands for the window's status poll, which rests during a pass.
  void PassStarted() override { Timer(false); }
  void PassEnded() override { Timer(true); }
  // The lamps as the window paints them: supply, write (pulse) and ID (burst).
  void SupplyOn(bool on) override { Lamp(kSupply, on ? Colour::Yellow : Colour::Olive); }
  void PulseOn(bool on) override { Lamp(kPulse, on ? Colour::Red : Colour::Maroon); }
  void BurstOn(bool on) override {
    idChanges++;
    Lamp(kBurst, on ? Colour::Aqua : Colour::Navy);
  }
  void AllOff() override {
    lamps[kSupply] = Colour::Olive;
    lamps[kPulse] = Colour::Maroon;
    lamps[kBurst] = Colour::Navy;
    Repaint();
  }
  void ShowDumpLayout() override { dumpShown = true; }
  void ReportStarted() override {
    lines.clear();
    dumpShown = false;
  }
  void AddressDone(std::int32_t a) override { position = a; }
  void Timer(bool on) {
    timer = on;
    timerChanges.push_back(on);
  }
  void Lamp(int lamp, Colour c) {
    lamps[lamp] = c;
    Repaint();
  }
  void Repaint() {
    // A pass that runs away fails at once instead of running for hours.
    if (++repaints > repaintBudget) throw std::runtime_error("the pass ran past its budget");
  }
  static constexpr int kSupply = 0, kPulse = 3, kBurst = 4;
  std::vector<std::pair<std::string, Colour>> lines;
  std::string checksum;
  bool dumpShown = false;
  bool timer = true;
  std::vector<bool> timerChanges;
  Colour lamps[6] = {Colour::Olive,  Colour::Olive, Colour::Olive,
                     Colour::Maroon, Colour::Navy,  Colour::Green};
  int idChanges = 0, repaints = 0, repaintBudget = INT_MAX;
  std::int32_t position = -1;
};

struct Bench {
  Bench() { image.RomSize = 256; }
  PassContext Ctx() { return {p.regs, p.clock, view, image, params, counters}; }
  testing::TracedProgrammer p;
  RecordingView view;
  RomImage image;
  ProgParams params;
  VerifyCounters counters;
};

TEST(Report, ClassesMarkersAndLines) {
  EXPECT_EQ(ByteToBin(0x0C), "00001100");
  EXPECT_EQ(Classify(0x0F & 0x03, 0x0F), ByteClass::Programmable);
  EXPECT_EQ(Classify(0x03 & 0x0F, 0x01), ByteClass::Bad);
  EXPECT_EQ(Classify(0x0D & 0x03, 0x05), ByteClass::Programmable);
  EXPECT_EQ(Classify(0x0C & 0x03, 0x0C), ByteClass::Programmable);
  EXPECT_EQ(Classify(0x00, 0x00), ByteClass::Identical);
  const std::string line = ReportLine(0x1A, 0x0F, 0x03, ByteClass::Programmable);
  EXPECT_EQ(line, " 0001A : 0F   00001111   =>   00000011   03 ");
  EXPECT_EQ(line.size(), 44u);
  EXPECT_EQ(ClassColour(ByteClass::Bad), Colour::Red);
}

TEST(Report, SummaryLeavesOutZeroCounts) {
  auto texts = [](VerifyCounters n) {
    std::vector<std::string> t;
    for (auto& [s, c] : SummaryLines(256, n)) t.push_back(s);
    return t;
  };
  const auto all = SummaryLines(256, {256, 0, 0});
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(all[0].first, " -------------------------------------------");
  EXPECT_EQ(all[0].first.size(), 44u);
  EXPECT_EQ(all[2].first, "\r\n 256 bytes verified,");
  EXPECT_EQ(all[3], std::make_pair(std::string(" 256 complete or identical."), Colour::Navy));
  EXPECT_EQ(all[4].first, "\r\n Press Esc for refresh dump from IC buffer.");
  const auto mixed = SummaryLines(256, {1, 2, 253});
  ASSERT_EQ(mixed.size(), 7u);
  EXPECT_EQ(mixed[4],
            std::make_pair(std::string(" 2 not complete, possible to overwrite."), Colour::Green));
  EXPECT_EQ(mixed[5],
            std::make_pair(std::string(" 253 bad , impossible to overwrite."), Colour::Red));
  EXPECT_EQ(texts({0, 5, 0}).size(), 5u);
  EXPECT_EQ(texts({0, 0, 0}).size(), 4u);
}

TEST(ReadPass, ExactLatchSequenceAndTiming) {
  Bench b;
  b.image.RomSize = 2;
  auto ctx = b.Ctx();
  ScanChip(ctx, false, false);
  const std::vector<std::string> reset = {"out 0x378 0x80", "out 0x37A 0x05", "out 0x37A 0x04",
                                          "out 0x378 0x80", "out 0x37A 0x07", "out 0x37A 0x04",
                                          "out 0x378 0x00", "out 0x37A 0x06", "out 0x37A 0x04"};
  std::vector<std::string> want = reset;
  for (const char* l :
       {"out 0x378 0x82", "out 0x37A 0x05", "out 0x37A 0x04",  // mode A
        "out 0x378 0xDF", "out 0x37A 0x03", "out 0x37A 0x00",  // supply
        "out 0x378 0x80", "out 0x37A 0x0F", "out 0x37A 0x0C",  // pulse idle
        // address 0: AddrLo(0) is a cache hit
        "out 0x37A 0x2E", "in 0x378 0xF0", "out 0x37A 0x0C", "out 0x378 0x01", "out 0x37A 0x09",
        "out 0x37A 0x08", "out 0x37A 0x2E", "in 0x378 0xF0", "out 0x37A 0x0C"}) {
    want.push_back(l);
  }
  want.insert(want.end(), reset.begin(), reset.end());
  EXPECT_EQ(b.p.Lines(), want);
  EXPECT_EQ(b.p.clock.NowNs(), (2 * 5 + 50) * 1'000'000);
  EXPECT_EQ(b.view.timerChanges, (std::vector<bool>{false, true}));
  EXPECT_EQ(b.view.lamps[0], Colour::Olive);
}

TEST(ReadPass, MaskDecidesWhatReachesTheBuffer) {
  for (auto [mask, want] : {std::pair{0x03, 0x03}, {0x0C, 0x0C}, {0x0F, 0x0F}}) {
    Bench b;
    for (int a = 0; a < 256; ++a) b.p.sim->SetWord(a, 0x0F);
    b.params.CompMask = static_cast<std::uint8_t>(mask);
    b.view.dumpShown = false;
    auto ctx = b.Ctx();
    ScanChip(ctx, false, false);
    EXPECT_TRUE(std::all_of(b.image.RomBuffer.begin(), b.image.RomBuffer.begin() + 256,
                            [&](auto v) { return v == want; }));
    EXPECT_TRUE(b.view.dumpShown);
    EXPECT_EQ(b.view.lines.size(), 16u);
    EXPECT_EQ(b.view.checksum, SignatureText(b.image));
    EXPECT_EQ(b.view.position, 255);
  }
}

TEST(VerifyPass, ReportAgainstBlownAndMissingBits) {
  Bench b;
  b.params.CompMask = 0x0F;
  b.p.sim->SetWord(0, 0x03);
  b.image.RomBuffer[0] = 0x01;  // chip has a bit the buffer lacks: bad
  b.image.RomBuffer[1] = 0x0F;  // blank chip word: programmable
  b.view.lines.assign(40, {"old", Colour::Black});
  b.view.dumpShown = true;
  auto ctx = b.Ctx();
  ScanChip(ctx, true, true);
  EXPECT_EQ(b.counters.BadCount, 1);
  EXPECT_EQ(b.counters.ProgrammableCount, 1);
  EXPECT_EQ(b.counters.IdenticalCount, 254);
  ASSERT_EQ(b.view.lines.size(), 256u + 7u);
  EXPECT_EQ(
      b.view.lines[0],
      std::make_pair(std::string(" 00000 : 01   00000001   <>   00000011   03 "), Colour::Red));
  EXPECT_EQ(b.view.lines[1].second, Colour::Green);
  EXPECT_EQ(b.view.lines[2].second, Colour::Navy);
  EXPECT_FALSE(b.view.dumpShown);
  EXPECT_EQ(b.image.RomBuffer[0], 0x01);  // a verify never changes the buffer
}

TEST(VerifyPass, EmptySocketGivesANormalReport) {
  Bench b;
  b.p.sim->SetChipPresent(false);
  auto ctx = b.Ctx();
  ScanChip(ctx, true, true);
  // The floating lines read 0xFF: under mask 0x03 every zero buffer byte is bad.
  EXPECT_EQ(b.counters.BadCount, 256);
  EXPECT_EQ(b.view.lines.size(), 256u + 5u);
  // Only when every word floats is there no chip: one word of a chip with every
  // other fuse blown still answers.
  std::vector<std::uint8_t> raw(256, 0xFF);
  EXPECT_TRUE(NoChipAnswers(raw.data(), 256));
  raw[200] = 0xFE;
  EXPECT_FALSE(NoChipAnswers(raw.data(), 256));
}

// A port that breaks after a number of accesses.
class FailingBackend : public PortBackend {
 public:
  explicit FailingBackend(PortBackend& inner, int okAccesses) : inner_(inner), left_(okAccesses) {}
  void Out(std::uint16_t a, std::uint8_t v) override {
    Tick();
    inner_.Out(a, v);
  }
  std::uint8_t In(std::uint16_t a) override {
    Tick();
    return inner_.In(a);
  }
  std::string Describe() const override { return "failing"; }
  bool broken = false;

 private:
  void Tick() {
    if (left_-- == 0) {
      broken = true;
      throw PortError(Message{"port gone"});
    }
  }
  PortBackend& inner_;
  int left_;
};

TEST(Passes, FailureHalfWayLeavesProgrammerIdleAndTimerRunning) {
  for (bool write : {false, true}) {
    Bench b;
    FailingBackend failing(*b.p.trace, write ? 900 : 300);
    TDirectPort port(failing);
    b.p.regs.Attach(&port);
    b.params.CompMask = 0x0F;
    for (int a = 0; a < 256; ++a) b.image.RomBuffer[a] = 0x0F;
    auto ctx = b.Ctx();
    EXPECT_THROW(write ? WritePass(ctx) : ScanChip(ctx, true, true), Error);
    EXPECT_TRUE(b.view.timer);
    EXPECT_EQ(b.view.lamps[0], Colour::Olive);
    EXPECT_EQ(b.view.lamps[3], Colour::Maroon);
    EXPECT_EQ(b.view.lamps[4], Colour::Navy);
    // The failure was passing: the pass's own clean-up reached the programmer.
    EXPECT_TRUE(failing.broken);
    EXPECT_EQ(b.p.sim->LatchValue(0x05), 0x80);
    EXPECT_EQ(b.p.sim->LatchValue(0x07), 0x80);
    EXPECT_EQ(b.p.sim->LatchValue(0x0F), 0x00);
    EXPECT_EQ(b.p.sim->SupplyTenths(), 0);
    EXPECT_FALSE(b.p.sim->InBurst());
  }
}

TEST(Passes, StopSignalEndsAPulseAndLeavesIdle) {
  Bench b;
  b.params.CompMask = 0x0F;
  b.image.RomBuffer[0] = 0x01;
  SetPendingStopSignalForTest(15);
  auto ctx = b.Ctx();
  EXPECT_THROW(WritePass(ctx), StopRequested);
  SetPendingStopSignalForTest(0);
  EXPECT_EQ(b.p.sim->SupplyTenths(), 0);
  EXPECT_EQ(b.p.sim->LatchValue(0x05), 0x80);
  EXPECT_TRUE(b.view.timer);
  EXPECT_TRUE(b.p.sim->Violations().empty());
}

// The write-pass sequence of one address from the settle wait on.
std::vector<std::string> WriteLines(Bench& b) {
  auto ctx = b.Ctx();
  WritePass(ctx);
  return b.p.Lines();
}

int Count(const std::vector<std::string>& lines, const std::string& l) {
  return static_cast<int>(std::count(lines.begin(), lines.end(), l));
}

TEST(WritePass, PulsesOnlyTheBufferBitsWithTheirSlots) {
  Bench b;
  b.image.RomSize = 1;
  b.params.CompMask = 0x0F;
  b.params.ProgCycles = 1;
  b.image.RomBuffer[0] = 0x0A;
  const auto lines = WriteLines(b);
  EXPECT_EQ(Count(lines, "out 0x378 0x92"), 1);
  EXPECT_EQ(Count(lines, "out 0x378 0x98"), 1);
  EXPECT_EQ(Count(lines, "out 0x378 0x91"), 0);
  EXPECT_EQ(Count(lines, "out 0x378 0x94"), 0);
  // 50 ms settle + four 100 ms slots, then the verify (5 ms + 50 ms).
  EXPECT_EQ(b.p.clock.NowNs(), (50 + 400 + 5 + 50) * 1'000'000LL);
  ASSERT_EQ(b.p.sim->Pulses().size(), 2u);
  EXPECT_EQ(b.p.sim->Pulses()[0].bit, 1);
  EXPECT_EQ(b.p.sim->Pulses()[0].widthNs, 100'000'000);
  EXPECT_EQ(b.p.sim->Pulses()[1].bit, 3);
  EXPECT_EQ(b.p.sim->Pulses()[0].voltageTenths, 120);
  EXPECT_TRUE(b.p.sim->Violations().empty());

  // The full sequence after the settle wait for that one address.
  const std::vector<std::string> cycle = {
      "out 0x378 0x80", "out 0x37A 0x0F", "out 0x37A 0x0C",  // pulse idle
      "out 0x37A 0x2E", "in 0x378 0xF0",  "out 0x37A 0x0C",  // read
      "out 0x378 0x90", "out 0x37A 0x0F", "out 0x37A 0x0C",  // armed
      "out 0x378 0x40", "out 0x37A 0x0B", "out 0x37A 0x08",  // burst
      "out 0x378 0x92", "out 0x37A 0x0F", "out 0x37A 0x0C",  // bit 1
      "out 0x378 0x90", "out 0x37A 0x0F", "out 0x37A 0x0C",
      "out 0x378 0x98", "out 0x37A 0x0F", "out 0x37A 0x0C",  // bit 3
      "out 0x378 0x90", "out 0x37A 0x0F", "out 0x37A 0x0C",
      "out 0x378 0x00", "out 0x37A 0x0B", "out 0x37A 0x08",  // burst off
      "out 0x378 0x80", "out 0x37A 0x0F", "out 0x37A 0x0C"};
  // Preamble: reset (9), mode A (3), supply 0x1E (3), AddrHi(0) and AddrLo(0) hit the
  // cache, Ctrl 0x06 (3).
  ASSERT_GE(lines.size(), 18u + cycle.size());
  EXPECT_EQ(lines[12], "out 0x378 0x1E");
  EXPECT_EQ(lines[15], "out 0x378 0x06");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 18,
                                     lines.begin() + 18 + static_cast<long>(cycle.size())),
            cycle);
}

TEST(WritePass, EqualByteCostsOneReadAndNoPulse) {
  Bench b;
  b.image.RomSize = 1;
  b.params.CompMask = 0x0F;
  b.p.sim->SetWord(0, 0x05);
  b.image.RomBuffer[0] = 0x05;
  const auto lines = WriteLines(b);
  EXPECT_EQ(Count(lines, "out 0x378 0x90"), 0);
  EXPECT_EQ(Count(lines, "out 0x37A 0x2E"), 2);  // the write's read and the verify's
  EXPECT_EQ(b.view.idChanges, 0);
  EXPECT_TRUE(b.p.sim->Pulses().empty());
}

TEST(WritePass, CycleCounts) {
  auto cycles = [](int progCycles, std::uint8_t chip, std::uint8_t buffer, std::uint8_t mask,
                   std::uint32_t neverBlow = 0) {
    Bench b;
    b.image.RomSize = 1;
    b.params.CompMask = mask;
    b.params.ProgCycles = progCycles;
    b.p.sim->SetWord(0, chip);
    b.p.sim->SetNeverBlow(0, static_cast<std::uint8_t>(neverBlow));
    b.image.RomBuffer[0] = buffer;
    const auto lines = WriteLines(b);
    return std::make_pair(Count(lines, "out 0x378 0x40"), b.counters);
  };
  EXPECT_EQ(cycles(1, 0, 0x01, 0x0F, 0x01).first, 1);
  EXPECT_EQ(cycles(0, 0, 0x01, 0x0F, 0x01).first, 1);
  EXPECT_EQ(cycles(-4, 0, 0x01, 0x0F, 0x01).first, 1);
  EXPECT_EQ(cycles(10, 0, 0x01, 0x0F, 0x01).first, 10);
  // Chip bit the buffer lacks: every cycle with four empty slots, bad in the report.
  const auto bad = cycles(10, 0x01, 0x00, 0x0F);
  EXPECT_EQ(bad.first, 10);
  EXPECT_EQ(bad.second.BadCount, 1);
  // Bits outside the mask are pulsed but never compare equal: programmable.
  const auto outside = cycles(4, 0, 0x0C, 0x03);
  EXPECT_EQ(outside.first, 4);
  EXPECT_EQ(outside.second.ProgrammableCount, 1);
}

TEST(WritePass, StopsPulsingOnceTheByteMatches) {
  // Find a word whose bit 0 blows on its second pulse.
  Bench b;
  int address = 0;
  while (b.p.sim->PulsesNeeded(address, 0) != 2) ++address;
  b.image.RomSize = address + 1;
  b.params.CompMask = 0x0F;
  b.params.ProgCycles = 3;
  b.image.RomBuffer[static_cast<std::size_t>(address)] = 0x01;
  WriteLines(b);
  EXPECT_EQ(b.p.sim->Pulses().size(), 2u);
  EXPECT_EQ(b.counters.IdenticalCount, address + 1);
}

TEST(WritePass, RandomImageIntoBlankChipVerifiesIdentical) {
  Bench b;
  std::mt19937 rng(7);
  b.params.CompMask = 0x0F;
  for (int a = 0; a < 256; ++a) b.image.RomBuffer[a] = static_cast<std::uint8_t>(rng() & 0x0F);
  auto ctx = b.Ctx();
  WritePass(ctx);
  EXPECT_EQ(b.counters.IdenticalCount, 256);
  EXPECT_TRUE(b.p.sim->Violations().empty());
  for (const auto& pulse : b.p.sim->Pulses()) {
    ASSERT_EQ(pulse.widthNs, 100'000'000);
    ASSERT_TRUE((b.image.RomBuffer[pulse.address] >> pulse.bit) & 1);
  }
  for (int a = 0; a < 256; ++a) ASSERT_EQ(b.p.sim->Word(a), b.image.RomBuffer[a]);
  EXPECT_EQ(b.view.position, 255);
  EXPECT_FALSE(b.view.dumpShown);
  EXPECT_EQ(b.p.sim->SupplyTenths(), 0);
}

// A busy machine: every wait ends three times as late as asked.
class SlowClock final : public Clock {
 public:
  explicit SlowClock(VirtualClock& inner) : inner_(inner) {}
  std::int64_t NowNs() const override { return inner_.NowNs(); }
  void SleepUntilNs(std::int64_t deadline) override {
    inner_.AdvanceNs(std::max<std::int64_t>(0, deadline - inner_.NowNs()) * 3);
  }

 private:
  VirtualClock& inner_;
};

TEST(WritePass, TimeLeftFollowsThePaceOfASlowMachine) {
  struct Timed : RecordingView {
    void ShowTimeLeft(std::int64_t ns) override { left.emplace_back(clock->NowNs(), ns); }
    const Clock* clock = nullptr;
    std::vector<std::pair<std::int64_t, std::int64_t>> left;  // (when, what was said)
  };
  Bench b;
  SlowClock slow(b.p.clock);
  Timed view;
  view.clock = &slow;
  std::mt19937 rng(11);
  b.params.CompMask = 0x0F;
  for (int a = 0; a < 256; ++a) b.image.RomBuffer[a] = static_cast<std::uint8_t>(rng() & 0x0F);
  PassContext ctx{b.p.regs, slow, view, b.image, b.params, b.counters};
  WritePass(ctx);
  const std::int64_t end = slow.NowNs();
  // After a quarter of the chip, what was said is within a fifth of the truth.
  const auto [when, said] = view.left.at(63);
  const double truth = static_cast<double>(end - when);
  EXPECT_NEAR(static_cast<double>(said) / truth, 1.0, 0.2) << said << " ns said, " << truth;
}

TEST(WritePass, NegativePulseTimeGivesEmptySlots) {
  Bench b;
  b.image.RomSize = 1;
  b.params.CompMask = 0x0F;
  b.params.ProgTime = -1000;
  b.params.ProgCycles = 1;
  b.image.RomBuffer[0] = 0x01;
  WriteLines(b);
  EXPECT_EQ(b.p.clock.NowNs(), (50 + 5 + 50) * 1'000'000LL);
  ASSERT_EQ(b.p.sim->Pulses().size(), 1u);
  EXPECT_EQ(b.p.sim->Pulses()[0].widthNs, 0);
}

}  // namespace
}  // namespace pt4

namespace pt4 {
namespace {

TEST(WritePass, ParametersAtTheExtremesOf32BitsEndAndLeaveIdle) {
  const std::int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, 3, INT32_MAX};
  std::mt19937 rng(5);
  for (int trial = 0; trial < 40; ++trial) {
    Bench b;
    b.image.RomSize = 4;
    b.params.CompMask = 0x0F;
    b.params.ProgCycles = extremes[rng() % std::size(extremes)];
    b.params.ProgTime = extremes[rng() % std::size(extremes)];
    b.params.ProgVoltage = extremes[rng() % std::size(extremes)];
    for (int a = 0; a < 4; ++a) b.image.RomBuffer[a] = static_cast<std::uint8_t>(rng() & 0x0F);
    // A bit that never blows keeps every cycle busy: with a huge count only pulses
    // that blow end the pass (a short, cold or empty pulse would rightly go on
    // for two billion cycles).
    if (b.params.ProgCycles < 1000) {
      b.p.sim->SetNeverBlow(1, 0x01);
    } else {
      b.params.ProgTime = 2;
      b.params.ProgVoltage = 120;
    }
    // Four words need a few dozen bursts at most; a fault that never lets a fuse
    // blow would take two billion.
    b.view.repaintBudget = 20'000;
    auto ctx = b.Ctx();
    WritePass(ctx);
    const auto lines = b.p.Lines();
    const auto bursts = std::count(lines.begin(), lines.end(), "out 0x378 0x40");
    SCOPED_TRACE(::testing::Message() << "cycles " << b.params.ProgCycles << " time "
                                      << b.params.ProgTime << " voltage " << b.params.ProgVoltage);
    // No negative or zero count means more than one cycle per address.
    if (b.params.ProgCycles <= 1) {
      EXPECT_LE(bursts, 4);
    }
    EXPECT_EQ(b.p.sim->LatchValue(0x05), 0x80);
    EXPECT_EQ(b.p.sim->SupplyTenths(), 0);
    EXPECT_TRUE(b.view.timer);
  }
}

TEST(Passes, CtrlZMidPassIdlesThenRedoesTheAddress) {
#if defined(_WIN32)
  GTEST_SKIP() << "Windows has no Ctrl+Z to stop a program with";
#endif
  for (bool write : {false, true}) {
    Bench b;
    b.image.RomSize = 8;
    b.params.CompMask = 0x0F;
    for (int a = 0; a < 8; ++a) b.image.RomBuffer[a] = 0x05;
    SetSuspendPendingForTest(true);
    auto ctx = b.Ctx();
    if (write) {
      WritePass(ctx);
    } else {
      ScanChip(ctx, true, false);
    }
    EXPECT_FALSE(SuspendPending());
    const auto lines = b.p.Lines();
    // The idle writes came before the first address was touched again.
    const auto first = std::find(lines.begin(), lines.end(), "out 0x37A 0x09");
    const std::vector<std::string> idle = {"out 0x378 0x80", "out 0x37A 0x05", "out 0x37A 0x04",
                                           "out 0x378 0x80", "out 0x37A 0x07", "out 0x37A 0x04",
                                           "out 0x378 0x00", "out 0x37A 0x06", "out 0x37A 0x04"};
    ASSERT_NE(first, lines.end());
    EXPECT_NE(std::search(lines.begin() + 9, first, idle.begin(), idle.end()), first);
    if (write) {
      EXPECT_EQ(b.counters.IdenticalCount, 8);
      EXPECT_TRUE(b.p.sim->Violations().empty());
    } else {
      EXPECT_EQ(b.counters.ProgrammableCount, 8);
    }
  }
}

TEST(Passes, AChipFileThatCannotBeSavedEndsTheWrite) {
#if defined(_WIN32)
  GTEST_SKIP() << "Windows has no file-size limit to fill the disk with";
#else
  const auto dir = std::filesystem::temp_directory_path() / ("pt4full" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "chip.bin").string();
  Bench b;
  ASSERT_NO_THROW(b.p.sim->AttachFile(file));
  // The disk full (a file-size limit below the chip's 256 bytes): every save from
  // now on fails.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 100;
  setrlimit(RLIMIT_FSIZE, &small);
  b.params.CompMask = 0x0F;
  b.image.RomBuffer[0] = 0x01;
  auto ctx = b.Ctx();
  try {
    WritePass(ctx);
    ADD_FAILURE() << "the write reported success";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("could not be written"), std::string::npos);
  }
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(b.p.sim->SupplyTenths(), 0);
  EXPECT_EQ(b.p.sim->LatchValue(0x05), 0x80);
  std::filesystem::remove_all(dir);
#endif
}

TEST(PulseAudit, TooLongIsMoreThanATenthOrAMillisecondOver) {
  auto excessive = [](std::int64_t askedNs, std::int64_t widthNs) {
    PulseAudit a;
    a.askedNs = askedNs;
    a.widthsNs = {askedNs, widthNs};
    return a.Excessive();
  };
  // Short pulses may run 1 ms over; long ones a tenth of their width.
  EXPECT_FALSE(excessive(2'000'000, 3'000'000));
  EXPECT_TRUE(excessive(2'000'000, 3'000'001));
  EXPECT_FALSE(excessive(20'000'000, 22'000'000));
  EXPECT_TRUE(excessive(20'000'000, 22'000'001));
  EXPECT_FALSE(excessive(10'000'000, 11'000'000));
  EXPECT_TRUE(excessive(10'000'000, 11'000'001));
  EXPECT_FALSE(PulseAudit{}.Excessive());
  PulseAudit a;
  a.askedNs = 2'000'000;
  a.widthsNs = {2'001'000, 2'002'000, 2'310'000};
  EXPECT_EQ(a.Line(), "pulses: 3 of 2.000 ms, over by median 2 \u00b5s, max 310 \u00b5s");
}

// A port that lies about its data register, as a cable fault or a port without
// a reverse mode would.
class LyingPort final : public PortBackend {
 public:
  enum class Lie { None, DropsWrites, NeverLetsGo };
  LyingPort(std::unique_ptr<PortBackend> inner, Lie lie) : inner_(std::move(inner)), lie_(lie) {}
  void Out(std::uint16_t a, std::uint8_t v) override {
    if (a == PortBase) last_ = v;
    inner_->Out(a, v);
  }
  std::uint8_t In(std::uint16_t a) override {
    if (a == PortBase && lie_ == Lie::DropsWrites) return 0xFF;
    if (a == PortBase && lie_ == Lie::NeverLetsGo) return last_;
    return inner_->In(a);
  }
  std::string Describe() const override { return inner_->Describe(); }

 private:
  std::unique_ptr<PortBackend> inner_;
  Lie lie_;
  std::uint8_t last_ = 0;
};

TEST(Probe, VerdictsForEachFault) {
  using Lie = LyingPort::Lie;
  VirtualClock clock;
  const struct {
    const char* port;
    Lie lie;
    bool usable;
    const char* verdict;
  } cases[] = {
      {"sim", Lie::None, true, "verdict: the port is usable and a chip answers."},
      {"sim-nochip", Lie::None, true, "verdict: the port is usable; no chip answers."},
      {"sim", Lie::DropsWrites, false,
       "verdict: the port does not hold a byte written to it; check the cable and the port."},
      {"sim", Lie::NeverLetsGo, false,
       "verdict: the port cannot read the chip: set the port to PS/2, EPP or ECP mode in the "
       "BIOS."},
      {"lpt1", Lie::None, false, "verdict: the port cannot be used."},
  };
  for (const auto& c : cases) {
    Programmer programmer(
        std::make_unique<LyingPort>(testing::OpenedForTest(c.port, clock), c.lie));
    const ProbeResult r = Probe(programmer, clock, "");
    EXPECT_EQ(r.Usable(), c.usable) << c.verdict;
    EXPECT_EQ(r.Verdict(), c.verdict);
    EXPECT_EQ(r.Lines()[0], "port: " + programmer.Backend().Describe());
  }
}

#if defined(__linux__)  // Windows lists its ports through its device manager
TEST(Probe, KernelPortsFromProc) {
  const auto root = std::filesystem::temp_directory_path() / ("pt4proc" + std::to_string(getpid()));
  std::filesystem::create_directories(root / "proc/parport1");
  std::filesystem::create_directories(root / "proc/parport0");
  std::filesystem::create_directories(root / "dev");
  std::ofstream(root / "proc/parport0/base-addr") << "888\t1914\n";
  std::ofstream(root / "proc/parport0/modes") << "PCSPP,TRISTATE,EPP\n";
  std::ofstream(root / "proc/parport1/base-addr") << "53264\t0\n";
  std::ofstream(root / "dev/parport0");
  const auto ports = KernelPorts((root / "proc").string(), (root / "dev").string());
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0].name, "parport0");
  EXPECT_EQ(ports[0].base, "0x378 ECR 0x77A");
  EXPECT_EQ(ports[0].modes, "PCSPP,TRISTATE,EPP");
  EXPECT_TRUE(ports[0].deviceExists);
  EXPECT_EQ(ports[1].base, "0xD010");
  EXPECT_FALSE(ports[1].deviceExists);
  std::filesystem::remove_all(root);
}
#endif

#if defined(__linux__)
TEST(Ppdev, NeverDrivesTheBusAgainstTheChipOverWholePasses) {
  auto sys = std::make_shared<testing::FakePpdev>();
  Programmer programmer(std::make_unique<PpdevBackend>("/dev/parport0", PortBase, sys));
  static_cast<PpdevBackend&>(programmer.Backend()).Open();
  programmer.Start();
  VirtualClock clock;
  NullPassView view;
  RomImage image;
  image.RomSize = kChipWords;
  for (int a = 0; a < kChipWords; ++a) image.RomBuffer[a] = static_cast<std::uint8_t>(a & 0x0F);
  ProgParams params;
  params.CompMask = 0x0F;
  params.ProgCycles = 2;
  VerifyCounters counters;
  PassContext ctx{programmer.Regs(), clock, view, image, params, counters};
  ScanChip(ctx, true, true);
  WritePass(ctx);
  programmer.Release();
  const auto reads = std::count_if(sys->calls.begin(), sys->calls.end(),
                                   [](const auto& c) { return c.first == PPRDATA; });
  EXPECT_GE(reads, 3 * kChipWords);
  EXPECT_EQ(sys->contentions, 0);
  EXPECT_EQ(sys->blindStrobes, 0);
}

#endif

}  // namespace
}  // namespace pt4
