// The main window offscreen, driven through real key events and real message boxes.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>

#include "gui/boxes/FileDialogs.h"
#include "gui/desktop/Translations.h"
#include "gui/look/GlyphArt.h"
#include "gui/look/Look.h"
#include "hardware/DirectPort.h"
#include "operations/Params.h"
#include "tests/gui/WindowHarness.h"
#include "tests/hardware/TraceFixture.h"

using namespace pt4;
using namespace pt4::testing;

namespace {
// The labels of a window whose text is wider than the label.
QStringList CutLabels(QWidget& window) {
  QStringList cut;
  for (QLabel* l : window.findChildren<QLabel*>()) {
    if (!l->text().isEmpty() && l->fontMetrics().horizontalAdvance(l->text()) > l->width())
      cut << l->objectName() + ": " + l->text();
  }
  return cut;
}

// The colour most of a picture is: its ground.
QColor Commonest(const QImage& image) {
  std::map<QRgb, int> count;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ++count[image.pixel(x, y)];
  }
  return QColor(std::max_element(count.begin(), count.end(), [](auto& a, auto& b) {
                  return a.second < b.second;
                })->first);
}

// The contrast ratio of two colours as the web's accessibility guidelines define it.
double Contrast(QColor a, QColor b) {
  auto luminance = [](QColor c) {
    auto channel = [](double v) {
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startStateAndIdleAtExit() {
    Harness h;
    TForm1& f = *h.form1;
    QCOMPARE(f.centralWidget()->size(), QSize(631, 434));
    const QStringList lines = h.PaneLines();
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines[0],
             QString(" 00000 : ") + QString("00 ").repeated(16) + "= " + QString(".").repeated(16));
    QCOMPARE(f.CheckResult->text(), QString("0000"));
    QCOMPARE(f.ADPresult->text(), QString("ZI4"));
    QCOMPARE(f.ICMresult->text(), QString("PROM"));
    QCOMPARE(f.CurAdr->text(), QString("00000"));
    QCOMPARE(f.ProgressBar1->value(), 0);
    QCOMPARE(f.ProgressBar1->maximum(), 255);
    QVERIFY(!f.IdButton->isEnabled());
    QVERIFY(!f.EraseButton->isEnabled());
    QVERIFY(!f.RichEditData->isVisible());
    QCOMPARE(f.RichEditProgram->height(), 376);
    QVERIFY(h.form1->DumpShown());
    for (const char* name : {"ExitButton", "SaveButton", "CheckResult", "Panel2", "PGled",
                             "MainMenu1", "Exit2", "ReadID1", "StatusBar1", "ToolBar1", "Timer1"}) {
      QVERIFY2(f.findChild<QObject*>(name) != nullptr, name);
    }
    const auto start = h.Writes();
    QVERIFY(start.size() >= 10);
    QCOMPARE(QString::fromStdString(start[0]), QString("out 0x77A 0x80"));
    h.Destroy();
    const auto all = h.Writes();
    const std::vector<std::string> reset = {"out 0x378 0x80", "out 0x37A 0x05", "out 0x37A 0x04",
                                            "out 0x378 0x80", "out 0x37A 0x07", "out 0x37A 0x04",
                                            "out 0x378 0x00", "out 0x37A 0x06", "out 0x37A 0x04"};
    QVERIFY(std::equal(reset.begin(), reset.end(), all.end() - 9));
    QVERIFY(std::equal(reset.begin(), reset.end(), all.begin() + 1));
  }

  // Every label shows its whole text in the faces the layout was made for.
  void labelsShowTheirWholeTexts() {
    Harness h;
    h.form2->EnsureControls();
    const QStringList cut = CutLabels(*h.form1) + CutLabels(*h.form2);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(", ")));
  }

  // The keyboard starts where a stray key does nothing; a box is wide enough to
  // show its whole title.
  void focusAtStartAndBoxTitles() {
    Harness h;
    QApplication::setActiveWindow(h.form1.get());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.form1->RichEditProgram));
    h.Press(Qt::Key_Space);
    QVERIFY(!h.form1->ICTypeCBox->view()->isVisible());
    auto help = Answer(Key(Qt::Key_Return));
    h.Press(Qt::Key_F1);
    QVERIFY(help->seen);
    const int title = QFontMetrics(QApplication::font()).horizontalAdvance(help->title);
    QVERIFY2(help->width >= title + 60, qPrintable(QString::number(help->width)));
  }

  // The glyphs shown are the drawings, pixel for pixel, as the build drew them.
  void readyGlyphsAreTheDrawings() {
    Harness h;
    // The tool bar's buttons, left to right, show images 0 to 12.
    const auto buttons = h.form1->findChild<QWidget*>("ToolBar1")->findChildren<QToolButton*>();
    QCOMPARE(buttons.size(), kToolGlyphCount);
    // Each at every size it was drawn at: a 1.5x or 2x screen gets its own
    // pixels, not a smoothed 16-pixel picture.
    for (int i = 0; i < kToolGlyphCount; ++i) {
#ifdef Q_OS_WIN
      // A cross build takes its pixels from the build machine; the lettered
      // glyphs (help, read ID) are drawn there in a face Windows does not have.
      if (i == 1 || i == 10) continue;
#endif
      for (int size : kToolGlyphSizes) {
        const QImage shown = buttons[i]
                                 ->icon()
                                 .pixmap(QSize(size, size))
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY2(shown == DrawToolGlyph(i, size), qPrintable(QString("%1 at %2").arg(i).arg(size)));
      }
    }
    for (int size : {16, 32}) {
      const QImage icon = h.form1->windowIcon().pixmap(size).toImage().convertToFormat(
          QImage::Format_ARGB32_Premultiplied);
      QVERIFY(icon == DrawWindowIcon(size));
    }
  }

  void reallyQuitAndTheCloseBox() {
    Harness h;
    for (Qt::Key k : {Qt::Key_N, Qt::Key_Escape}) {
      auto a = Answer(k == Qt::Key_N ? [](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        box->button(QMessageBox::No)->click();
      } : std::function<void(QWidget*)>(Key(Qt::Key_Escape)));
      h.Press(Qt::Key_Escape);
      QVERIFY(a->seen);
      QCOMPARE(a->text, QString("Really Quit ?"));
      QCOMPARE(a->title, QString("Confirm"));
      QVERIFY(h.form1->isVisible());
    }
    auto yes = Answer(Key(Qt::Key_Return));  // Yes is the default
    h.Press(Qt::Key_Escape);
    QVERIFY(yes->seen);
    QVERIFY(!h.form1->isVisible());

    Harness h2;
    h2.form1->close();  // the close box: no question
    QVERIFY(!h2.form1->isVisible());
  }

  void lampFollowsStatusAndPollFailures() {
    Harness h;
    h.simulator->SetStatus(0x00);
    h.form1->Timer1Timer();
    QCOMPARE(h.form1->lamps[5]->Fill(), QColor(0, 255, 0));
    h.simulator->SetStatus(0x40);
    h.form1->Timer1Timer();
    QCOMPARE(h.form1->lamps[5]->Fill(), QColor(0, 128, 0));
    // A failing poll: one error box for the run of failures, the lamp left as it was.
    h.port->failStatus = true;
    h.simulator->SetStatus(0x00);
    auto box = Answer(Key(Qt::Key_Return));
    h.form1->Timer1Timer();
    QVERIFY(box->seen);
    QCOMPARE(box->text, QString("status read failed."));
    auto again = Answer(Key(Qt::Key_Return));
    h.form1->Timer1Timer();
    QTest::qWait(50);
    again->Cancel();
    QVERIFY(!again->seen);
    QCOMPARE(h.form1->lamps[5]->Fill(), QColor(0, 128, 0));
    // The next good read colours the lamp again.
    h.port->failStatus = false;
    h.form1->Timer1Timer();
    QCOMPARE(h.form1->lamps[5]->Fill(), QColor(0, 255, 0));
  }

  void keysReachTheirCommands() {
    Harness h;
    h.Press(Qt::Key_A);
    QCOMPARE(h.form1->windowTitle(), QString("Key Code = 65"));
    h.Press(Qt::Key_Down);
    QCOMPARE(h.form1->windowTitle(), QString("Key Code = 40"));
    h.Press(Qt::Key_Return);
    QCOMPARE(h.form1->windowTitle(), QString("Key Code = 13"));
    h.Press(Qt::Key_Shift);
    QCOMPARE(h.form1->windowTitle(), QString("Key Code = 16"));
    h.Press(Qt::Key_Semicolon);
    QCOMPARE(h.form1->windowTitle(), QString("Key Code = 186"));
    h.Press(Qt::Key_5, Qt::KeypadModifier);
    QCOMPARE(h.form1->windowTitle(), QString("Key Code = 101"));
    h.Press(Qt::Key_F8);  // nothing at all
    QCOMPARE(h.form1->windowTitle(), QString("Key Code = 101"));
    const std::pair<Qt::Key, const char*> messages[] = {
        {Qt::Key_F1, "help"},
        {Qt::Key_F9, "IC Clean Check"},
        {Qt::Key_F10, "ID check"},
        {Qt::Key_F11, "IC Type while only KP556PT4 (PT1, PT11)"}};
    for (auto [key, text] : messages) {
      auto a = Answer(Key(Qt::Key_Return));
      h.Press(key);
      QVERIFY(a->seen);
      QCOMPARE(a->text, QString(text));
      QCOMPARE(a->title, QString("Window_test"));
    }
    // Ctrl+F4 and Shift+F4 ask to clear; Enter and Esc answer No.
    h.State().image.RomBuffer[0] = 0x03;
    for (auto mods : {Qt::ControlModifier, Qt::ShiftModifier}) {
      auto a = Answer(Key(mods == Qt::ControlModifier ? Qt::Key_Return : Qt::Key_Escape));
      h.Press(Qt::Key_F4, mods);
      QVERIFY(a->seen);
      QCOMPARE(a->title, QString("Alarm !!!"));
      QCOMPARE(a->text, QString("Clear buffer to byte 00 ?"));
      QCOMPARE(h.State().image.RomBuffer[0], std::uint8_t{0x03});
    }
    auto yes = Answer(
        [](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
    h.Press(Qt::Key_F4);
    QVERIFY(yes->seen);
    QCOMPARE(h.State().image.RomBuffer[0], std::uint8_t{0x00});
    // F12 twice: one hex view.
    h.Press(Qt::Key_F12);
    QApplication::setActiveWindow(h.form1.get());
    h.Press(Qt::Key_F12);
    QVERIFY(h.hexedit->isVisible());
    QCOMPARE(h.hexedit->Model()->rowCount(), 16);
    // Keys in the hex view do not reach the main window's handler.
    h.form1->setWindowTitle("x");
    QApplication::setActiveWindow(h.hexedit.get());
    QTest::keyClick(h.hexedit->StringGrid1, Qt::Key_Q);
    QCOMPARE(h.form1->windowTitle(), QString("x"));
    // Alt+F4: no question, the window closes.
    QApplication::setActiveWindow(h.form1.get());
    h.Press(Qt::Key_F4, Qt::AltModifier);
    QVERIFY(!h.form1->isVisible());
  }

  void compareReportAndEscAlternates() {
    Harness h;
    h.simulator->SetWord(0, 0x03);
    h.State().image.RomBuffer[0] = 0x01;
    h.State().image.RomBuffer[1] = 0x02;
    auto go = Answer([](QWidget* w) { Click(w, "WrYes"); });
    h.Press(Qt::Key_F7);
    QVERIFY(go->seen);
    const QStringList lines = h.PaneLines();
    QCOMPARE(lines.size(), 256 + 9);
    QCOMPARE(lines[0], QString(" 00000 : 01   00000001   <>   00000011   03 "));
    QVERIFY(lines.contains(" 1 bad , impossible to overwrite."));
    QCOMPARE(lines.last(), QString(" Press Esc for refresh dump from IC buffer."));
    QTextBlock b = h.form1->RichEditProgram->document()->firstBlock();
    QCOMPARE(b.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
    QCOMPARE(h.form1->CurAdr->text(), QString("000FF"));
    QCOMPARE(h.form1->ProgressBar1->value(), 255);
    QVERIFY(h.form1->Timer1->isActive());
    QVERIFY(!h.form1->DumpShown());
    h.Press(Qt::Key_Escape);  // redraws the dump
    QCOMPARE(h.PaneLines().size(), 16);
    auto quit = Answer(Key(Qt::Key_Escape));
    h.Press(Qt::Key_Escape);  // now asks
    QVERIFY(quit->seen);
    QCOMPARE(quit->text, QString("Really Quit ?"));
  }

  void readThenLoadAndSave() {
    Harness h;
    for (int a = 0; a < 256; ++a) h.simulator->SetWord(a, 0x0F);
    h.Press(Qt::Key_F5);
    QCOMPARE(h.State().image.RomBuffer[9], std::uint8_t{0x03});  // mask Low
    QCOMPARE(h.form1->CheckResult->text(), QString("806C"));
    const QString rom = h.dir.filePath("in.rom");
    std::ofstream(rom.toStdString(), std::ios::binary) << std::string(256, '\x0F');
    QString offered;
    Hooks().getOpenFileName = [&](QWidget*, const QString& filters, QString*) {
      offered = filters;
      return rom;
    };
    h.State().params.CompMask = 0x0F;
    h.Press(Qt::Key_F3);
    QCOMPARE(h.form1->CheckResult->text(), QString("A077"));
    // The dialog's own filters first; HEX and S-record offered after the nibble dumps.
    QVERIFY2(offered.startsWith("ROM binaries (*.rom);;All files (*);;"), qPrintable(offered));
    QVERIFY2(offered.endsWith(";;Intel HEX (*.hex *.ihx);;Motorola S-record (*.s19 *.srec *.mot)"),
             qPrintable(offered));
    // A filter picked says the format: S-records under the HEX filter are refused.
    const QString s19 = h.dir.filePath("s.dat");
    std::ofstream(s19.toStdString()) << "S9030000FC\n";
    Hooks().getOpenFileName = [&](QWidget*, const QString&, QString* selected) {
      *selected = "Intel HEX (*.hex *.ihx)";
      return s19;
    };
    auto asHex = Answer(Key(Qt::Key_Return));
    h.Press(Qt::Key_F3);
    QVERIFY2(asHex->text.contains("no Intel HEX record"), qPrintable(asHex->text));
    QCOMPARE(h.form1->CheckResult->text(), QString("A077"));
    Hooks().getOpenFileName = [&](QWidget*, const QString&, QString*) {
      return h.dir.filePath("none.rom");
    };
    auto missing = Answer(Key(Qt::Key_Return));
    h.Press(Qt::Key_F3);
    QCOMPARE(missing->text, QString("File not found !"));
    const QString out = h.dir.filePath("out.rom");
    Hooks().getSaveFileName = [&](QWidget*, const QString&, const QString&) { return out; };
    h.Press(Qt::Key_F2);
    QCOMPARE(QFileInfo(out).size(), 256);
    h.State().image.RomBuffer[0] = 0x01;
    auto no = Answer(Key(Qt::Key_Escape));
    h.Press(Qt::Key_F2);
    QCOMPARE(no->text, QString("File exist.\r\n  Overwrite ?"));
    std::ifstream in(out.toStdString(), std::ios::binary);
    QCOMPARE(in.get(), 0x0F);
  }

  void refusedPortCostsNoData() {
    // One box at start-up for the refusal; the buffer works as with a port.
    auto refusal = Answer(Key(Qt::Key_Return));
    RealClock clock;
    Harness h(pt4::testing::OpenedForTest("lpt1", clock));
    QVERIFY(refusal->seen);
    QVERIFY(refusal->text.contains("lpt1"));
    QVERIFY2(h.form1->windowTitle().endsWith(" - no port"), qPrintable(h.form1->windowTitle()));
    QCOMPARE(h.State().image.RomSize, 256);
    QCOMPARE(h.PaneLines().size(), 16);
    auto poll = Answer(Key(Qt::Key_Return));
    h.form1->Timer1Timer();
    QTest::qWait(50);
    poll->Cancel();
    QVERIFY(!poll->seen);
    // Save over an existing file keeps every byte of the image.
    const QString out = h.dir.filePath("keep.rom");
    std::ofstream(out.toStdString(), std::ios::binary) << std::string(256, '\x05');
    h.State().image.RomBuffer[3] = 0x0A;
    Hooks().getSaveFileName = [&](QWidget*, const QString&, const QString&) { return out; };
    auto yes = Answer(
        [](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
    h.Press(Qt::Key_F2);
    QVERIFY(yes->seen);
    QCOMPARE(QFileInfo(out).size(), 256);
    std::ifstream in(out.toStdString(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    QCOMPARE(int(bytes[3]), 0x0A);
    // A load works; a read shows the refusal.
    Hooks().getOpenFileName = [&](QWidget*, const QString&, QString*) { return out; };
    h.Press(Qt::Key_F3);
    QCOMPARE(int(h.State().image.RomBuffer[3]), 0x02);  // mask Low
    auto again = Answer(Key(Qt::Key_Return));
    h.Press(Qt::Key_F5);
    QVERIFY(again->seen);
    QVERIFY(again->text.contains("lpt1"));
  }

  void writeCommandProgramsAndReports() {
    Harness h;
    h.State().params.ProgTime = 2;
    h.State().image.RomBuffer[0] = 0x01;
    h.State().image.RomBuffer[5] = 0x03;
    std::shared_ptr<ModalAnswer> box;
    auto go = Answer([&box](QWidget* w) {
      box = Answer(Key(Qt::Key_Return));  // the parameter box that follows
      Click(w, "WrYes");
    });
    h.Press(Qt::Key_F6);
    QVERIFY(go->seen);
    QVERIFY(box && box->seen);
    QCOMPARE(box->text, QString("UProg = 120\r\nMask = 03h\r\nWrTime = 2\r\nWrCycle = 10"));
    QCOMPARE(box->text, QString::fromStdString(WriteParamsText(h.State().params)));
    QCOMPARE(h.simulator->Word(0), std::uint8_t{0x01});
    QCOMPARE(h.simulator->Word(5), std::uint8_t{0x03});
    QVERIFY(h.simulator->Violations().empty());
    QVERIFY(h.PaneLines().contains(" 256 complete or identical."));
    QCOMPARE(h.form1->lamps[0]->Fill(), QColor(128, 128, 0));
    QCOMPARE(h.form1->lamps[3]->Fill(), QColor(128, 0, 0));
    QCOMPARE(h.form1->lamps[4]->Fill(), QColor(0, 0, 128));
    QVERIFY(h.form1->Timer1->isActive());
    QCOMPARE(h.simulator->SupplyTenths(), 0);
  }

  // The hex view and the dialog belong with the main window (their transient
  // parent, by which a compositor places them); F12 on an open hex view brings
  // it up with the keyboard. Run on Wayland too (the wayland test).
  void desktopSession() {
    Harness h;
    QVERIFY(QTest::qWaitForWindowExposed(h.form1.get()));
    h.Press(Qt::Key_F12);
    QVERIFY(QTest::qWaitForWindowExposed(h.hexedit.get()));
    QCOMPARE(h.hexedit->windowHandle()->transientParent(), h.form1->windowHandle());
    // Only a display with a keyboard can give it (headless weston has no seat).
    const bool keyboard = !qEnvironmentVariableIsSet("PT4_TEST_NO_KEYBOARD");
    if (keyboard) {
      h.form1->activateWindow();
      QTRY_VERIFY(h.form1->isActiveWindow());
      h.form1->EditButtonClick();
      QTRY_VERIFY(h.hexedit->isActiveWindow());
    } else {
      h.form1->EditButtonClick();
      qWarning("no keyboard on this display: the hex view's activation was not checked");
    }
    QWindow* dialogParent = nullptr;
    auto cancel = Answer([&dialogParent](QWidget* w) {
      dialogParent = w->windowHandle()->transientParent();
      Click(w, "WrNo");
    });
    h.form1->CompareButtonClick();
    QVERIFY(cancel->seen);
    QCOMPARE(dialogParent, h.form1->windowHandle());
    std::shared_ptr<ModalAnswer> box = Answer(Key(Qt::Key_Return));
    h.form1->HelpButtonClick();
    QVERIFY(box->seen);
    h.Destroy();
    const auto all = h.Writes();
    QCOMPARE(QString::fromStdString(all.back()), QString("out 0x37A 0x04"));
    QCOMPARE(QString::fromStdString(all[all.size() - 3]), QString("out 0x378 0x00"));
  }

  // Under a dark theme every fixed text colour still stands on a light ground:
  // rendered, and measured against the usual minimum of 4.5:1.
  void readableUnderADarkTheme() {
    const QString oldStyle = QApplication::style()->name();
    const QPalette oldPalette = QApplication::palette();
    QApplication::setStyle("Fusion");
    QPalette dark(QColor(53, 53, 53));
    dark.setColor(QPalette::Base, QColor(42, 42, 42));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    QApplication::setPalette(dark);
    {
      Harness h;
      h.form2->EnsureControls();
      const auto ground = [](QWidget* w) { return Commonest(w->grab().toImage()); };
      const struct {
        QWidget* widget;
        QColor text;
      } texts[] = {
          {h.form1->RichEditProgram, ToQColor(Colour::Navy)},
          {h.form1->ICTypeCBox, ToQColor(Colour::Navy)},
          {h.form1->findChild<QLabel*>("CheckText"), ToQColor(Colour::Maroon)},
          {h.form1->CurAdr, ToQColor(Colour::Navy)},
          {h.form2->findChild<QLabel*>("VPrgST"), ToQColor(Colour::Maroon)},
          {h.form2->findChild<QLabel*>("StaticText1"),
           h.form2->palette().color(QPalette::WindowText)},
          {h.form2->VprgBox, Qt::black},
      };
      for (const auto& t : texts) {
        const double ratio = Contrast(ground(t.widget), t.text);
        QVERIFY2(ratio >= 4.5,
                 qPrintable(QString("%1: %2:1").arg(t.widget->objectName()).arg(ratio)));
      }
    }
    QApplication::setPalette(oldPalette);
    QApplication::setStyle(oldStyle);
  }

  // Under ru_RU (the window_test_ru entry): the windows in Russian, Qt's own
  // buttons too, and every label still whole.
  void russianInterface() {
    if (InstallTranslations() != "ru") QSKIP("run with LANG=ru_RU.UTF-8 (ctest window_test_ru)");
    const auto ru = [](const char* text) { return QString::fromUtf8(text); };
#ifndef Q_OS_WIN  // a ppdev port: Windows refuses it for having no ppdev
    {
      // A port's refusal in Russian, with its commands and names as they are typed.
      auto refusal = Answer(Key(Qt::Key_Return));
      RealClock clock;
      Harness refused(pt4::testing::OpenedForTest("/dev/pt4-none", clock));
      QVERIFY(refusal->seen);
      QVERIFY2(refusal->text.startsWith(ru("Не удаётся открыть /dev/pt4-none: ")),
               qPrintable(refusal->text));
      // The menu entry by the name the Russian desktop menu gives it.
      QVERIFY2(refusal->text.contains(ru("PT4_PORT=sim или пункт меню «Pt4prog (имитатор "
                                         "программатора)»")),
               qPrintable(refusal->text));
      QVERIFY2(refusal->text.contains(ru("загрузите драйверы командой «sudo modprobe ppdev "
                                         "parport_pc»")),
               qPrintable(refusal->text));
    }
#endif
    Harness h;
    TForm1& f = *h.form1;
    QCOMPARE(f.findChild<QToolButton*>("ReadButton")->toolTip(), ru("Прочитать микросхему (F5)"));
    QCOMPARE(f.findChild<QLabel*>("CheckText")->text(), ru("КС :"));
    QCOMPARE(f.ICMresult->text(), ru("ППЗУ"));
    QCOMPARE(f.ICTypeCBox->itemText(0), ru("К556РТ4"));
    QCOMPARE(f.findChild<QMenu*>("File1")->title(), ru(" Файл "));
    QCOMPARE(f.findChild<QAction*>("Read1")->text(), ru("Прочитать"));
    h.form2->EnsureControls();
    QCOMPARE(h.form2->windowTitle(), ru("Параметры записи / сравнения"));
    QCOMPARE(CutLabels(f) + CutLabels(*h.form2), QStringList());
    // Qt's own buttons in the same language.
    QString yes;
    auto quit = Answer([&yes](QWidget* w) {
      yes = qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->text();
      QTest::keyClick(w, Qt::Key_Escape);
    });
    f.ExitButtonClick();
    QCOMPARE(quit->text, ru("Действительно выйти ?"));
    QVERIFY2(yes.remove('&') == ru("Да"), qPrintable(yes));
    // The report's words, with its columns where the rows have them.
    auto go = Answer([](QWidget* w) { Click(w, "WrYes"); });
    h.Press(Qt::Key_F7);
    QVERIFY(go->seen);
    const QStringList lines = h.PaneLines();
    QVERIFY(lines.contains(ru(" Проверено байт: 256,")));
    QVERIFY(lines.contains(ru(" 256 записаны полностью или совпадают.")));
    QCOMPARE(lines.filter(ru("Адрес")).first().size(), lines.first().size() + 2);
    // A file's error, its numbers put in their places.
    const QString bad = h.dir.filePath("bad.hex");
    std::ofstream(bad.toStdString()) << ":010000000100\n";
    Hooks().getOpenFileName = [&](QWidget*, const QString&, QString*) { return bad; };
    auto error = Answer(Key(Qt::Key_Return));
    h.Press(Qt::Key_F3);
    QVERIFY(error->seen);
    QCOMPARE(error->text, ru("Строка 1: контрольная сумма равна FE, а в записи указано 00."));
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
