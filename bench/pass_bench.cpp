// Full passes on the simulated programmer with the real clock, as ratios to the
// physical limit (the sum of the waits the hardware needs).
//   pass_bench                read and compare through the core
//   pass_bench --window       read and compare through the offscreen main window
//   pass_bench --write MS     a random image into a blank chip at pulse time MS
//       [--repeat-until S]    more blank chips until S seconds have passed
//       [--widths FILE]       every pulse's overshoot in microseconds, one a line
#include <sched.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "gui/mainwindow/MainState.h"
#include "gui/mainwindow/TForm1.h"
#include "gui/params/TForm2.h"
#include "hardware/DirectPort.h"
#include "hardware/Programmer.h"
#include "hardware/Realtime.h"
#include "hardware/SimProgrammer.h"
#include "operations/Passes.h"

using namespace pt4;

namespace {

// Counts the programming bursts (control latch set to 0x40) on their way to the simulator.
struct BurstCounter final : PortBackend {
  explicit BurstCounter(std::unique_ptr<SimProgrammer> s) : sim(std::move(s)) {}
  void Out(std::uint16_t a, std::uint8_t v) override {
    if (a == PortBase) data = v;
    if (a == PortBase + 2 && v == 0x0B && data == 0x40) ++bursts;
    sim->Out(a, v);
  }
  std::uint8_t In(std::uint16_t a) override { return sim->In(a); }
  void Release() override { sim->Release(); }
  std::string Describe() const override { return "counter"; }
  std::unique_ptr<SimProgrammer> sim;
  std::uint8_t data = 0;
  long bursts = 0;
};

void Report(const char* name, std::int64_t ns, double limit) {
  const double s = static_cast<double>(ns) / 1e9;
  std::printf("%-22s %8.3f s   limit %8.3f s   ratio %.4f\n", name, s, limit, s / limit);
}
}  // namespace

int main(int argc, char** argv) {
  bool window = false;
  int writeTime = 0, repeatSeconds = 0;
  const char* widthsFile = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--window") == 0) window = true;
    if (std::strcmp(argv[i], "--write") == 0 && i + 1 < argc) writeTime = std::atoi(argv[++i]);
    if (std::strcmp(argv[i], "--repeat-until") == 0 && i + 1 < argc)
      repeatSeconds = std::atoi(argv[++i]);
    if (std::strcmp(argv[i], "--widths") == 0 && i + 1 < argc) widthsFile = argv[++i];
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  RealClock clock;
  Session session(std::make_unique<SimProgrammer>(clock, PortBase), clock, true);
  const double scanLimit = 256 * 0.005 + 0.050;
  MainState m;
  m.session = &session;

  if (window) {
    {
      TForm1 form(m);
      TForm2 dialog(&form, m.params, m.AdapterName);
      dialog.EnsureControls();
      form.SetOtherWindows(&dialog, nullptr);
      form.show();
      QCoreApplication::processEvents();
      std::int64_t t0 = MonotonicNs();
      form.ReadButtonClick();
      Report("read (window)", MonotonicNs() - t0, scanLimit);
      std::fflush(stdout);
      // The compare asks for its parameters; go as soon as the dialog is up.
      QMetaObject::invokeMethod(
          &dialog, [&] { dialog.WrYes->click(); }, Qt::QueuedConnection);
      std::int64_t start = 0;
      QObject::connect(dialog.WrYes, &QPushButton::clicked, [&] { start = MonotonicNs(); });
      form.CompareButtonClick();
      Report("compare (window)", MonotonicNs() - start, scanLimit);
      form.SetOtherWindows(nullptr, nullptr);
    }
    return 0;
  }

  session.Start();
  m.image.RomSize = kChipWords;
  NullPassView view;
  PassContext ctx = session.Context(view, m.image, m.params, m.counters);
  if (writeTime <= 0) {
    std::int64_t t0 = MonotonicNs();
    ScanChip(ctx, false, false);
    Report("read (core)", MonotonicNs() - t0, scanLimit);
    t0 = MonotonicNs();
    ScanChip(ctx, true, true);
    Report("compare (core)", MonotonicNs() - t0, scanLimit);
  } else {
    // Fresh blank chips, one write pass each, until the time is up; every pulse
    // as the pass measured it at its two strobe writes.
    std::vector<std::int64_t> over;
    const std::int64_t until = MonotonicNs() + repeatSeconds * 1'000'000'000LL;
    bool told = false;
    for (unsigned pass = 1;; ++pass) {
      auto fresh = std::make_unique<BurstCounter>(std::make_unique<SimProgrammer>(clock, PortBase));
      BurstCounter& chip = *fresh;
      Programmer writer(std::move(fresh));
      writer.Start();
      std::mt19937 rng(pass);
      for (int a = 0; a < 256; ++a)
        m.image.RomBuffer[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(rng() & 0x0F);
      m.params.CompMask = 0x0F;
      m.params.ProgTime = writeTime;
      PulseAudit audit;
      PassContext wctx{writer.Regs(), clock, view, m.image, m.params, m.counters, &audit};
      RealtimeSpan realtime;
      if (!told) {
        std::printf("real time: %s\n", realtime.Granted() ? "granted" : realtime.Refused().c_str());
        told = true;
      }
      const std::int64_t t0 = MonotonicNs();
      WritePass(wctx);
      const std::int64_t ns = MonotonicNs() - t0;
      const double limit =
          256 * 0.050 + static_cast<double>(chip.bursts) * 4 * writeTime / 1000.0 + scanLimit;
      char name[40];
      std::snprintf(name, sizeof name, "write %d ms (core)", writeTime);
      Report(name, ns, limit);
      std::printf("  bursts %ld, pulses %zu (simulator saw %zu), identical %d, violations %zu\n",
                  chip.bursts, audit.widthsNs.size(), chip.sim->Pulses().size(),
                  m.counters.IdenticalCount, chip.sim->Violations().size());
      for (std::int64_t w : audit.widthsNs) over.push_back(w - audit.askedNs);
      if (MonotonicNs() >= until) break;
    }
    std::sort(over.begin(), over.end());
    auto q = [&](double f) {
      return static_cast<double>(over[std::min(
                 over.size() - 1,
                 static_cast<std::size_t>(f * static_cast<double>(over.size() - 1) + 0.5))]) /
             1e3;
    };
    if (!over.empty()) {
      std::printf(
          "pulse overshoot over %zu pulses: min %+.1f us, median %+.1f us, p99 %+.1f us, "
          "p99.9 %+.1f us, max %+.1f us\n",
          over.size(), q(0.0), q(0.5), q(0.99), q(0.999), q(1.0));
      std::printf("pulses short of their width: %ld\n",
                  static_cast<long>(std::count_if(over.begin(), over.end(),
                                                  [](std::int64_t o) { return o < 0; })));
    }
    if (widthsFile != nullptr) {
      std::FILE* f = std::fopen(widthsFile, "w");
      for (std::int64_t o : over) std::fprintf(f, "%.3f\n", static_cast<double>(o) / 1e3);
      if (f != nullptr) std::fclose(f);
    }
  }
  return 0;
}
