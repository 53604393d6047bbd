// Renders the windows for docs/: the main window after a compare with all three
// classes, the parameters dialog, and the hex view.  screenshots OUTDIR
#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include "gui/hexview/THexedit.h"
#include "gui/mainwindow/MainState.h"
#include "gui/mainwindow/TForm1.h"
#include "gui/params/TForm2.h"
#include "hardware/DirectPort.h"
#include "hardware/Programmer.h"
#include "hardware/SimProgrammer.h"

using namespace pt4;

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString out = argc > 1 ? argv[1] : ".";
  RealClock clock;
  auto sim = std::make_unique<SimProgrammer>(clock, PortBase);
  SimProgrammer& chip = *sim;
  Session session(std::move(sim), clock, true);
  MainState state;
  state.session = &session;
  {
    TForm1 form(state);
    TForm2 dialog(&form, state.params, state.AdapterName);
    THexedit hex(state.image);
    form.SetOtherWindows(&dialog, &hex);
    form.show();
    RomImage& img = state.image;
    for (int a = 0; a < 256; ++a) {
      const auto w = static_cast<std::uint8_t>(a % 4);
      chip.SetWord(a, a == 1 || a == 6 ? 3 : w);
      img.RomBuffer[static_cast<std::size_t>(a)] =
          a == 2 || a == 7 ? 3 : (a == 1 || a == 6 ? 1 : w);
    }
    QTimer::singleShot(300, [&] {
      dialog.grab().save(out + "/parameters-dialog.png");
      dialog.WrYes->click();
    });
    form.CompareButtonClick();
    form.grab().save(out + "/compare-report.png");
    form.EditButtonClick();
    QCoreApplication::processEvents();
    hex.grab().save(out + "/hex-view.png");
    form.SetOtherWindows(nullptr, nullptr);
  }
  return 0;
}
