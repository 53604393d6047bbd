#include "app/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QTextBlock>
#include <cstdio>

#include "app/FileUtil.h"
#include "app/Glyphs.h"
#include "app/KeyCodes.h"
#include "app/MainState.h"
#include "app/RomFile.h"
#include "app/StartupProbe.h"
#include "app/StopSignalNotifier.h"
#include "app/Ui.h"
#include "hardware/DirectPort.h"
#include "hardware/Realtime.h"
#include "hardware/StopSignal.h"
#include "hexview/THexedit.h"
#include "operations/TForm2.h"

namespace pt4 {

namespace {
constexpr char kHighNibbleFilter[] = "Words in the high nibble (*)";
constexpr char kPackedFilter[] = "Two words a byte, packed (*)";
const QString kOpenFilters =
    QString("ROM binaries (*.rom);;All files (*);;") + kHighNibbleFilter + ";;" + kPackedFilter;
}  // namespace

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
      pending_.emplace_back(QString::fromLatin1(text.c_str()), ToQColor(colour));
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

namespace {
QLabel* Label(QWidget* parent, const char* name, const QString& text, QRect geo, QFont font,
              QColor colour) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setGeometry(geo);
  l->setFont(font);
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, colour);
  l->setPalette(pal);
  return l;
}

QFrame* Panel(QWidget* parent, const char* name, QRect geo, QFrame::Shadow shadow) {
  auto* p = new QFrame(parent);
  p->setObjectName(name);
  p->setGeometry(geo);
  p->setFrameShape(shadow == QFrame::Plain ? QFrame::NoFrame : QFrame::Panel);
  p->setFrameShadow(shadow);
  p->setLineWidth(1);
  p->setAutoFillBackground(true);
  QPalette pal = p->palette();
  pal.setColor(QPalette::Window, Silver());
  p->setPalette(pal);
  return p;
}

QTextEdit* Pane(QWidget* parent, const char* name, QRect geo, const QString& first,
                const QString& hint) {
  auto* e = new QTextEdit(parent);
  e->setObjectName(name);
  e->setGeometry(geo);
  e->setReadOnly(true);
  e->setFont(FixedFont(12));
  e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  e->setLineWrapMode(QTextEdit::NoWrap);
  e->setUndoRedoEnabled(false);
  e->setToolTip(hint);
  e->setTextColor(ToQColor(Colour::Navy));
  e->setPlainText(first);
  return e;
}
}  // namespace

