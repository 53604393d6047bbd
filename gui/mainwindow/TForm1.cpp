#include "gui/mainwindow/TForm1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QTextBlock>
#include <cstdio>

#include "gui/boxes/Boxes.h"
#include "gui/desktop/KeyCodes.h"
#include "gui/desktop/StartupProbe.h"
#include "gui/desktop/StopSignalNotifier.h"
#include "gui/hexview/THexedit.h"
#include "gui/look/AppTitle.h"
#include "gui/look/Look.h"
#include "gui/mainwindow/MainState.h"
#include "gui/mainwindow/MainView.h"

namespace pt4 {

TForm1::TForm1(MainState& state) : m_(state) {
  setObjectName("Form1");
  BuildWindow();
  view_ = std::make_unique<MainView>(MainWidgets{RichEditProgram, RichEditData, CheckResult, CurAdr,
                                                 ProgressBar1, Timer1, Panel2, lamps},
                                     m_.session);
  StartupMark("form1.widgets");
  BuildMenus();
  StartupMark("form1.menus");
  qApp->installEventFilter(this);
  new StopSignalNotifier(this, [this](int sig, bool now) { OnStopSignal(sig, now); });
  FormCreate();
}

TForm1::~TForm1() {
  qApp->removeEventFilter(this);
  FormDestroy();
}

void TForm1::SetOtherWindows(TForm2* form2, THexedit* hexedit) {
  form2_ = form2;
  hexedit_ = hexedit;
}

void TForm1::FormCreate() {
  MainState& m = m_;
  // A refused port is shown once and costs nothing else: the buffer, its files
  // and its dump work as with a port, and each command that needs the port
  // shows the refusal again.
  try {
    m.session->Start();
  } catch (const std::exception& e) {
    portRefused_ = true;
    pollFailing_ = true;  // the status poll would only repeat it
    ShowErrorBox(e);
  }
  // What the window drives, where a user looks first: no port at all, or the
  // simulated programmer, whose chips are not real.
  if (portRefused_) {
    setWindowTitle(tr("%1 - no port").arg(AppTitle()));
  } else if (m.session->Simulated()) {
    setWindowTitle(tr("%1 - simulated programmer").arg(AppTitle()));
  }
  try {
    RichEditProgram->document()->setMaximumBlockCount(0);
    ICTypeCBox->setCurrentIndex(0);
    m.FillByte = 0;
    m.image.RomSize = kChipWords;
    m.AdapterName = "ZI4";
    IdButton->setEnabled(false);
    EraseButton->setEnabled(false);
    ProgressBar1->setMaximum(m.image.RomSize - 1);
    FillBuffer(m.image, m.image.RomSize, 0);
    ShowDump(m.image, *view_);
    // The keyboard starts on the program pane, where a stray key (the Enter that
    // answered a question, a Space) does nothing, and not on the chip-type list,
    // which it would drop open.
    RichEditProgram->setFocus();
  } catch (const std::exception& e) {
    ShowErrorBox(e);
  }
}

void TForm1::FormDestroy() {
  Timer1->stop();  // no status poll may fall into the shutdown
  try {
    m_.session->Idle();
  } catch (const std::exception& e) {
    // A port refused at start-up was shown then; saying it again on the way out
    // would only hold the user up.
    if (!portRefused_) ShowErrorBox(e);
  }
}

void TForm1::Timer1Timer() {
  try {
    const bool acknowledge = m_.session->PollAcknowledge();
    pollFailing_ = false;
    Lamp(LampId::PG)->SetFill(ToQColor(acknowledge ? Colour::Green : Colour::Lime));
  } catch (const std::exception& e) {
    // One box per run of failures, not one a second; the lamp waits for a good read.
    if (!pollFailing_) {
      pollFailing_ = true;
      ShowErrorBox(e);
    }
  }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || passRunning_)
    return QMainWindow::eventFilter(watched, event);
  auto* k = static_cast<QKeyEvent*>(event);
  if (QApplication::activeWindow() != this || QApplication::activeModalWidget() != nullptr)
    return false;
  // A key event travels from the focused control up through its parents and passes
  // the filter at each: take it at its first receiver only.
  QWidget* focus = QApplication::focusWidget();
  QWidget* first = focus != nullptr && focus->window() == this ? focus : this;
  if (watched != first) return false;
  if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) return false;
  const int vk = VirtualKeyCode(k->key(), k->modifiers());
  if (vk < 0) return false;
  const Qt::KeyboardModifiers mods = k->modifiers();
  Guard([&] { FormKeyDown(vk, mods); });
  // The window system's own handling of Alt+F4, where no window manager gives it.
  if (vk == VkF(4) &&
      (mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::AltModifier) {
    close();
    return true;
  }
  return false;
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (passRunning_) {
    // A pass cannot be cut short by a click: close once it is done.
    closePending_ = true;
    event->ignore();
    return;
  }
  if (hexedit_ != nullptr) hexedit_->hide();
  event->accept();
  qApp->quit();
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  QMainWindow::changeEvent(event);
}

void TForm1::paintEvent(QPaintEvent* event) {
  QMainWindow::paintEvent(event);
  if (firstPaint_) {
    firstPaint_ = false;
    if (StartupProbeOn()) {
      std::printf("first_paint_monotonic_ns=%lld\n", StartupClockNs());
      std::fflush(stdout);
    }
  }
}

void TForm1::OnStopSignal(int sig, bool now) {
  // Inside a pass the next wait notices the signal and the pass unwinds to idle;
  // when the process ends on return, the pulse is dropped from here.
  if (!passRunning_ || now) EndOnSignal(sig);
}

void TForm1::EndOnSignal(int sig) {
  m_.session->EmergencyIdle();
  m_.session->Release();
  std::fflush(nullptr);
  std::_Exit(128 + sig);
}

}  // namespace pt4
