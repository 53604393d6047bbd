#include <gtest/gtest.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "hardware/DirectPort.h"
#include "hardware/PpdevBackend.h"
#include "hardware/TracingBackend.h"

namespace pt4 {
namespace {

// Stands in for the kernel: records every ioctl with its argument.
class FakePpdev : public PpdevSys {
 public:
  int Open(const char*, int) override {
    if (openErrno != 0) {
      errno = openErrno;
      return -1;
    }
    return 7;
  }
  int Ioctl(int, unsigned long request, void* arg) override {
    int value = -1;
    if (request == PPDATADIR) value = *static_cast<int*>(arg);
    if (request == PPWDATA || request == PPWCONTROL) value = *static_cast<unsigned char*>(arg);
    if (request == PPRDATA || request == PPRSTATUS) *static_cast<unsigned char*>(arg) = 0xA5;
    calls.emplace_back(request, value);
    if (request == PPCLAIM && claimErrno != 0) {
      errno = claimErrno;
      return -1;
    }
    return 0;
  }
  int Close(int) override {
    ++closes;
    return 0;
  }
  std::vector<std::pair<unsigned long, int>> calls;
  int openErrno = 0, claimErrno = 0, closes = 0;
};

TEST(Ppdev, ClaimsExclusivelyAndSendsDirectionOnlyWhenItChanges) {
  auto sys = std::make_shared<FakePpdev>();
  PpdevBackend b("/dev/parport0", 0x378, sys);
  b.Open();
  b.Out(0x37A, 0x05);
  b.Out(0x37A, 0x04);
  b.Out(0x37A, 0x2E);
  EXPECT_EQ(b.In(0x378), 0xA5);
  b.Out(0x37A, 0x0C);
  b.Out(0x378, 0x80);
  b.Out(0x77A, 0x80);  // the ECR: nothing to send
  EXPECT_EQ(b.In(0x379), 0xA5);
  b.Release();
  using C = std::pair<unsigned long, int>;
  const std::vector<C> want = {
      {PPEXCL, -1},    {PPCLAIM, -1},      {PPDATADIR, 0}, {PPWCONTROL, 0x05}, {PPWCONTROL, 0x04},
      {PPDATADIR, 1},  {PPWCONTROL, 0x0E}, {PPRDATA, -1},  {PPDATADIR, 0},     {PPWCONTROL, 0x0C},
      {PPWDATA, 0x80}, {PPRSTATUS, -1},    {PPRELEASE, -1}};
  EXPECT_EQ(sys->calls, want);
  EXPECT_EQ(sys->closes, 1);
  b.Release();
  EXPECT_EQ(sys->closes, 1);
}

TEST(Ppdev, RefusalsAreReportedByTheFirstAccessWithARemedy) {
  auto sys = std::make_shared<FakePpdev>();
  sys->openErrno = EACCES;
  PpdevBackend denied("/dev/parport0", 0x378, sys);
  denied.Open();  // says nothing yet
  try {
    denied.Out(0x378, 0);
    FAIL();
  } catch (const PortError& e) {
    const std::string text = e.what();
    EXPECT_NE(text.find("/dev/parport0"), std::string::npos);
    EXPECT_NE(text.find("Permission denied"), std::string::npos);
    EXPECT_NE(text.find("group lp"), std::string::npos);
  }

  auto busy = std::make_shared<FakePpdev>();
  busy->claimErrno = EBUSY;
  PpdevBackend held("/dev/parport1", 0x378, busy);
  held.Open();
  EXPECT_THROW(held.In(0x379), PortError);
  EXPECT_EQ(busy->closes, 1);

  auto ok = std::make_shared<FakePpdev>();
  PpdevBackend b("/dev/parport0", 0x378, ok);
  b.Open();
  EXPECT_THROW(b.Out(0x379, 1), PortError);
  EXPECT_THROW(b.In(0x3BC), PortError);
  b.Release();
  EXPECT_THROW(b.Out(0x378, 1), PortError);  // nothing touches the port after release
}

TEST(Tracing, LineFormat) {
  EXPECT_EQ(TraceLine(1'204'000, true, 0x37A, 0x05), "0.001204 out 0x37A 0x05");
  EXPECT_EQ(TraceLine(12'345'678'901, false, 0x378, 0xF3), "12.345678 in 0x378 0xF3");
  EXPECT_EQ(TraceLine(0, true, 0x77A, 0x80), "0.000000 out 0x77A 0x80");
}

TEST(PortChoice, EnvironmentValues) {
  using K = PortChoice::Kind;
  EXPECT_EQ(ParsePortChoice(nullptr, true).device, "/dev/parport0");
  EXPECT_EQ(ParsePortChoice(nullptr, false).kind, K::Direct);
  EXPECT_EQ(ParsePortChoice("", false).kind, K::Direct);
  EXPECT_EQ(ParsePortChoice("/dev/parport2", false).device, "/dev/parport2");
  EXPECT_EQ(ParsePortChoice("ppdev:/dev/x", false).device, "/dev/x");
  EXPECT_EQ(ParsePortChoice("ppdev", false).device, "/dev/parport0");
  EXPECT_EQ(ParsePortChoice("direct", true).kind, K::Direct);
  const auto sim = ParsePortChoice("sim", true);
  EXPECT_EQ(sim.kind, K::Sim);
  EXPECT_TRUE(sim.chipFile.empty());
  EXPECT_EQ(ParsePortChoice("sim:/tmp/chip.bin", true).chipFile, "/tmp/chip.bin");
  EXPECT_TRUE(ParsePortChoice("sim-nochip", true).noChip);
  EXPECT_EQ(ParsePortChoice("sim:", true).kind, K::Invalid);
  EXPECT_EQ(ParsePortChoice("lpt1", true).kind, K::Invalid);
}

TEST(PortChoice, UnknownValueFailsAtFirstAccessAndMissingChipFolderAtStart) {
  VirtualClock clock;
  auto bad = OpenBackend(ParsePortChoice("lpt1", false), "", clock);
  try {
    bad->Out(0x378, 0);
    FAIL();
  } catch (const PortError& e) {
    EXPECT_NE(std::string(e.what()).find("lpt1"), std::string::npos);
  }
  EXPECT_THROW(OpenBackend(ParsePortChoice("sim:/nonexistent/dir/chip", false), "", clock),
               StartupFailure);
}

}  // namespace
}  // namespace pt4
