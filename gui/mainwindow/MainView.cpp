#include "gui/mainwindow/MainView.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include "gui/look/Lamp.h"
#include "gui/look/Look.h"

namespace pt4 {

void MainView::ClearPanes() {
  w_.program->clear();
  w_.data->clear();
  programLines_ = 0;
}

void MainView::ShowDumpLayout() {
  dumpShown_ = true;
  w_.data->hide();
  w_.program->resize(w_.program->width(), 376);
}

void MainView::AddReportLine(const std::string& text, Colour colour) {
  AddReportLines({text}, colour);
}

void MainView::AddReportLines(const std::vector<std::string>& lines, Colour colour) {
  for (const std::string& text : lines)
    pending_.emplace_back(QString::fromUtf8(text.c_str()), ToQColor(colour));
  if (!passRunning_) Flush();
}

void MainView::Flush() {
  if (pending_.empty()) return;
  // One edit for all the lines held: the pane lays its text out once, at the end.
  QTextCursor cur(w_.program->document());
  cur.beginEditBlock();
  cur.movePosition(QTextCursor::End);
  for (const auto& [text, colour] : pending_) AppendLine(cur, text, colour);
  cur.endEditBlock();
  pending_.clear();
}

void MainView::AppendLine(QTextCursor& cur, const QString& text, QColor colour) {
  QTextCharFormat fmt;
  fmt.setForeground(colour);
  for (const QString& part : text.split("\r\n")) {
    if (programLines_++ > 0) cur.insertBlock();
    cur.insertText(part, fmt);
  }
}

void MainView::SetChecksumText(const std::string& text) {
  w_.checksum->setText(QString::fromStdString(text));
}

void MainView::PassStarted() {
  Flush();
  w_.statusPoll->stop();
}

void MainView::PassEnded() {
  Flush();
  w_.statusPoll->start();
}

void MainView::Light(LampId lamp, Colour colour) {
  w_.lamps[static_cast<std::size_t>(lamp)]->SetFill(ToQColor(colour));
  w_.lampPanel->repaint();
}

void MainView::AllOff() {
  w_.lamps[static_cast<std::size_t>(LampId::VCC32)]->SetFill(ToQColor(Colour::Olive));
  w_.lamps[static_cast<std::size_t>(LampId::Write)]->SetFill(ToQColor(Colour::Maroon));
  w_.lamps[static_cast<std::size_t>(LampId::ID)]->SetFill(ToQColor(Colour::Navy));
  w_.lampPanel->repaint();
}

void MainView::ReportStarted() {
  dumpShown_ = false;
  pending_.clear();
  w_.program->clear();
  programLines_ = 0;
}

void MainView::AddressDone(std::int32_t a) {
  w_.progress->setValue(a);
  w_.address->setText(QString::fromStdString(Hex(static_cast<unsigned>(a), 5)));
}

void MainView::Settle(std::int64_t deadline) {
  // Repaint and answer the desktop, with keys and clicks held back until the
  // pass is over; stop a little before the deadline so the wait stays exact.
  Flush();
  const std::int64_t left = (deadline - session_->NowNs()) / 1'000'000 - 1;
  if (left >= 1)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, static_cast<int>(left));
}

void MainView::SetPassRunning(bool on) {
  passRunning_ = on;
  if (!on) Flush();
}

}  // namespace pt4
