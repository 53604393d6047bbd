// Draws the window icon into a hicolor icon theme tree for installing:
//   make_icons OUTDIR  ->  OUTDIR/16x16/apps/pt4prog.png ... 256x256
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "gui/look/GlyphArt.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons OUTDIR\n");
    return 3;
  }
  for (int size : {16, 32, 48, 256}) {
    const QString dir = QString("%1/%2x%2/apps").arg(argv[1]).arg(size);
    if (!QDir().mkpath(dir) || !pt4::DrawWindowIcon(size).save(dir + "/pt4prog.png")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(dir));
      return 1;
    }
  }
  return 0;
}
