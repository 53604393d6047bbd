#pragma once

#include <QIcon>

namespace pt4 {

// The 16 x 16 tool bar glyphs, by image index (0 exit ... 12 options).
QIcon ToolGlyph(int index);
QIcon WindowIcon();

}  // namespace pt4
