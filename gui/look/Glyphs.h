#pragma once

#include <QIcon>

namespace pt4 {

// The tool bar glyphs, by image index (0 exit ... 12 options), at 16, 24, 32
// and 48 pixels, and the window icon at 16 and 32, from the images drawn when
// the program was built.
QIcon ToolGlyph(int index);
QIcon WindowIcon();

}  // namespace pt4
