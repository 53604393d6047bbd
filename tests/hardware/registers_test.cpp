#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include "hardware/Programmer.h"
#include "tests/hardware/TraceFixture.h"

namespace pt4 {
namespace {

using Lines = std::vector<std::string>;

TEST(Registers, ResetLatchesIsNineWritesAndZeroesTheGroupCaches) {
  testing::TracedProgrammer p;
  p.regs.LatchAddrLo(0x12);
  p.regs.LatchPulse(0x90);
  p.Mark();
  p.regs.ResetLatches();
  EXPECT_EQ(p.Since(), (Lines{"out 0x378 0x80", "out 0x37A 0x05", "out 0x37A 0x04",
                              "out 0x378 0x80", "out 0x37A 0x07", "out 0x37A 0x04",
                              "out 0x378 0x00", "out 0x37A 0x06", "out 0x37A 0x04"}));
  for (Latch l : {Latch::AddrLo, Latch::AddrHi, Latch::Ctrl, Latch::Pulse, Latch::Supply}) {
    EXPECT_EQ(p.regs.Cache(l), 0);
  }
}

TEST(Registers, CacheHitsSendNothingAndForcedWritesAlwaysSend) {
  testing::TracedProgrammer p;
  p.regs.LatchModeA(0x02);
  p.Mark();
  p.regs.LatchModeA(0x82);   // same byte once bit 7 is set
  p.regs.LatchAddrLo(0x00);  // the mode write cleared the group
  EXPECT_TRUE(p.Since().empty());
  p.regs.LatchAddrLo(0x01);
  EXPECT_EQ(p.Since(), (Lines{"out 0x378 0x01", "out 0x37A 0x09", "out 0x37A 0x08"}));
  p.Mark();
  p.regs.LatchAddrLo(0x01, true);
  EXPECT_EQ(p.Since().size(), 3u);

  p.regs.ResetLatches();
  p.Mark();
  p.regs.LatchAux(0x00);
  p.regs.LatchPulse(0x00);
  p.regs.LatchCtrl(0x00);
  p.regs.LatchSupply(0x00);
  EXPECT_TRUE(p.Since().empty());
}

TEST(Registers, ModeLatchClearsOnlyItsOwnGroup) {
  testing::TracedProgrammer p;
  p.regs.LatchAux(0x33);
  p.regs.LatchAddrHi(0x44);
  p.regs.LatchCtrl(0x06);
  p.regs.LatchModeB(0x00);
  EXPECT_EQ(p.regs.Cache(Latch::Aux), 0x33);
  EXPECT_EQ(p.regs.Cache(Latch::AddrHi), 0x44);
  EXPECT_EQ(p.regs.Cache(Latch::Ctrl), 0x00);
  p.regs.LatchModeA(0x00);
  EXPECT_EQ(p.regs.Cache(Latch::AddrHi), 0x00);
  EXPECT_EQ(p.regs.Cache(Latch::Aux), 0x33);
}

TEST(Registers, EachSelectCodeLeavesOnlyItsAddressBits) {
  const std::pair<Latch, const char*> cases[] = {{Latch::AddrHi, "0x00"}, {Latch::Supply, "0x00"},
                                                 {Latch::ModeA, "0x04"},  {Latch::Aux, "0x04"},
                                                 {Latch::ModeB, "0x04"},  {Latch::AddrLo, "0x08"},
                                                 {Latch::Ctrl, "0x08"},   {Latch::Pulse, "0x0C"}};
  for (auto [latch, left] : cases) {
    testing::TracedProgrammer p;
    p.regs.WriteLatch(0x5A, SelectCode(latch));
    const auto lines = p.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "out 0x378 0x5A");
    EXPECT_EQ(lines[2], std::string("out 0x37A ") + left);
  }
}

TEST(Registers, ChipDataReadAndStatusAndPortMode) {
  testing::TracedProgrammer p;
  p.regs.ReadChipData();
  p.regs.ReadStatus();
  p.regs.InitPortMode();
  EXPECT_EQ(p.Lines(), (Lines{"out 0x37A 0x2E", "in 0x378 0xFF", "out 0x37A 0x0C", "in 0x379 0x78",
                              "out 0x77A 0x80"}));
}

// The regulator's table as its rule says: from 10.8 V to 20.7 V rows half a volt
// wide around each whole volt (bit 7 clear) and half volt (bit 7 set), the low
// nibble falling as the voltage rises; wider rows below and above; 0x8F off it.
std::uint8_t SupplyByRule(int tenths) {
  if (tenths >= 108 && tenths <= 207) {
    const int centre = (tenths + 2) / 5 * 5;
    if (centre % 10 == 0) return static_cast<std::uint8_t>(0x0F - (centre - 110) / 10);
    return static_cast<std::uint8_t>(0x80 | (0x09 - (centre - 115) / 10));
  }
  const std::tuple<int, int, int> outer[] = {{61, 70, 0x8E},   {71, 80, 0x8D},   {81, 90, 0x8C},
                                             {91, 100, 0x8B},  {101, 107, 0x8A}, {208, 215, 0x05},
                                             {216, 225, 0x04}, {226, 235, 0x03}, {236, 245, 0x02},
                                             {246, 255, 0x01}, {256, 270, 0x00}};
  for (auto [lo, hi, code] : outer) {
    if (tenths >= lo && tenths <= hi) return static_cast<std::uint8_t>(code);
  }
  return 0x8F;
}

TEST(Registers, SupplyCodeForEveryTenthOfAVolt) {
  for (int tenths = 0; tenths <= 300; ++tenths)
    EXPECT_EQ(SupplyCode(static_cast<std::uint16_t>(tenths)), SupplyByRule(tenths)) << tenths;
  EXPECT_EQ(SupplyCode(65535), 0x8F);
  // Worked rows, so that the rule above cannot drift with the table.
  EXPECT_EQ(SupplyCode(120), 0x0E);
  EXPECT_EQ(SupplyCode(172), 0x09);
  EXPECT_EQ(SupplyCode(173), 0x83);
}

TEST(Registers, SetSupplyComposesSelectorCodeAndModifier) {
  auto sent = [](std::uint8_t s, std::uint16_t t, std::uint8_t m) {
    testing::TracedProgrammer p;
    p.regs.SetSupply(s, t, m);
    const auto lines = p.Lines();
    EXPECT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "out 0x37A 0x03");
    return lines.empty() ? std::string() : lines[0].substr(10);
  };
  EXPECT_EQ(sent(0x32, 55, 0x78), "0xDF");  // the read pass
  EXPECT_EQ(sent(0x32, 120, 0x8C), "0x1E");
  const char* dialog[] = {"0x9A", "0x1F", "0x99", "0x1E", "0x98",
                          "0x1D", "0x97", "0x1C", "0x96", "0x1B"};
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(sent(0x32, static_cast<std::uint16_t>(105 + 5 * i), 0x8C), dialog[i]);
  EXPECT_EQ(sent(0x43, 256, 0x00), "0x43");  // 'C' and a plain 0 pass unchanged
  EXPECT_EQ(sent(0x38, 256, 0x58), "0x78");  // '8' and 'X' too
  EXPECT_EQ(sent('-', 271, 0x00), "0x8F");
  EXPECT_EQ(sent('7', 256, 0x00), "0x20");
  // The selectors '9' to 'B' all route to the programming pin; their neighbours pass unchanged.
  for (char sel : {'9', 'A', 'B'}) EXPECT_EQ(sent(sel, 256, 0x00), "0x40") << sel;
  EXPECT_EQ(sent('8', 256, 0x00), "0x38");

