// What the window system does for the program and what it keeps to itself.
#pragma once

namespace pt4 {

// False where the platform keeps window positions to itself (Wayland): there a
// window is placed by the compositor, and its transient parent tells which
// window it belongs with.
bool ReportsWindowPositions();

// Room a caption bar needs besides its title: icon, buttons and margins.
constexpr int kCaptionButtonsWidth = 120;

}  // namespace pt4
