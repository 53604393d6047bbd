// Draws the tool bar glyphs and the two window icon sizes into a C++ include of
// ready pixels, for the program to show without painting at start-up:
//   make_glyphs OUTFILE
#include <QGuiApplication>
#include <cstdio>

#include "gui/look/GlyphArt.h"

namespace {
bool WriteImage(std::FILE* out, const char* name, const QImage& image) {
  if (image.format() != QImage::Format_ARGB32_Premultiplied) return false;
  std::fprintf(out, "constexpr std::uint32_t %s[%d] = {", name, image.width() * image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    std::fprintf(out, "\n   ");
    for (int x = 0; x < image.width(); ++x) std::fprintf(out, " 0x%08x,", row[x]);
  }
  std::fprintf(out, "\n};\n");
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_glyphs OUTFILE\n");
    return 3;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out,
               "// Written by make_glyphs: premultiplied ARGB32 pixels, row by row.\n"
               "#pragma once\n#include <cstdint>\n\n");
  bool ok = true;
  for (int size : pt4::kToolGlyphSizes) {
    for (int i = 0; i < pt4::kToolGlyphCount; ++i) {
      ok = ok && WriteImage(out, qPrintable(QString("kToolGlyph%1_%2").arg(i).arg(size)),
                            pt4::DrawToolGlyph(i, size));
    }
  }
  ok = ok && WriteImage(out, "kWindowIcon16", pt4::DrawWindowIcon(16));
  ok = ok && WriteImage(out, "kWindowIcon32", pt4::DrawWindowIcon(32));
  // kToolGlyphs[size index][glyph index], in the order of kToolGlyphSizes.
  std::fprintf(out, "constexpr const std::uint32_t* kToolGlyphs[][%d] = {", pt4::kToolGlyphCount);
  for (int size : pt4::kToolGlyphSizes) {
    std::fprintf(out, "\n    {");
    for (int i = 0; i < pt4::kToolGlyphCount; ++i) std::fprintf(out, "kToolGlyph%d_%d, ", i, size);
    std::fprintf(out, "},");
  }
  std::fprintf(out, "\n};\n");
  if (std::fclose(out) != 0 || !ok) {
    std::fprintf(stderr, "make_glyphs: cannot write %s\n", argv[1]);
    std::remove(argv[1]);
    return 1;
  }
  return 0;
}
