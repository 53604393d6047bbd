// The drawings behind the tool bar glyphs and the window icon. They are drawn
// once, when the program is built, into ready images (make_glyphs), so that
// start-up neither paints them nor starts a font for the two lettered glyphs;
// the icon theme is drawn from the same lines at its larger sizes (make_icons).
#pragma once

#include <QImage>

namespace pt4 {

constexpr int kToolGlyphCount = 13;
constexpr int kToolGlyphSize = 16;

// A 16 x 16 tool bar glyph by image index (0 exit ... 12 options), premultiplied ARGB32.
QImage DrawToolGlyph(int index);
// The window icon at any size, premultiplied ARGB32.
QImage DrawWindowIcon(int size);

}  // namespace pt4