TForm1::TForm1(MainState& state) : m_(state), view_(std::make_unique<View>(*this)) {
  setObjectName("Form1");
  BuildWindow();
  StartupMark("form1.widgets");
  BuildMenus();
  StartupMark("form1.menus");
  qApp->installEventFilter(this);
  new StopSignalNotifier(this, [this](int sig) { OnStopSignal(sig); });
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

void TForm1::BuildWindow() {
  setWindowTitle(AppTitle());
  setWindowIcon(WindowIcon());
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  auto* client = new QWidget(this);
  client->setObjectName("ClientArea");
  client->setFixedSize(631, 434);
  client->setAutoFillBackground(true);
  QPalette pal = client->palette();
  pal.setColor(QPalette::Window, Silver());
  client->setPalette(pal);
  setCentralWidget(client);
  QFont windowFont = FixedFont(11);
  client->setFont(windowFont);

  QFrame* toolBar = Panel(client, "ToolBar1", {0, 0, 631, 33}, QFrame::Raised);
  struct Tool {
    int left;
    const char* name;
    const char* hint;
    int image;
    void (TForm1::*handler)();
  };
  const Tool tools[] = {
      {0, "ExitButton", "Exit (Esc)", 0, &TForm1::ExitButtonClick},
      {31, "HelpButton", "Help (F1)", 1, &TForm1::HelpButtonClick},
      {55, "SaveButton", "Save buffer (F2)", 2, &TForm1::RomSave},
      {79, "LoadButton", "Load buffer (F3)", 3, &TForm1::RomOpenClick},
      {103, "ClearButton", "Erase buffer (F4)", 4, &TForm1::ClearButtonClick},
      {134, "ReadButton", "Read IC (F5)", 5, &TForm1::ReadButtonClick},
      {158, "WriteButton", "Write IC (F6)", 6, &TForm1::WriteButtonClick},
      {182, "CompareButton", "Compare IC & buffer (F7)", 7, &TForm1::CompareButtonClick},
      {206, "EraseButton", "Erase IC (F8)", 8, &TForm1::EraseButtonClick},
      {237, "CheckButton", "Clear Check (F9)", 9, &TForm1::CheckButtonClick},
      {261, "IdButton", "Read ID (F10)", 10, &TForm1::IdButtonClick},
      {285, "IcButton", "Select IC type (F11)", 11, &TForm1::IcButtonClick},
      {309, "SetButton", "Options (F12)", 12, &TForm1::EditButtonClick},
  };
  for (const Tool& t : tools) {
    auto* b = new QToolButton(toolBar);
    b->setObjectName(t.name);
    b->setGeometry(t.left, 2, 24, 24);
    b->setIcon(ToolGlyph(t.image));
    b->setIconSize({16, 16});
    b->setAutoRaise(true);
    b->setToolTip(t.hint);
    b->setFocusPolicy(Qt::NoFocus);
    auto handler = t.handler;
    connect(b, &QToolButton::clicked, this,
            [this, handler] { Guard([&] { (this->*handler)(); }); });
    if (std::string(t.name) == "IdButton") IdButton = b;
    if (std::string(t.name) == "EraseButton") EraseButton = b;
  }
  const std::pair<const char*, QRect> separators[] = {{"ToolButton3", {24, 2, 7, 24}},
                                                      {"ToolButton8", {127, 2, 7, 24}},
                                                      {"ToolButton12", {230, 2, 7, 24}},
                                                      {"ToolButton15", {333, 2, 9, 24}},
                                                      {"ToolButton20", {474, 2, 5, 24}}};
  for (const auto& [name, geo] : separators) {
    auto* s = new QFrame(toolBar);
    s->setObjectName(name);
    s->setGeometry(geo.x() + geo.width() / 2 - 1, geo.y() + 2, 2, geo.height() - 4);
    s->setFrameShape(QFrame::VLine);
    s->setFrameShadow(QFrame::Sunken);
  }
  QFrame* panel8 = Panel(toolBar, "Panel8", {342, 2, 132, 24}, QFrame::Sunken);
  panel8->setToolTip("Checksum");
  Label(panel8, "CheckText", "CheckSum :", {8, 5, 68, 15}, ArialBold(12), ToQColor(Colour::Maroon))
      ->setToolTip("Checksum");
  CheckResult =
      Label(panel8, "CheckResult", "None", {88, 5, 40, 15}, ArialBold(12), ToQColor(Colour::Navy));
  CheckResult->setToolTip("Checksum");

  QFrame* panel1 = Panel(client, "Panel1", {479, 2, 149, 28}, QFrame::Plain);
  ICTypeCBox = new QComboBox(panel1);
  ICTypeCBox->setObjectName("ICTypeCBox");
  ICTypeCBox->setGeometry(-1, 4, 152, 22);
  ICTypeCBox->setFont(ArialBold(11));
  QPalette cp = ICTypeCBox->palette();
  cp.setColor(QPalette::Text, ToQColor(Colour::Navy));
  cp.setColor(QPalette::ButtonText, ToQColor(Colour::Navy));
  ICTypeCBox->setPalette(cp);
  ICTypeCBox->addItem("K556PT4");
  connect(ICTypeCBox, QOverload<int>::of(&QComboBox::activated), this,
          [this](int) { Guard([&] { ICTypeCBoxChange(); }); });

  RichEditProgram =
      Pane(client, "RichEditProgram", {0, 34, 630, 247}, "Program dump", "Program Buffer");
  RichEditData = Pane(client, "RichEditData", {0, 284, 630, 129}, "Data dump", "Data Buffer");

  Panel(client, "StatusBar1", {0, 414, 631, 20}, QFrame::Plain);
  QFrame* mode = Panel(client, "ModePanel", {1, 416, 136, 17}, QFrame::Raised);
  Label(mode, "ICMtext", "IC Mode :", {10, 1, 58, 15}, ArialBold(12), ToQColor(Colour::Maroon));
  ICMresult =
      Label(mode, "ICMresult", "PROM", {70, 1, 45, 15}, ArialBold(12), ToQColor(Colour::Navy));
  QFrame* adapter = Panel(client, "AdapterPanel", {136, 416, 129, 17}, QFrame::Raised);
  Label(adapter, "AdpText", "Adaptor :", {10, 1, 58, 15}, ArialBold(12), ToQColor(Colour::Maroon));
  ADPresult =
      Label(adapter, "ADPresult", "ZI4", {70, 1, 30, 15}, ArialBold(12), ToQColor(Colour::Navy));
  CurAdr =
      Label(client, "CurAdr", "00000", {266, 417, 44, 20}, FixedFont(11), ToQColor(Colour::Navy));
  CurAdr->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ProgressBar1 = new QProgressBar(client);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setGeometry(310, 416, 165, 17);
  ProgressBar1->setRange(0, 255);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  Panel2 = Panel(client, "Panel2", {475, 417, 156, 16}, QFrame::Raised);
  const std::tuple<const char*, int, Colour> lampDefs[] = {
      {"VCC32led", 3, Colour::Olive},  {"VCC28led", 23, Colour::Olive},
      {"VCC24led", 43, Colour::Olive}, {"WriteLed", 63, Colour::Maroon},
      {"IDled", 83, Colour::Navy},     {"PGled", 138, Colour::Green}};
  for (std::size_t i = 0; i < std::size(lampDefs); ++i) {
    const auto& [name, left, fill] = lampDefs[i];
    lamps[i] = new TShape(name, Panel2, ToQColor(fill));
    lamps[i]->setGeometry(left, 0, 15, 15);
  }

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  Timer1->start();
}

void TForm1::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");
  auto menu = [&](const char* name, const char* caption) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(name);
    return m;
  };
  auto item = [&](QMenu* m, const char* name, const char* caption, void (TForm1::*handler)()) {
    QAction* a = m->addAction(caption);
    a->setObjectName(name);
    if (handler != nullptr) {
      connect(a, &QAction::triggered, this,
              [this, handler] { Guard([&] { (this->*handler)(); }); });
    }
  };
  QMenu* file = menu("File1", " File ");
  item(file, "New2", "New", &TForm1::ClearButtonClick);
  item(file, "Load2", "Load", &TForm1::RomOpenClick);
  item(file, "Save2", "Save", &TForm1::RomSave);
  item(file, "Exit2", "Exit", &TForm1::Exit2Click);
  QMenu* buffer = menu("Buffer1", " Buffer ");
  item(buffer, "Fill1", "Fill 00", nullptr);
  item(buffer, "XOR1", "Fill FF", nullptr);
  item(buffer, "XOR2", "Fill Byte", nullptr);
  item(buffer, "XORbyte1", "XOR byte", nullptr);
  item(buffer, "EditON1", "Edit ON", nullptr);
  QMenu* action = menu("Action1", " Action");
  // "Read" and "Read ID" do what their keys and buttons do: a user choosing Read expects a read.
  item(action, "Read1", "Read", &TForm1::ReadButtonClick);
  item(action, "Write1", "Write", &TForm1::WriteButtonClick);
  item(action, "Compare2", "Compare", &TForm1::CompareButtonClick);
  item(action, "Erase1", "Erase", nullptr);
  item(action, "Compare1", "Test FF", nullptr);
  item(action, "ReadID1", "Read ID", &TForm1::IdButtonClick);
  QMenu* settings = menu("Settings1", "Config");
  item(settings, "Port1", "Port", nullptr);
  QMenu* help = menu("Help1", " Help ");
  item(help, "About1", "About", &TForm1::HelpButtonClick);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TForm1::FormCreate() {
  MainState& m = m_;
  // A refused port is shown once and costs nothing else: the buffer, its files
  // and its dump work as with a port, and each command that needs the port
  // shows the refusal again.
  try {
    m.programmer->Start();
  } catch (const std::exception& e) {
    portRefused_ = true;
    pollFailing_ = true;  // the status poll would only repeat it
    ShowErrorBox(QString::fromLocal8Bit(e.what()));
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
    ShowErrorBox(QString::fromLocal8Bit(e.what()));
  }
}

