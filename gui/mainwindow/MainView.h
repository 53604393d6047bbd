// The main window as the core sees it during a pass: the panes, the checksum,
// the lamps, the progress and the settling waits.
#pragma once

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTextEdit>
#include <QTimer>
#include <string>
#include <utility>
#include <vector>

#include "gui/common/Ui.h"
#include "gui/mainwindow/MainState.h"
#include "gui/mainwindow/TForm1.h"

namespace pt4 {

// The main window as the core sees it during a pass.
class TForm1::View final : public PassView {
 public:
  explicit View(TForm1& f) : f_(f) {}
  void ClearPanes() override {
    f_.RichEditProgram->clear();
    f_.RichEditData->clear();
    programLines_ = 0;
  }
  void ShowDumpLayout() override {
    f_.RichEditData->hide();
    f_.RichEditProgram->resize(f_.RichEditProgram->width(), 376);
  }
  void AddReportLine(const std::string& text, Colour colour) override {
    // During a pass the lines go into the pane in the settling waits, where the
    // time is free anyway; elsewhere at once.
    AddReportLines({text}, colour);
  }
  void AddReportLines(const std::vector<std::string>& lines, Colour colour) override {
    for (const std::string& text : lines)
      pending_.emplace_back(QString::fromUtf8(text.c_str()), ToQColor(colour));
    if (!f_.passRunning_) Flush();
  }
  void Flush() {
    if (pending_.empty()) return;
    // One edit for all the lines held: the pane lays its text out once, at the end.
    QTextCursor cur(f_.RichEditProgram->document());
    cur.beginEditBlock();
    cur.movePosition(QTextCursor::End);
    for (const auto& [text, colour] : pending_) f_.AppendLine(cur, text, colour);
    cur.endEditBlock();
    pending_.clear();
  }
  void SetChecksumText(const std::string& text) override {
    f_.CheckResult->setText(QString::fromStdString(text));
  }
  void SetTimerEnabled(bool on) override {
    Flush();
    if (on) {
      f_.Timer1->start();
    } else {
      f_.Timer1->stop();
    }
  }
  void PaintLamp(LampId lamp, Colour colour) override { f_.Lamp(lamp)->SetFill(ToQColor(colour)); }
  void RepaintLamps() override { f_.Panel2->repaint(); }
  void ClearProgramPane() override {
    pending_.clear();
    f_.RichEditProgram->clear();
    programLines_ = 0;
  }
  void ShowPosition(std::int32_t a) override {
    f_.ProgressBar1->setValue(a);
    f_.CurAdr->setText(QString::fromStdString(Hex(static_cast<unsigned>(a), 5)));
  }
  void Settle(std::int64_t deadline) override {
    // Repaint and answer the desktop, with keys and clicks held back until the
    // pass is over; stop a little before the deadline so the wait stays exact.
    Flush();
    const std::int64_t left = (deadline - f_.m_.clock->NowNs()) / 1'000'000 - 1;
    if (left >= 1)
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, static_cast<int>(left));
  }
  int programLines_ = 0;

 private:
  TForm1& f_;
  std::vector<std::pair<QString, QColor>> pending_;
};

}  // namespace pt4
