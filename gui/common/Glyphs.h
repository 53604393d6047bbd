#pragma once

#include <QIcon>

namespace pt4 {

// The 16 x 16 tool bar glyphs, by image index (0 exit ... 12 options), and the
// window icon at 16 and 32, from the images drawn when the program was built.
QIcon ToolGlyph(int index);
QIcon WindowIcon();

}  // namespace pt4
