// Whether the windows have somewhere to go. Without a display Qt prints a page
// of advice meant for its own developers ("Reinstalling the application may fix
// this problem.") and aborts; the user gets one line that says what is wrong
// and names pt4cli for work in a terminal, and exit status 1.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace pt4 {

// Before Qt starts: the line to print when no display is named for the platform
// Qt will use (neither DISPLAY nor WAYLAND_DISPLAY), or empty when one is, or
// the platform needs none (offscreen, minimal, ...).
QString NoDisplayNamed();

// While the application object is made: Qt's messages are held back, and a
// fatal one (the display named but not reachable) ends the process with one
// line. When the guard goes, the held messages are passed on as they came.
class DisplayConnectGuard {
 public:
  DisplayConnectGuard();
  ~DisplayConnectGuard();
  DisplayConnectGuard(const DisplayConnectGuard&) = delete;
  DisplayConnectGuard& operator=(const DisplayConnectGuard&) = delete;

 private:
  static void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text);
  struct Held {
    QtMsgType type;
    QByteArray category;
    QString text;
  };
  static std::vector<Held>& Messages();
  QtMessageHandler previous_;
};

}  // namespace pt4
