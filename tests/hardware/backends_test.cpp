#include <gtest/gtest.h>

#if defined(__linux__)  // the kernel's ppdev driver, faked
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

#include <cerrno>

#include "hardware/OpenPort.h"
#include "hardware/ParallelPorts.h"
#include "hardware/PortKinds.h"
#include "hardware/PpdevBackend.h"
#include "hardware/Programmer.h"
#include "hardware/TracingBackend.h"
#include "tests/hardware/TraceFixture.h"
#if defined(__linux__)
#include "tests/hardware/FakePpdev.h"
#endif

namespace pt4 {
namespace {

#if defined(__linux__)
using testing::FakePpdev;

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
  // The first strobe: the lines driven before it rises, whatever the kernel left.
  // Into a read: input first, then the select. Out of it: the select first.
  const std::vector<C> want = {
      {PPEXCL, -1},       {PPCLAIM, -1},   {PPWCONTROL, 0x04}, {PPDATADIR, 0}, {PPWCONTROL, 0x05},
      {PPWCONTROL, 0x04}, {PPDATADIR, 1},  {PPWCONTROL, 0x0E}, {PPRDATA, -1},  {PPWCONTROL, 0x0C},
      {PPDATADIR, 0},     {PPWDATA, 0x80}, {PPRSTATUS, -1},    {PPRELEASE, -1}};
  EXPECT_EQ(sys->calls, want);
  EXPECT_EQ(sys->openFlags, O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  // The file looked at is the file opened: never the name a second time.
  EXPECT_EQ(sys->openedPath, "/proc/self/fd/6");
  EXPECT_EQ(sys->pathCloses, 1);
  EXPECT_EQ(sys->closes, 1);
  b.Release();
  EXPECT_EQ(sys->closes, 1);
}

TEST(Ppdev, AnEndInTheMiddleOfAReadTurnsTheLinesBackBeforeAnyStrobe) {
  for (bool crash : {false, true}) {
    auto sys = std::make_shared<FakePpdev>();
    Programmer programmer(std::make_unique<PpdevBackend>("/dev/parport0", PortBase, sys));
    static_cast<PpdevBackend&>(programmer.Backend()).Open();
    programmer.Start();
    programmer.Backend().Out(PortBase + 2, kChipDataRead);  // the chip read's select, no restore
    ASSERT_EQ(sys->direction, 1);
    if (crash) {
      programmer.CrashIdle();
    } else {
      programmer.EmergencyIdle();
    }
    EXPECT_EQ(sys->blindStrobes, 0) << crash;
    EXPECT_EQ(sys->direction, 0) << crash;
    EXPECT_EQ(sys->control, 0x04) << crash;
  }
}

TEST(Ppdev, RefusalsAreReportedByTheFirstAccessWithARemedy) {
  auto sys = std::make_shared<FakePpdev>();
  sys->openErrno = EACCES;
  PpdevBackend denied("/dev/parport0", 0x378, sys);
  denied.Open();  // says nothing yet
  try {
    denied.Out(0x378, 0);
    FAIL();
  } catch (const Error& e) {
    const std::string text = e.what();
    EXPECT_NE(text.find("/dev/parport0"), std::string::npos);
    EXPECT_NE(text.find("Permission denied"), std::string::npos);
    EXPECT_NE(text.find("group lp"), std::string::npos);
    // A first start without the port's rights still leads somewhere.
    EXPECT_NE(text.find("PT4_PORT=sim"), std::string::npos);
  }

  // What the kernel says, and what the user is told to do about it.
  const struct {
    bool claim;
    int err;
    const char* advice;
  } cases[] = {{false, ENOENT, "modprobe ppdev parport_pc"},
               {false, ENOENT, "the simulated one: PT4_PORT=sim"},
               {false, ENODEV, "modprobe ppdev parport_pc"},
               {false, EPERM, "group lp"},
               {true, ENXIO, "in use by another program"},
               {true, EBUSY, "in use by another program"}};
  for (const auto& c : cases) {
    auto busy = std::make_shared<FakePpdev>();
    (c.claim ? busy->claimErrno : busy->openErrno) = c.err;
    PpdevBackend held("/dev/parport1", 0x378, busy);
    held.Open();
    try {
      held.In(0x379);
      ADD_FAILURE() << c.err;
    } catch (const Error& e) {
      const std::string text = e.what();
      EXPECT_NE(text.find(c.advice), std::string::npos) << text;
      // Every sentence starts with a capital letter.
      for (std::size_t at = text.find(". "); at != std::string::npos;
           at = text.find(". ", at + 1)) {
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(text[at + 2]))) << text;
      }
    }
    EXPECT_EQ(busy->closes, c.claim ? 1 : 0);
  }

