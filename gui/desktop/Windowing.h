// What the window system does for the program and what it keeps to itself.
#pragma once

#include <QPointer>
#include <QWidget>

namespace pt4 {

// False where the platform keeps window positions to itself (Wayland): there a
// window is placed by the compositor, and its transient parent tells which
// window it belongs with.
bool ReportsWindowPositions();

// Held while a modal dialog runs: when it goes, its parent's window is made
// active again. Windows does that itself when an owned window closes; Wine
// may leave no window active, and then no key reaches the program.
class GivesBackActivation {
 public:
  explicit GivesBackActivation(QWidget* parent) : parent_(parent) {}
  ~GivesBackActivation();
  GivesBackActivation(const GivesBackActivation&) = delete;
  GivesBackActivation& operator=(const GivesBackActivation&) = delete;

 private:
  QPointer<QWidget> parent_;
};

// Room a caption bar needs besides its title: icon, buttons and margins.
constexpr int kCaptionButtonsWidth = 120;

}  // namespace pt4
