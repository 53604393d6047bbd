// The floor for start-up: a minimal Qt window with a menu bar and a line of text,
// reporting its first paint as pt4prog does (PT4_STARTUP_PROBE).
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
long long MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

class Window final : public QMainWindow {
 protected:
  void paintEvent(QPaintEvent* e) override {
    QMainWindow::paintEvent(e);
    if (!painted_) {
      painted_ = true;
      std::printf("first_paint_monotonic_ns=%lld\n", MonotonicNs());
      std::fflush(stdout);
      QTimer::singleShot(200, qApp, &QApplication::quit);
    }
  }

 private:
  bool painted_ = false;
};
void Mark(const char* stage) {
  if (std::getenv("PT4_STARTUP_PROBE") != nullptr)
    std::printf("stage_monotonic_ns=%s:%lld\n", stage, MonotonicNs());
}
}  // namespace

int main(int argc, char** argv) {
  Mark("main");
  QApplication app(argc, argv);
  Mark("application");
  Window w;
  w.menuBar()->addMenu(" File ")->addAction("Exit");
  w.setCentralWidget(
      new QLabel(" 00000 : 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 = ................"));
  Mark("window");
  w.show();
  Mark("show");
  return app.exec();
}