  // Anything but a ppdev device is refused before it is opened for writing;
  // one that changed between the look and the open is given back unclaimed.
  const struct {
    mode_t mode;
    dev_t device, opened;
    const char* what;
  } others[] = {
      {S_IFCHR, makedev(1, 3), makedev(1, 3), "a character device (1:3) of another driver"},
      {S_IFIFO, 0, 0, "a FIFO"},
      {S_IFREG, 0, 0, "a regular file"},
      {S_IFBLK, makedev(8, 0), 0, "a block device (8:0), a disk"},
      {S_IFCHR, makedev(99, 0), makedev(4, 1), "a character device (4:1)"}};
  for (const auto& o : others) {
    auto other = std::make_shared<FakePpdev>();
    other->named = o.mode | 0666;
    other->namedDevice = o.device;
    other->opened = o.opened;
    PpdevBackend b("/tmp/x", 0x378, other);
    b.Open();
    try {
      b.Out(0x378, 0);
      ADD_FAILURE() << o.what;
    } catch (const Error& e) {
      const std::string text = e.what();
      EXPECT_EQ(text.rfind("/tmp/x is not a parallel port: it is ", 0), 0u) << text;
      EXPECT_NE(text.find(o.what), std::string::npos) << text;
    }
    const bool changed = S_ISCHR(o.mode) && major(o.device) == 99;
    EXPECT_EQ(other->opens, changed ? 1 : 0) << o.what;
    EXPECT_EQ(other->closes, changed ? 1 : 0) << o.what;
    EXPECT_EQ(other->pathCloses, other->pathOpens) << o.what;
    EXPECT_TRUE(std::none_of(other->calls.begin(), other->calls.end(),
                             [](const auto& c) { return c.first == PPCLAIM; }));
  }

  auto ok = std::make_shared<FakePpdev>();
  PpdevBackend b("/dev/parport0", 0x378, ok);
  b.Open();
  EXPECT_THROW(b.Out(0x379, 1), Error);
  EXPECT_THROW(b.In(0x3BC), Error);
  b.Release();
  EXPECT_THROW(b.Out(0x378, 1), Error);  // nothing touches the port after release
}

#endif

