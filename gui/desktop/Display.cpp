#include "gui/desktop/Display.h"

#include <cstdio>
#include <cstdlib>

namespace pt4 {

namespace {
// The platform Qt will use when nobody chose one needs a display; so do these.
bool NeedsDisplay(const QByteArray& platform) {
  return platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
}

const char* kUseTheTerminal = "For work in a terminal, use pt4cli (man pt4cli).";

[[noreturn]] void EndWith(const QString& line) {
  std::fprintf(stderr, "pt4prog: %s\n", qPrintable(line));
  std::fflush(stderr);
  std::_Exit(1);
}
}  // namespace

QString NoDisplayNamed() {
#ifdef Q_OS_WIN
  return {};  // Windows' desktop is always there to open windows on
#endif
  if (!NeedsDisplay(qgetenv("QT_QPA_PLATFORM"))) return {};
  if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    return {};
  return QString(
             "no display to open the windows on (neither DISPLAY nor WAYLAND_DISPLAY is "
             "set). ") +
         kUseTheTerminal;
}

std::vector<DisplayConnectGuard::Held>& DisplayConnectGuard::Messages() {
  static std::vector<Held> held;
  return held;
}

DisplayConnectGuard::DisplayConnectGuard() : previous_(qInstallMessageHandler(&Hold)) {}

DisplayConnectGuard::~DisplayConnectGuard() {
  qInstallMessageHandler(previous_);
  for (const Held& m : Messages()) {
    const QMessageLogContext context(nullptr, 0, nullptr, m.category.constData());
    qt_message_output(m.type, context, m.text);
  }
  Messages().clear();
}

void DisplayConnectGuard::Hold(QtMsgType type, const QMessageLogContext& context,
                               const QString& text) {
  if (type == QtFatalMsg) {
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY"), x = qgetenv("DISPLAY");
    const QString named = !x.isEmpty() ? "DISPLAY=" + QString::fromLocal8Bit(x)
                                       : "WAYLAND_DISPLAY=" + QString::fromLocal8Bit(wayland);
    EndWith("cannot connect to the display (" + named + "). " + kUseTheTerminal);
  }
  Messages().push_back({type, QByteArray(context.category), text});
}

}  // namespace pt4