void TForm1::FormDestroy() {
  Timer1->stop();  // no status poll may fall into the shutdown
  try {
    m_.programmer->Idle();
  } catch (const std::exception& e) {
    // A port refused at start-up was shown then; saying it again on the way out
    // would only hold the user up.
    if (!portRefused_) ShowErrorBox(QString::fromLocal8Bit(e.what()));
  }
}

void TForm1::AppendLine(QTextCursor& cur, const QString& text, QColor colour) {
  QTextCharFormat fmt;
  fmt.setForeground(colour);
  int& lines = view_->programLines_;
  for (const QString& part : text.split("\r\n")) {
    if (lines++ > 0) cur.insertBlock();
    cur.insertText(part, fmt);
  }
}

void TForm1::Timer1Timer() {
  try {
    const std::uint8_t status = m_.programmer->Regs().ReadStatus();
    pollFailing_ = false;
    Lamp(LampId::PG)->SetFill(ToQColor((status & 0x40) != 0 ? Colour::Green : Colour::Lime));
  } catch (const std::exception& e) {
    // One box per run of failures, not one a second; the lamp waits for a good read.
    if (!pollFailing_) {
      pollFailing_ = true;
      ShowErrorBox(QString::fromLocal8Bit(e.what()));
    }
  }
}

void TForm1::ExitButtonClick() {
  if (ConfirmDialog("Confirm", "Really Quit ?", QMessageBox::Yes) == kAnswerYes) close();
}

