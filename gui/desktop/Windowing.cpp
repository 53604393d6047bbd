#include "gui/desktop/Windowing.h"

#include <QApplication>
#include <QGuiApplication>

namespace pt4 {

bool ReportsWindowPositions() {
  return !QGuiApplication::platformName().startsWith("wayland");
}

GivesBackActivation::~GivesBackActivation() {
#ifdef Q_OS_WIN
  if (parent_ == nullptr) return;
  // Asked of the window system, and told to Qt, which would otherwise wait for
  // the window system's word that never comes.
  parent_->window()->activateWindow();
  QApplication::setActiveWindow(parent_->window());
#endif
}

}  // namespace pt4