  testing::TracedProgrammer p;
  p.regs.SetSupply(0x32, 120, 0x8C);
  p.regs.SetSupply(0x32, 120, 0x8C);
  EXPECT_EQ(p.Lines().size(), 3u);
  p.regs.LatchModeB(0);
  p.Mark();
  p.regs.SetSupply(0x32, 120, 0x8C);
  EXPECT_EQ(p.Since().size(), 3u);
}

TEST(Registers, EmergencyIdleDropsThePulseBeforeTheAddressAndACrashSendsTheSame) {
  Lines ready;
  for (const PortWrite& w : EmergencyIdleWrites()) {
    char line[32];
    std::snprintf(line, sizeof line, "out 0x%03X 0x%02X", w.address, w.value);
    ready.push_back(line);
  }
  for (bool crash : {false, true}) {
    testing::TracedProgrammer p;
    p.regs.LatchModeA(2);
    p.regs.SetSupply('2', 120, 0x8C);
    p.regs.LatchAddrLo(7);
    p.regs.LatchCtrl(0x40);
    p.port->Hold(true);  // a pulse on the way up: its trace lines are held
    p.regs.LatchPulse(0x91);
    p.Mark();
    const auto check = [&] {
      const Lines lines = p.Since();
      // The held lines of the pulse come first, then the ready writes: the lines
      // back to output, and the pulse latch off before any address.
      ASSERT_EQ(lines.size(), 16u) << crash;
      EXPECT_EQ(Lines(lines.begin() + 3, lines.end()), ready) << crash;
      EXPECT_EQ(lines[3], "out 0x37A 0x0C");
      EXPECT_EQ(lines[4], "out 0x378 0x80");
      EXPECT_EQ(lines[5], "out 0x37A 0x0F");
      EXPECT_TRUE(p.sim->Violations().empty()) << p.sim->Violations()[0].what;
      EXPECT_EQ(p.sim->LatchValue(SelectCode(Latch::ModeA)), 0x80) << crash;
      EXPECT_EQ(p.sim->SupplyTenths(), 0) << crash;
      EXPECT_FALSE(p.sim->ChipPowered()) << crash;
    };
    if (crash) {
      // From a signal handler: the ready writes, straight through the tracer.
      Programmer owner(std::move(p.trace));
      owner.CrashIdle();
      check();
    } else {
      p.regs.EmergencyIdle();
      check();
    }
  }
}

}  // namespace
}  // namespace pt4
