// The drawings behind the tool bar glyphs and the window icon. They are drawn
// once, when the program is built, into ready images (make_glyphs), so that
// start-up neither paints them nor starts a font for the two lettered glyphs;
// the icon theme is drawn from the same lines at its larger sizes (make_icons).
#pragma once

#include <QImage>

namespace pt4 {

constexpr int kToolGlyphCount = 13;
constexpr int kToolGlyphSize = 16;
// The sizes each glyph is drawn at, so that a scaled screen (1.5x, 2x, 3x) gets
// a picture of its own size instead of a smoothed 16-pixel one.
constexpr int kToolGlyphSizes[] = {16, 24, 32, 48};

// A tool bar glyph by image index (0 exit ... 12 options), premultiplied ARGB32,
// `size` pixels square: the 16-pixel drawing scaled, its edges on whole pixels.
QImage DrawToolGlyph(int index, int size = kToolGlyphSize);
// The window icon at any size, premultiplied ARGB32.
QImage DrawWindowIcon(int size);

}  // namespace pt4
