// The floor for start-up: a minimal Qt window with a menu bar and a line of text,
// reporting its first paint as pt4prog does (PT4_STARTUP_PROBE).
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <cstdio>
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
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Window w;
  w.menuBar()->addMenu(" File ")->addAction("Exit");
  w.setCentralWidget(
      new QLabel(" 00000 : 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 = ................"));
  w.show();
  return app.exec();
}
