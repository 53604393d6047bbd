#include "gui/common/Glyphs.h"

#include "gui/common/GlyphArt.h"
#include "gui/common/GlyphImages.inc"

namespace pt4 {

namespace {
QPixmap Ready(const std::uint32_t* pixels, int size) {
  return QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(pixels), size, size, size * 4,
                                   QImage::Format_ARGB32_Premultiplied));
}
}  // namespace

QIcon ToolGlyph(int index) {
  if (index < 0 || index >= kToolGlyphCount) return {};
  return QIcon(Ready(kToolGlyphs[index], kToolGlyphSize));
}

QIcon WindowIcon() {
  QIcon icon;
  icon.addPixmap(Ready(kWindowIcon16, 16));
  icon.addPixmap(Ready(kWindowIcon32, 32));
  return icon;
}

}  // namespace pt4