TEST(Tracing, LineFormat) {
  EXPECT_EQ(TraceLine(1'204'000, true, 0x37A, 0x05), "0.001204 out 0x37A 0x05");
  EXPECT_EQ(TraceLine(12'345'678'901, false, 0x378, 0xF3), "12.345678 in 0x378 0xF3");
  EXPECT_EQ(TraceLine(0, true, 0x77A, 0x80), "0.000000 out 0x77A 0x80");
}

// What a sudo rule may reach: the registers the system lists as a parallel
// port's, and nothing on either side of them.
TEST(PortChoice, OnlyListedParallelPortRegisters) {
  const auto parport = ParportRegions(
      "0000-0cf7 : PCI Bus 0000:00\n  01f0-01f7 : ata_piix\n  0378-037a : parport0\n"
      "  0778-077a : parport0\n0000-0000 : parport1\nd000-dfff : PCI Bus 0000:05\n");
  ASSERT_EQ(parport.size(), 2u);  // an ordinary user's zeros are no region
  EXPECT_EQ(parport[1].first, 0x778);
  EXPECT_EQ(parport[1].last, 0x77A);
  const std::string bars =
      "0x000000000000d010 0x000000000000d017 0x0000000000040101\n"
      "0x000000000000d000 0x000000000000d003 0x0000000000040101\n"
      "0x00000000fe000000 0x00000000fe000fff 0x0000000000040200\n"
      "0x0000000000000000 0x0000000000000000 0x0000000000000000\n";
  const auto card = PciParallelRanges("0x070102\n", bars, "0000:05:00.0");
  ASSERT_EQ(card.size(), 2u);  // the memory range is no I/O register
  EXPECT_EQ(RangeList(card), "0xD010-0xD017 (PCI 0000:05:00.0), 0xD000-0xD003 (PCI 0000:05:00.0)");
  EXPECT_TRUE(PciParallelRanges("0x070002\n", bars, "serial").empty());
  EXPECT_TRUE(PciParallelRanges("0x010601\n", bars, "disk").empty());
  const auto legacy = LegacyParallelRanges();
  EXPECT_TRUE(InsideOne(legacy, 0x378, 3));
  EXPECT_TRUE(InsideOne(legacy, 0x77A, 1));
  EXPECT_TRUE(InsideOne(legacy, 0x3BC, 3));
  EXPECT_FALSE(InsideOne(legacy, 0x3BE, 3));  // runs past LPT's end
  EXPECT_FALSE(InsideOne(legacy, 0x1F0, 3));
  EXPECT_FALSE(InsideOne(legacy, 0x3F6, 1));
  EXPECT_TRUE(InsideOne(card, 0xD010, 3));
  EXPECT_TRUE(InsideOne(card, 0xD002, 1));
  EXPECT_FALSE(InsideOne(card, 0xD016, 3));
}

TEST(PortChoice, EnvironmentValues) {
  using K = PortChoice::Kind;
  // Unset or empty is ppdev on the first port: direct port I/O only when it is
  // named. Windows has no ppdev: there it is the InpOut32 driver at 0x378.
  for (const char* unset : {static_cast<const char*>(nullptr), "", "ppdev"}) {
#ifdef _WIN32
    if (unset == nullptr || *unset == 0) {
      EXPECT_EQ(ParsePortChoice(unset).kind, K::Direct);
      EXPECT_EQ(ParsePortChoice(unset).base, 0x378);
      continue;
    }
#endif
    EXPECT_EQ(ParsePortChoice(unset).kind, K::Ppdev);
    EXPECT_EQ(ParsePortChoice(unset).device, "/dev/parport0");
  }
  EXPECT_EQ(ParsePortChoice("/dev/parport2").device, "/dev/parport2");
  EXPECT_EQ(ParsePortChoice("ppdev:/dev/x").device, "/dev/x");
  EXPECT_EQ(ParsePortChoice("ppdev").device, "/dev/parport0");
  EXPECT_EQ(ParsePortChoice("direct").kind, K::Direct);
  const auto sim = ParsePortChoice("sim");
  EXPECT_EQ(sim.kind, K::Sim);
  EXPECT_TRUE(sim.chipFile.empty());
  EXPECT_EQ(ParsePortChoice("sim:/tmp/chip.bin").chipFile, "/tmp/chip.bin");
  EXPECT_TRUE(ParsePortChoice("sim-nochip").noChip);
  const auto card = ParsePortChoice("direct:0xD010");
  EXPECT_EQ(card.kind, K::Direct);
  EXPECT_EQ(card.base, 0xD010);
  EXPECT_EQ(card.ecr, 0xD010 + 0x402);
  const auto withEcr = ParsePortChoice("direct:0xd010,ecr=0xD000");
  EXPECT_EQ(withEcr.base, 0xD010);
  EXPECT_EQ(withEcr.ecr, 0xD000);
  EXPECT_EQ(ParsePortChoice("direct:0x0278").base, 0x278);
  EXPECT_EQ(ParsePortChoice("direct:0x3BC").ecr, 0x7BE);
  EXPECT_EQ(ParsePortChoice("direct:0xCF4").kind, K::Direct);  // ends just below the PCI ports
  // Only addresses a parallel port can have, written as plain hex digits.
  for (const char* bad : {"direct:",
                          "direct:378",
                          "direct:0x",
                          "direct:0x10000",
                          "direct:0xD010,",
                          "direct:0xD010,ecr",
                          "direct:0xD010,ecr=zz",
                          "direct:0xD01G",
                          "direct:0x 378",
                          "direct:0x+378",
                          "direct:0x-378",
                          "direct:0x379",
                          "direct:0x37A",
                          "direct:0xFC",
                          "direct:0x0",
                          "direct:0xCF8",
                          "direct:0xCFC",
                          "direct:0xCF6",
                          "direct:0xFFFC",
                          "direct:0xD010,ecr=0xCF8",
                          "direct:0xD010,ecr=0x20",
                          "direct:0xD010,ecr=0x+20"}) {
    EXPECT_EQ(ParsePortChoice(bad).kind, K::Invalid) << bad;
  }
  EXPECT_EQ(ParsePortChoice("sim:").kind, K::Invalid);
  EXPECT_EQ(ParsePortChoice("lpt1").kind, K::Invalid);
}

TEST(PortChoice, UnknownValueFailsAtFirstAccessAndMissingChipFolderAtStart) {
  VirtualClock clock;
  auto bad = testing::OpenedForTest("lpt1", clock);
  try {
    bad->Out(0x378, 0);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::Port);
    const std::string said = e.what();
    EXPECT_NE(said.find("lpt1"), std::string::npos);
    // Every kind this system offers is named, and a rule only where it was broken.
    for (const PortKindRow& row : PortKinds()) {
      EXPECT_EQ(said.find(row.form) != std::string::npos, row.listed) << row.form << ": " << said;
    }
    EXPECT_EQ(said.find("multiple of 4"), std::string::npos) << said;
  }
  PortChoice misaligned = ParsePortChoice("direct:0x379");
  EXPECT_NE(English(PortNotUnderstood(misaligned)).find("multiple of 4"), std::string::npos);
  // A file the port needs is the user's file, not the port: a chip file or a
  // trace in a missing folder is a file error, however the port is.
  PortChoice chip = ParsePortChoice("sim:/nonexistent/dir/chip"), trace = ParsePortChoice("sim");
  trace.traceFile = "/nonexistent/dir/trace";
  for (const PortChoice& choice : {chip, trace}) {
    try {
      OpenedPort opened = OpenPortAccess(choice, clock);
      CompleteBackend(opened, choice, clock);
      ADD_FAILURE() << choice.text;
    } catch (const Error& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::File) << e.what();
      EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/"), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace pt4
