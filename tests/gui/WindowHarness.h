// The windows offscreen on a traced simulated programmer, driven through real key
// events and real message boxes.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/hexview/THexedit.h"
#include "gui/mainwindow/MainState.h"
#include "gui/mainwindow/TForm1.h"
#include "gui/params/TForm2.h"
#include "hardware/Programmer.h"
#include "hardware/SimProgrammer.h"
#include "hardware/TracingBackend.h"
#include "image/FileUtil.h"

namespace pt4::testing {

// Answers the next modal window with `act` and remembers its text.
struct ModalAnswer {
  QString text, title;
  int width = 0;
  bool seen = false;
  QPointer<QTimer> timer;
  // Stops waiting, so that a later window is not answered by this one: the
  // timer is gone only once an event loop runs, and that may be the later
  // window's own, so it is stopped first.
  void Cancel() {
    if (timer) {
      timer->stop();
      timer->deleteLater();
    }
  }
};
// Gives up after `patienceMs`.
inline std::shared_ptr<ModalAnswer> Answer(std::function<void(QWidget*)> act,
                                           int patienceMs = 3000) {
  auto answer = std::make_shared<ModalAnswer>();
  auto* timer = new QTimer;
  answer->timer = timer;
  timer->setInterval(5);
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, answer, act, tries, patienceMs] {
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr) {
      if (++*tries > patienceMs / 5) {
        timer->stop();
        timer->deleteLater();
      }
      return;
    }
    timer->stop();
    timer->deleteLater();
    answer->seen = true;
    answer->title = w->windowTitle();
    answer->width = w->width();
    if (auto* box = qobject_cast<QMessageBox*>(w)) answer->text = box->text();
    act(w);
  });
  timer->start();
  return answer;
}
inline void Click(QWidget* w, const char* name) {
  if (auto* b = w->findChild<QPushButton*>(name)) b->click();
}
inline auto Key(Qt::Key k) {
  return [k](QWidget* w) { QTest::keyClick(w, k); };
}

// A port that can be made to fail its status reads, as a pulled cable would.
class FlakyStatus final : public PortBackend {
 public:
  explicit FlakyStatus(std::unique_ptr<PortBackend> inner) : inner_(std::move(inner)) {}
  void Out(std::uint16_t a, std::uint8_t v) override { inner_->Out(a, v); }
  std::uint8_t In(std::uint16_t a) override {
    if (failStatus && a == PortBase + 1) throw PortError(Message{"status read failed"});
    return inner_->In(a);
  }
  void Release() override { inner_->Release(); }
  std::string Describe() const override { return inner_->Describe(); }
  bool failStatus = false;

 private:
  std::unique_ptr<PortBackend> inner_;
};

class Harness {
 public:
  // On the simulator, or on `backend` when one is given (a refused port, say).
  explicit Harness(std::unique_ptr<PortBackend> backend = nullptr) {
    if (!backend) {
      auto sim = std::make_unique<SimProgrammer>(clock, PortBase);
      simulator = sim.get();
      backend = std::move(sim);
    }
    tracePath_ = (dir.path() + "/trace").toStdString();
    auto flaky = std::make_unique<FlakyStatus>(std::make_unique<TracingBackend>(
        std::move(backend), OpenRecordFile(tracePath_, true, false), clock));
    port = flaky.get();
    session = std::make_unique<Session>(std::move(flaky), clock, simulator != nullptr);
    State().session = session.get();
    form1 = std::make_unique<TForm1>(State());
    form2 = std::make_unique<TForm2>(form1.get(), State().params, State().AdapterName);
    form2->SetSettingsFolder(dir.path());
    hexedit = std::make_unique<THexedit>(State().image);
    form1->SetOtherWindows(form2.get(), hexedit.get());
    form1->show();
    form1->activateWindow();
    QApplication::setActiveWindow(form1.get());
  }
  ~Harness() {
    Destroy();
    session.reset();
  }
  MainState& State() { return *state_; }
  void Destroy() {
    if (!form1) return;
    form1->SetOtherWindows(nullptr, nullptr);
    hexedit.reset();
    form2.reset();
    form1.reset();
  }
  std::vector<std::string> Writes() {
    std::vector<std::string> out;
    std::ifstream in(tracePath_, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      if (line.find(" out ") != std::string::npos) out.push_back(line.substr(line.find(' ') + 1));
    }
    return out;
  }
  QStringList PaneLines() { return form1->RichEditProgram->toPlainText().split('\n'); }
  // Keys go where the window system sends them: to the focused control.
  void Press(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    // The offscreen platform does not hand activation back after a modal box closes.
    QApplication::setActiveWindow(form1.get());
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr && focus->window() == form1.get() ? focus : form1.get(), k, m);
  }

  std::unique_ptr<MainState> state_ = std::make_unique<MainState>();
  QTemporaryDir dir;
  RealClock clock;
  SimProgrammer* simulator = nullptr;
  FlakyStatus* port = nullptr;
  std::unique_ptr<Session> session;
  std::unique_ptr<TForm1> form1;
  std::unique_ptr<TForm2> form2;
  std::unique_ptr<THexedit> hexedit;

 private:
  std::string tracePath_;
};

}  // namespace pt4::testing
