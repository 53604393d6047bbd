#include "gui/look/Glyphs.h"

#include <iterator>

#include "gui/look/GlyphArt.h"
#include "gui/look/GlyphImages.inc"

namespace pt4 {

namespace {
QPixmap Ready(const std::uint32_t* pixels, int size) {
  return QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(pixels), size, size, size * 4,
                                   QImage::Format_ARGB32_Premultiplied));
}
}  // namespace

QIcon ToolGlyph(int index) {
  if (index < 0 || index >= kToolGlyphCount) return {};
  // Every size in one icon: Qt shows the one that fits the screen's scale.
  QIcon icon;
  for (std::size_t s = 0; s < std::size(kToolGlyphSizes); ++s)
    icon.addPixmap(Ready(kToolGlyphs[s][index], kToolGlyphSizes[s]));
  return icon;
}

QIcon WindowIcon() {
  QIcon icon;
  icon.addPixmap(Ready(kWindowIcon16, 16));
  icon.addPixmap(Ready(kWindowIcon32, 32));
  return icon;
}

}  // namespace pt4