void TForm1::Exit2Click() {
  close();
}

void TForm1::HelpButtonClick() {
  ShowMessage("help");
}
void TForm1::CheckButtonClick() {
  ShowMessage("IC Clean Check");
}
void TForm1::IdButtonClick() {
  ShowMessage("ID check");
}
void TForm1::IcButtonClick() {
  ShowMessage("IC Type while only KP556PT4 (PT1, PT11)");
}

void TForm1::ICTypeCBoxChange() {
  ADPresult->setText(QString::fromStdString(m_.AdapterName));
}

void TForm1::EditButtonClick() {
  if (hexedit_ == nullptr) return;
  if (!hexedit_->isVisible()) hexedit_->ShowBeside(this);
  hexedit_->raise();
  hexedit_->activateWindow();
}

void TForm1::RomSave() {
  // The format goes by the name's extension: .hex and .ihx Intel HEX, .s19, .srec
  // and .mot S-record, anything else raw.
  const QString name = Hooks().getSaveFileName(this,
                                               "ROM binary (*.rom);;Any file (*);;Intel HEX (*.hex "
                                               "*.ihx);;Motorola S-record (*.s19 *.srec *.mot)",
                                               "rom");
  if (name.isEmpty()) return;
  const std::string path = name.toLocal8Bit().toStdString();
  if (PathExists(path) &&
      ConfirmDialog("Confirm", "File exist.\r\n  Overwrite ?", QMessageBox::Yes) == kAnswerNo) {
    return;
  }
  SaveRom(path, m_.image);
}

void TForm1::RomOpenClick() {
  // Raw, Intel HEX and S-record are told apart by their content; the two nibble
  // layouts of binary dumps cannot be, so the user picks them by their filter.
  QString filter;
  const QString name = Hooks().getOpenFileName(this, QString(kOpenFilters), &filter);
  if (name.isEmpty()) return;
  const std::string path = name.toLocal8Bit().toStdString();
  if (!PathExists(path)) {
    ShowMessage("File not found !");
    return;
  }
  MainState& m = m_;
  ImageFormat format = ImageFormat::Auto;
  if (filter == kHighNibbleFilter) format = ImageFormat::High;
  if (filter == kPackedFilter) format = ImageFormat::Packed;
  LoadRom(path, m.image, m.params.CompMask, m.params.LowToHigh, format);
  ShowDump(m.image, *view_);
}

