#pragma once

#include <QIcon>
#include <QPixmap>

namespace pt4 {

// The 16 x 16 tool bar glyphs, by image index (0 exit ... 12 options).
QIcon ToolGlyph(int index);
QIcon WindowIcon();
// The window icon drawn at any size, for the desktop's icon theme.
QPixmap WindowIconPixmap(int size);

}  // namespace pt4
