// The main window as a pass sees it: the program and data panes, the checksum,
// the lamps, the progress and the settling waits. It knows the widgets it draws
// into, not the window that owns them.
#pragma once

#include <QColor>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "operations/Passes.h"
#include "operations/Session.h"

class QLabel;
class QProgressBar;
class QTextCursor;
class QTextEdit;
class QTimer;
class QWidget;

namespace pt4 {

class TShape;

// The lamps of the status line: the three supplies, the write pulse, the burst
// (ID) and the programmer's power good (PG).
enum class LampId { VCC32, VCC28, VCC24, Write, ID, PG };
constexpr std::size_t kLampCount = 6;

// The widgets a pass draws into, all owned by the main window.
struct MainWidgets {
  QTextEdit* program = nullptr;  // the report and the dump
  QTextEdit* data = nullptr;     // hidden while the dump fills the program pane
  QLabel* checksum = nullptr;
  QLabel* address = nullptr;  // the current address
  QProgressBar* progress = nullptr;
  QTimer* statusPoll = nullptr;  // rests while a pass drives the port
  QWidget* lampPanel = nullptr;
  std::array<TShape*, kLampCount> lamps{};
};

class MainView final : public PassView {
 public:
  // `session`'s clock is read at each settling wait: the owner may set it after
  // this is made.
  MainView(const MainWidgets& widgets, Session* const& session) : w_(widgets), session_(session) {}

  void ClearPanes() override;
  void ShowDumpLayout() override;
  void AddReportLine(const std::string& text, Colour colour) override;
  void AddReportLines(const std::vector<std::string>& lines, Colour colour) override;
  void SetChecksumText(const std::string& text) override;
  void PassStarted() override;
  void PassEnded() override;
  void SupplyOn(bool on) override { Light(LampId::VCC32, on ? Colour::Yellow : Colour::Olive); }
  void BurstOn(bool on) override { Light(LampId::ID, on ? Colour::Aqua : Colour::Navy); }
  void PulseOn(bool on) override { Light(LampId::Write, on ? Colour::Red : Colour::Maroon); }
  void AllOff() override;
  void ReportStarted() override;
  void AddressDone(std::int32_t address) override;
  void Settle(std::int64_t deadline) override;

  // While a pass runs, report lines wait for the next settling wait (where the
  // time is free anyway); when it ends, they go into the pane.
  void SetPassRunning(bool on);
  // The lines held back, into the pane in one edit.
  void Flush();
  // The pane shows the buffer's dump (Esc then closes the window).
  bool DumpShown() const { return dumpShown_; }

 private:
  // One lamp, shown at once: the pass may not come back to the event loop before
  // the next change.
  void Light(LampId lamp, Colour colour);
  void AppendLine(QTextCursor& cur, const QString& text, QColor colour);

  MainWidgets w_;
  Session* const& session_;
  std::vector<std::pair<QString, QColor>> pending_;
  int programLines_ = 0;
  bool passRunning_ = false;
  bool dumpShown_ = false;
};

}  // namespace pt4
