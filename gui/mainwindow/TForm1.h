// The main window: tool bar, program pane, checksum, status line with its lamps,
// the menu bar, and every command handler. Thin: the work is done by the core.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QProgressBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <array>
#include <functional>

#include "gui/look/Lamp.h"
#include "gui/mainwindow/MainView.h"
#include "operations/Passes.h"

class QComboBox;

namespace pt4 {

class TForm2;
class THexedit;
struct MainState;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(MainState& state);
  ~TForm1() override;
  void SetOtherWindows(TForm2* form2, THexedit* hexedit);

  // Handlers, named as the user's commands. A key calls them with no sender.
  void FormCreate();
  void FormDestroy();
  void FormActivate() {}
  void FormKeyDown(int key, Qt::KeyboardModifiers shift);
  void Timer1Timer();
  void ExitButtonClick();
  void Exit2Click();
  void HelpButtonClick();
  void RomSave();
  void RomOpenClick();
  void ClearButtonClick();
  void ReadButtonClick();
  void WriteButtonClick();
  void CompareButtonClick();
  void EraseButtonClick() {}
  void CheckButtonClick();
  void IdButtonClick();
  void IcButtonClick();
  void EditButtonClick();
  void ICTypeCBoxChange();

  // The panes and labels the core draws into.
  QTextEdit* RichEditProgram = nullptr;
  QTextEdit* RichEditData = nullptr;
  QLabel* CheckResult = nullptr;
  QLabel* ADPresult = nullptr;
  QLabel* ICMresult = nullptr;
  QLabel* CurAdr = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QComboBox* ICTypeCBox = nullptr;
  QTimer* Timer1 = nullptr;
  QWidget* Panel2 = nullptr;
  std::array<TShape*, kLampCount> lamps{};  // by LampId
  TShape* Lamp(LampId id) const { return lamps[static_cast<std::size_t>(id)]; }
  QToolButton* IdButton = nullptr;
  QToolButton* EraseButton = nullptr;
  // The pane shows the buffer's dump.
  bool DumpShown() const { return view_->DumpShown(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void BuildWindow();
  void BuildMenus();
  void RunPass(const std::function<void(PassContext&)>& pass);
  void OnStopSignal(int sig, bool now);
  [[noreturn]] void EndOnSignal(int sig);

  MainState& m_;
  TForm2* form2_ = nullptr;
  THexedit* hexedit_ = nullptr;
  std::unique_ptr<MainView> view_;
  bool passRunning_ = false;
  bool closePending_ = false;
  PulseAudit audit_;
  bool pollFailing_ = false;
  bool portRefused_ = false;
  bool firstPaint_ = true;
};

}  // namespace pt4