void TForm1::ClearButtonClick() {
  MainState& m = m_;
  const QString text = "Clear buffer to byte " + QString::fromStdString(Hex(m.FillByte, 2)) + " ?";
  if (ConfirmDialog("Alarm !!!", text, QMessageBox::No) == kAnswerYes) {
    FillBuffer(m.image, m.image.RomSize, m.FillByte);
    ShowDump(m.image, *view_);
  }
}

void TForm1::RunPass(const std::function<void(PassContext&)>& pass) {
  MainState& m = m_;
  PassContext ctx{m.programmer->Regs(), *m.clock, *view_, m.image, m.params, m.counters, &audit_};
  passRunning_ = true;
  RealtimeSpan realtime;  // for the length of the pass, when the system allows it
  try {
    pass(ctx);
  } catch (const StopRequested& s) {
    EndOnSignal(s.Signal());
  } catch (...) {
    passRunning_ = false;
    view_->Flush();
    if (closePending_) QTimer::singleShot(0, this, &QWidget::close);
    throw;
  }
  passRunning_ = false;
  view_->Flush();
  if (PendingStopSignal() != 0) EndOnSignal(PendingStopSignal());
  if (closePending_) QTimer::singleShot(0, this, &QWidget::close);
}

void TForm1::ReadButtonClick() {
  RunPass([](PassContext& ctx) { ScanChip(ctx, false, false); });
}

void TForm1::CompareButtonClick() {
  if (form2_ == nullptr) return;
  form2_->ShowFor("Compare", this);
  if (!m_.params.DialogConfirmed) return;
  RunPass([](PassContext& ctx) { ScanChip(ctx, true, true); });
}

void TForm1::WriteButtonClick() {
  if (form2_ == nullptr) return;
  form2_->ShowFor("Write", this);
  MainState& m = m_;
  if (!m.params.DialogConfirmed) return;
  ShowMessage(QString::fromStdString(WriteParamsText(m.params)));
  RunPass([](PassContext& ctx) { WritePass(ctx); });
  // The one timing fault that can harm a chip is a pulse longer than asked: the
  // user must know, after the report.
  if (audit_.Excessive()) ShowWarningBox(QString::fromStdString(audit_.Warning()));
}

void TForm1::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
  MainState& m = m_;
  const bool altAlone =
      (shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::AltModifier;
  switch (key) {
    case kVkEscape:
      if (m.image.DumpShown) {
        ExitButtonClick();
      } else {
        ShowDump(m.image, *view_);
      }
      break;
    case VkF(1):
      HelpButtonClick();
      break;
    case VkF(2):
      RomSave();
      break;
    case VkF(3):
      RomOpenClick();
      break;
    case VkF(4):
      if (!altAlone) ClearButtonClick();
      break;
    case VkF(5):
      ReadButtonClick();
      break;
    case VkF(6):
      WriteButtonClick();
      break;
    case VkF(7):
      CompareButtonClick();
      break;
    case VkF(8):
      EraseButtonClick();
      break;
    case VkF(9):
      CheckButtonClick();
      break;
    case VkF(10):
      IdButtonClick();
      break;
    case VkF(11):
      IcButtonClick();
      break;
    case VkF(12):
      EditButtonClick();
      break;
    default:
      setWindowTitle("Key Code = " + QString::number(key));
      break;
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
      std::printf("first_paint_monotonic_ns=%lld\n", static_cast<long long>(MonotonicNs()));
      std::fflush(stdout);
    }
  }
}

void TForm1::OnStopSignal(int sig) {
  // Inside a pass the next wait notices the signal and the pass unwinds to idle.
  if (!passRunning_) EndOnSignal(sig);
}

void TForm1::EndOnSignal(int sig) {
  m_.programmer->EmergencyIdle();
  m_.programmer->Release();
  std::fflush(nullptr);
  std::_Exit(128 + sig);
}

}  // namespace pt4
