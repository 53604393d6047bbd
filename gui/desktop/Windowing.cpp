#include "gui/desktop/Windowing.h"

#include <QGuiApplication>

namespace pt4 {

bool ReportsWindowPositions() {
  return !QGuiApplication::platformName().startsWith("wayland");
}

}  // namespace pt4
