// Start-up and shutdown: the port first, then the three windows, the message loop,
// the windows in reverse order, and the port given back last.
#ifndef _WIN32
#include <fontconfig/fontconfig.h>
#endif

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "gui/boxes/Boxes.h"
#include "gui/desktop/Display.h"
#include "gui/desktop/StartupProbe.h"
#include "gui/desktop/Translations.h"
#include "gui/hexview/THexedit.h"
#include "gui/look/AppTitle.h"
#include "gui/mainwindow/MainState.h"
#include "gui/mainwindow/TForm1.h"
#include "gui/params/TForm2.h"
#include "operations/Process.h"
#include "operations/Session.h"

namespace {
// An error that escapes every handler still gets the error box, and the loop goes on.
class Application final : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      pt4::ShowErrorBox(e);
    } catch (...) {
      pt4::ShowErrorBox(QCoreApplication::translate("pt4::Ui", "Unknown error"));
    }
    return false;
  }
};

// For the start-up benchmark: the resident memory once the window is idle.
void ReportIdleMemory() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  char line[256];
  while (f != nullptr && std::fgets(line, sizeof line, f) != nullptr) {
    if (std::strncmp(line, "VmRSS:", 6) == 0) std::printf("idle_%s", line);
  }
  if (f != nullptr) std::fclose(f);
  std::fflush(stdout);
}
}  // namespace

int main(int argc, char** argv) {
  pt4::StartupMark("main");
  // Asked what it is, it says so anywhere, a terminal without a display too.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf(
          "Usage: pt4prog\n"
          "The window of the ZI4 programmer for K556PT4 PROMs. Keys: F1 help, F2 save,\n"
          "F3 load, F4 clear, F5 read, F6 write, F7 compare, F12 hex view, Esc quit.\n"
          "PT4_PORT chooses the port as for pt4cli (PT4_PORT=sim: the simulated\n"
          "programmer); PT4_TRACE=FILE records every port access.\n"
          "For the terminal and scripts: pt4cli. More: man pt4prog.\n");
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("pt4prog %s\n", PT4_VERSION);
      return 0;
    }
  }
  // DLLs only from the system's folder and the program's own (Windows).
  pt4::process::LimitLibrarySearch();
  // Qt loads the plugins that the environment names: with rights its user does
  // not have, anyone who can set the environment could run code with them.
  if (const std::string why = pt4::process::RaisedPrivileges(); !why.empty()) {
    std::fprintf(stderr,
                 "pt4prog: will not open windows because %s, and Qt would load plugins that "
                 "the environment names with those rights. The port needs only group lp, and "
                 "real time a limits file (see /usr/share/doc/pt4prog/README.md).\n",
                 why.c_str());
    return 1;
  }
  if (const QString none = pt4::NoDisplayNamed(); !none.isEmpty()) {
    std::fprintf(stderr, "pt4prog: %s\n", qPrintable(none));
    return 1;
  }
  pt4::process::InstallExitPaths();
  // The port first, with the rights the process was started with; under sudo,
  // root is given back then, before the display, the fonts or any file.
  std::optional<pt4::Session> session;
  std::string startupFailure;
  try {
    session.emplace();
  } catch (const pt4::Error& e) {
    // Root that could not be given up: no window may open with it.
    if (e.Kind() == pt4::ErrorKind::Privilege) {
      std::fprintf(stderr, "pt4prog: %s\n", e.what());
      return 1;
    }
    // A file the port needs (the simulator's chip, the trace): nothing to run.
    if (e.Kind() != pt4::ErrorKind::File) throw;
    startupFailure = e.what();
  }
  pt4::StartupMark("port");
  // The font system's start (its configuration and caches) is the largest single
  // cost before the first paint; it runs on a helper while the connection to the
  // display is made.
#ifdef _WIN32
  std::thread fonts([] {});  // Windows' fonts are the system's, ready at once
#else
  std::thread fonts([] { FcInit(); });
#endif
  std::optional<pt4::DisplayConnectGuard> guard(std::in_place);
  Application app(argc, argv);
  guard.reset();
  pt4::InstallTranslations();
  pt4::StartupMark("application");
  if (!startupFailure.empty()) {
    fonts.join();
    std::fprintf(stderr, "pt4prog: %s\n", startupFailure.c_str());
    pt4::InstallTranslations();
    QMessageBox box(QMessageBox::NoIcon, pt4::AppTitle(),
                    QCoreApplication::translate("pt4::Ui", "Can not create system file ..."),
                    QMessageBox::Ok);
    if (qEnvironmentVariableIsSet("PT4_PROBE_STARTUP_BOX")) {
      // For the end-to-end check: report the box instead of waiting for a person.
      std::printf("startup_box=%s\n", qPrintable(box.text()));
    } else {
      box.exec();
    }
    return 2;
  }
  fonts.join();
  pt4::StartupMark("fonts");
  auto owned = std::make_unique<pt4::MainState>();
  pt4::MainState& state = *owned;
  state.session = &*session;
  int rc = 0;
  {
    pt4::TForm1 form1(state);
    pt4::StartupMark("form1");
    pt4::TForm2 form2(&form1, state.params, state.AdapterName);
    pt4::StartupMark("form2");
    pt4::THexedit hexedit(state.image);
    pt4::StartupMark("hexedit");
    form1.SetOtherWindows(&form2, &hexedit);
    form1.show();
    pt4::StartupMark("show");
    if (pt4::StartupProbeOn()) {
      QTimer::singleShot(1000, &form1, [&] {
        ReportIdleMemory();
        form1.close();
      });
    }
    rc = app.exec();
    form1.SetOtherWindows(nullptr, nullptr);
  }
  session->Release();
  state.session = nullptr;
  return rc;
}
