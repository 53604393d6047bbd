#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "image/FileUtil.h"
#include "tests/hardware/TraceFixture.h"

namespace pt4 {
namespace {

// The text of the FileError that `attach` throws, or empty when it throws none.
template <typename F>
std::string Refusal(F attach) {
  try {
    attach();
  } catch (const Error& e) {
    return e.what();
  }
  return {};
}

// Drives one programming burst on `bit` of the word at `address` for `ms`.
void PulseNs(testing::TracedProgrammer& p, int address, int bit, std::int64_t ns,
             int tenths = 120) {
  p.regs.ResetLatches();
  p.regs.LatchModeA(2);
  p.regs.SetSupply('2', static_cast<std::uint16_t>(tenths), 0x8C);
  p.regs.LatchAddrLo(static_cast<std::uint8_t>(address));
  p.regs.LatchCtrl(0x06);
  p.clock.AdvanceNs(50'000'000);
  p.regs.LatchPulse(0x80);
  p.regs.LatchPulse(0x90);
  p.regs.LatchCtrl(0x40);
  p.regs.LatchPulse(static_cast<std::uint8_t>(0x90 | (1 << bit)));
  p.clock.AdvanceNs(ns);
  p.regs.LatchPulse(0x90);
  p.regs.LatchCtrl(0x00);
  p.regs.LatchPulse(0x80);
  p.regs.ResetLatches();
}
void Pulse(testing::TracedProgrammer& p, int address, int bit, int ms, int tenths = 120) {
  PulseNs(p, address, bit, static_cast<std::int64_t>(ms) * 1'000'000, tenths);
}

std::uint8_t ReadWord(testing::TracedProgrammer& p, int address) {
  p.regs.ResetLatches();
  p.regs.LatchModeA(2);
  p.regs.SetSupply('2', 55, 'x');
  p.regs.LatchAddrLo(static_cast<std::uint8_t>(address));
  const std::uint8_t v = p.regs.ReadChipData();
  p.regs.ResetLatches();
  return v;
}

TEST(Sim, ReadsTheWordInTheLowBitsWithTheHighBitsPulledUp) {
  testing::TracedProgrammer p;
  p.sim->SetWord(5, 0x0A);
  EXPECT_EQ(ReadWord(p, 5), 0xFA);
  EXPECT_EQ(ReadWord(p, 4), 0xF0);
  // Unpowered (idle mode latch): nothing drives the lines.
  p.regs.LatchAddrLo(5);
  EXPECT_EQ(p.regs.ReadChipData(), 0xFF);
  p.sim->SetChipPresent(false);
  EXPECT_EQ(ReadWord(p, 5), 0xFF);
}

TEST(Sim, ALatchTakesItsValueOnlyAtItsSelectCode) {
  testing::TracedProgrammer p;
  p.port->PortOut(0x378, 0x42);
  p.port->PortOut(0x37A, 0x08);  // address bits of AddrLo without the strobe
  EXPECT_EQ(p.sim->LatchValue(0x09), 0);
  p.port->PortOut(0x37A, 0x09);
  EXPECT_EQ(p.sim->LatchValue(0x09), 0x42);
  p.port->PortOut(0x378, 0x43);  // data change while the strobe stays up
  EXPECT_EQ(p.sim->LatchValue(0x09), 0x42);
  p.port->PortOut(0x37A, 0x08);
  EXPECT_EQ(p.sim->LatchValue(0x0B), 0);
  EXPECT_EQ(p.sim->LatchValue(0x01), 0);
  // A mode latch clears its group in the hardware as in the caches.
  p.regs.LatchModeA(0);
  EXPECT_EQ(p.sim->LatchValue(0x09), 0);
  p.regs.WriteLatch(0x11, 0x0D);
  ASSERT_EQ(p.sim->Violations().size(), 1u);
  EXPECT_NE(p.sim->Violations()[0].what.find("0x0D"), std::string::npos);
}

TEST(Sim, FuseBlowsOnlyAfterItsQualifyingPulses) {
  testing::TracedProgrammer p;
  const int needed = p.sim->PulsesNeeded(9, 2);
  ASSERT_GE(needed, 1);
  ASSERT_LE(needed, 3);
  for (int i = 0; i < needed - 1; ++i) Pulse(p, 9, 2, 100);
  EXPECT_EQ(p.sim->Word(9), 0);
  Pulse(p, 9, 2, 100);
  EXPECT_EQ(p.sim->Word(9), 0x04);
  EXPECT_TRUE(p.sim->Violations().empty());
  ASSERT_EQ(p.sim->Pulses().size(), static_cast<std::size_t>(needed));
  const SimPulse& last = p.sim->Pulses().back();
  EXPECT_EQ(last.address, 9);
  EXPECT_EQ(last.bit, 2);
  EXPECT_EQ(last.widthNs, 100'000'000);
  EXPECT_EQ(last.voltageTenths, 120);
}

TEST(Sim, ShortLowOrUnburstPulsesNeverBlow) {
  testing::TracedProgrammer p;
  for (int i = 0; i < 5; ++i) Pulse(p, 1, 0, 0);          // too short
  for (int i = 0; i < 5; ++i) PulseNs(p, 1, 2, 999'999);  // a microsecond short of 1 ms
  for (int i = 0; i < 5; ++i) Pulse(p, 1, 1, 100, 100);   // 10.0 V: below 10.5 V
  EXPECT_EQ(p.sim->Word(1), 0);
  EXPECT_TRUE(p.sim->Violations().empty());
  for (const auto& pulse : p.sim->Pulses()) EXPECT_FALSE(pulse.qualified);
  // Exactly 1 ms at exactly 10.5 V is enough (pt4cli's --time 1, the dialog's lowest voltage).
  for (int i = 0; i < p.sim->PulsesNeeded(1, 2); ++i) PulseNs(p, 1, 2, 1'000'000, 105);
  EXPECT_EQ(p.sim->Word(1), 0x04);
  p.sim->SetWord(1, 0);

  // A pulse with no burst (control latch without 0x40) is a violation and blows nothing.
  p.regs.LatchModeA(2);
  p.regs.SetSupply('2', 120, 0x8C);
  p.regs.LatchAddrLo(3);
  for (int i = 0; i < 4; ++i) {
    p.regs.LatchPulse(0x91);
    p.clock.AdvanceNs(100'000'000);
    p.regs.LatchPulse(0x90);
  }
  EXPECT_EQ(p.sim->Word(3), 0);
  ASSERT_FALSE(p.sim->Violations().empty());
  EXPECT_NE(p.sim->Violations()[0].what.find("outside a burst"), std::string::npos);
}

TEST(Sim, FaultsAndProtocolViolations) {
  testing::TracedProgrammer p;
  p.sim->SetNeverBlow(2, 0x01);
  for (int i = 0; i < 4; ++i) Pulse(p, 2, 0, 100);
  EXPECT_EQ(p.sim->Word(2), 0);

  // Address change while a pulse is raised, then voltage left on at release.
  p.regs.LatchModeA(2);
  p.regs.SetSupply('2', 120, 0x8C);
  p.regs.LatchCtrl(0x40);
  p.regs.LatchPulse(0x92);
  p.regs.LatchAddrLo(8);
  p.sim->Release();
  std::vector<std::string> what;
  for (const auto& v : p.sim->Violations()) what.push_back(v.what);
  ASSERT_EQ(what.size(), 3u);
  EXPECT_EQ(what[0], "address change during a pulse");
  EXPECT_EQ(what[1], "programming voltage still applied when the port is released");
  EXPECT_EQ(what[2], "pulse still raised when the port is released");
  EXPECT_THROW(p.port->PortOut(0x378, 0), Error);
}

TEST(Sim, ChipFileSurvivesARestart) {
  const auto dir = std::filesystem::temp_directory_path() / ("pt4sim" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "chip.bin").string();
  {
    testing::TracedProgrammer p;
    ASSERT_NO_THROW(p.sim->AttachFile(file));
    EXPECT_EQ(std::filesystem::file_size(file), 256u);
    for (int i = 0; i < 3; ++i) Pulse(p, 0x41, 3, 100);
    p.sim->Release();
  }
  {
    testing::TracedProgrammer p;
    ASSERT_NO_THROW(p.sim->AttachFile(file));
    EXPECT_EQ(p.sim->Word(0x41), 0x08);
    EXPECT_EQ(ReadWord(p, 0x41), 0xF8);
    // While one programmer has the chip, a second one is refused: two programs
    // writing one chip file would each lose the other's fuses.
    testing::TracedProgrammer second;
    EXPECT_EQ(Refusal([&] { second.sim->AttachFile(file); }),
              "The chip file " + file + " is in use by another program.");
    EXPECT_THROW(second.sim->AttachFiles({(dir / "other.bin").string(), file}), Error);
  }
  // A new chip file is its user's alone: another user who could read it could
  // lock it and stop the owner's runs.
#ifndef _WIN32
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
  {
    // A tray may name one chip twice, by any name: the second place finds what
    // the first programmed.
    testing::TracedProgrammer p;
    ASSERT_NO_THROW(p.sim->AttachFiles({file, (dir / "." / "chip.bin").string()}));
    for (int i = 0; i < 3; ++i) Pulse(p, 0x42, 0, 100);
    p.sim->NextChip();
    EXPECT_EQ(p.sim->Word(0x42), 0x01);
    EXPECT_EQ(p.sim->Word(0x41), 0x08);
  }
  // A write killed mid-way left its temporary beside the chip: the next start
  // clears it, and nothing else of the folder.
  std::ofstream(dir / ".chip.bin.a1B2c3") << "half";
  std::ofstream(dir / ".chip.bin.keep-me") << "not ours";
  {
    testing::TracedProgrammer p;
    ASSERT_NO_THROW(p.sim->AttachFile(file));
    EXPECT_FALSE(std::filesystem::exists(dir / ".chip.bin.a1B2c3"));
    EXPECT_TRUE(std::filesystem::exists(dir / ".chip.bin.keep-me"));
  }
  std::ofstream(dir / "short.bin") << "abc";
  testing::TracedProgrammer p;
  EXPECT_NE(Refusal([&] { p.sim->AttachFile((dir / "short.bin").string()); }).find("3 bytes"),
            std::string::npos);
  // A file refused is not held: another programmer may take it (once mended).
  std::ofstream(dir / "short.bin") << std::string(256, '\0');
  {
    testing::TracedProgrammer other;
    EXPECT_NO_THROW(other.sim->AttachFile((dir / "short.bin").string()));
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace pt4
