// The main window's commands: files, the buffer, the chip passes and the keys.
#include <QTimer>
#include <cstdio>

#include "base/Stop.h"
#include "gui/boxes/Boxes.h"
#include "gui/boxes/FileDialogs.h"
#include "gui/desktop/KeyCodes.h"
#include "gui/hexview/THexedit.h"
#include "gui/mainwindow/MainState.h"
#include "gui/mainwindow/MainView.h"
#include "gui/mainwindow/TForm1.h"
#include "gui/params/TForm2.h"
#include "image/FileUtil.h"
#include "image/RomFile.h"

namespace pt4 {

namespace {
// The two nibble layouts of binary dumps, as their filter entries name them.
QString HighNibbleFilter() {
  return TForm1::tr("Words in the high nibble (*)");
}
QString PackedFilter() {
  return TForm1::tr("Two words a byte, packed (*)");
}
// The text formats, as the save dialog offers them too: picked, the filter says
// the format, whatever the name or the content would.
QString IntelHexFilter() {
  return TForm1::tr("Intel HEX (*.hex *.ihx)");
}
QString SRecordFilter() {
  return TForm1::tr("Motorola S-record (*.s19 *.srec *.mot)");
}
}  // namespace

void TForm1::ExitButtonClick() {
  if (ConfirmDialog(tr("Confirm"), tr("Really Quit ?"), QMessageBox::Yes) == kAnswerYes) close();
}

void TForm1::Exit2Click() {
  close();
}

void TForm1::HelpButtonClick() {
  ShowMessage(tr("help"));
}
void TForm1::CheckButtonClick() {
  ShowMessage(tr("IC Clean Check"));
}
void TForm1::IdButtonClick() {
  ShowMessage(tr("ID check"));
}
void TForm1::IcButtonClick() {
  ShowMessage(tr("IC Type while only KP556PT4 (PT1, PT11)"));
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
  const QString name =
      Hooks().getSaveFileName(this,
                              tr("ROM binary (*.rom)") + ";;" + tr("Any file (*)") + ";;" +
                                  IntelHexFilter() + ";;" + SRecordFilter(),
                              "rom");
  if (name.isEmpty()) return;
  const std::string path = name.toUtf8().toStdString();
  if (PathExists(path) && ConfirmDialog(tr("Confirm"), tr("File exist.\r\n  Overwrite ?"),
                                        QMessageBox::Yes) == kAnswerNo) {
    return;
  }
  SaveRom(path, m_.image);
}

void TForm1::RomOpenClick() {
  // Raw, Intel HEX and S-record are told apart by the name, else the content; the two nibble
  // layouts of binary dumps cannot be, so the user picks them by their filter. The
  // dialog's own two filters come first, the first of them selected.
  QString filter;
  const QString filters = tr("ROM binaries (*.rom)") + ";;" + tr("All files (*)") + ";;" +
                          HighNibbleFilter() + ";;" + PackedFilter() + ";;" + IntelHexFilter() +
                          ";;" + SRecordFilter();
  const QString name = Hooks().getOpenFileName(this, filters, &filter);
  if (name.isEmpty()) return;
  const std::string path = name.toUtf8().toStdString();
  if (!PathExists(path)) {
    ShowMessage(tr("File not found !"));
    return;
  }
  MainState& m = m_;
  ImageFormat format = ImageFormat::Auto;
  if (filter == HighNibbleFilter()) format = ImageFormat::High;
  if (filter == PackedFilter()) format = ImageFormat::Packed;
  if (filter == IntelHexFilter()) format = ImageFormat::IntelHex;
  if (filter == SRecordFilter()) format = ImageFormat::SRecord;
  LoadRom(path, m.image, m.params.CompMask, m.params.LowToHigh, format);
  ShowDump(m.image, *view_);
}

void TForm1::ClearButtonClick() {
  MainState& m = m_;
  const QString text =
      tr("Clear buffer to byte %1 ?").arg(QString::fromStdString(Hex(m.FillByte, 2)));
  if (ConfirmDialog(tr("Alarm !!!"), text, QMessageBox::No) == kAnswerYes) {
    FillBuffer(m.image, m.image.RomSize, m.FillByte);
    ShowDump(m.image, *view_);
  }
}

void TForm1::RunPass(const std::function<void(PassContext&)>& pass) {
  MainState& m = m_;
  PassContext ctx = m.session->Context(*view_, m.image, m.params, m.counters, &audit_);
  // The report's summary in the user's language.
  static const ReportWords words = [] {
    auto utf8 = [](const QString& t) { return t.toStdString(); };
    ReportWords w;
    w.header = utf8(tr(" Addr    HEX (Buf) BIN        BIN  (IC)  HEX  "));
    w.verified = utf8(tr("\r\n %1 bytes verified,"));
    w.identical = utf8(tr(" %1 complete or identical."));
    w.programmable = utf8(tr(" %1 not complete, possible to overwrite."));
    w.bad = utf8(tr(" %1 bad , impossible to overwrite."));
    w.pressEsc = utf8(tr("\r\n Press Esc for refresh dump from IC buffer."));
    return w;
  }();
  ctx.words = &words;
  passRunning_ = true;
  view_->SetPassRunning(true);
  const Session::RealTime realtime;  // for the length of the pass, when the system allows it
  static bool told = false;
  if (!realtime.Granted() && !told) {
    told = true;
    std::fprintf(stderr,
                 "pt4prog: note: passes run at normal priority (%s); pulses may run longer. %s\n",
                 realtime.Refused().c_str(), Session::RealTime::Advice());
  }
  try {
    pass(ctx);
  } catch (const StopRequested& s) {
    EndOnSignal(s.Signal());
  } catch (...) {
    passRunning_ = false;
    view_->SetPassRunning(false);
    if (closePending_) QTimer::singleShot(0, this, &QWidget::close);
    throw;
  }
  passRunning_ = false;
  view_->SetPassRunning(false);
  if (PendingStopSignal() != 0) EndOnSignal(PendingStopSignal());
  if (closePending_) QTimer::singleShot(0, this, &QWidget::close);
}

void TForm1::ReadButtonClick() {
  RunPass([](PassContext& ctx) { ScanChip(ctx, false, false); });
}

void TForm1::CompareButtonClick() {
  if (form2_ == nullptr) return;
  if (!form2_->ShowFor(tr("Compare", "the go button"), this)) return;
  RunPass([](PassContext& ctx) { ScanChip(ctx, true, true); });
}

void TForm1::WriteButtonClick() {
  if (form2_ == nullptr) return;
  if (!form2_->ShowFor(tr("Write", "the go button"), this)) return;
  MainState& m = m_;
  const ProgParams& p = m.params;
  ShowMessage(tr("UProg = %1\r\nMask = %2h\r\nWrTime = %3\r\nWrCycle = %4")
                  .arg(p.ProgVoltage)
                  .arg(QString::fromStdString(Hex(p.CompMask, 2)))
                  .arg(p.ProgTime)
                  .arg(p.ProgCycles));
  RunPass([](PassContext& ctx) { WritePass(ctx); });
  // The one timing fault that can harm a chip is a pulse longer than asked: the
  // user must know, after the report.
  if (audit_.Excessive()) {
    ShowWarningBox(tr("Some programming pulses ran longer than asked (%1 over at most): the chip "
                      "got more heat than the parameters say.")
                       .arg(QString::fromStdString(audit_.MaxOvershootText())) +
                   "\n\n" +
                   tr("Close other busy programs and let the passes run in real time (on Linux: "
                      "man pt4cli, REAL TIME), then compare the chip with the image (F7) to see "
                      "what it holds now."));
  }
}

void TForm1::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
  MainState& m = m_;
  const bool altAlone =
      (shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::AltModifier;
  switch (key) {
    case kVkEscape:
      if (view_->DumpShown()) {
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
      setWindowTitle(tr("Key Code = %1").arg(key));
      break;
  }
}

}  // namespace pt4
