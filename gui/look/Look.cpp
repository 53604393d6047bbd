#include "gui/look/Look.h"

#include <QFontDatabase>

namespace pt4 {

QColor ToQColor(Colour c) {
  const Rgb rgb = ColourRgb(c);
  return {rgb.r, rgb.g, rgb.b};
}

QColor Silver() {
  return {kSilver.r, kSilver.g, kSilver.b};
}

namespace {
// The first of `families` that is installed, alone. For every font whose first
// face is missing, the font system would otherwise sort all installed faces to
// find a stand-in, a few milliseconds of start-up for each of the windows' fonts.
QStringList FirstInstalled(const QStringList& families) {
  static const QStringList installed = QFontDatabase::families();
  for (const QString& family : families) {
    if (installed.contains(family, Qt::CaseInsensitive)) return {family};
  }
  return families;  // none of them: the font system chooses
}
}  // namespace

QFont PixelFont(const QStringList& families, int pixels, bool bold) {
  QFont f;
  f.setFamilies(FirstInstalled(families));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

QFont FixedFont(int pixels) {
  QFont f = PixelFont({"Fixedsys", "DejaVu Sans Mono", "Liberation Mono", "Monospace"}, pixels);
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  return f;
}

QFont ArialBold(int pixels) {
  return PixelFont({"Arial", "Liberation Sans", "DejaVu Sans"}, pixels, true);
}

}  // namespace pt4
