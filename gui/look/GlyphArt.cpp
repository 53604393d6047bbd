#include "gui/look/GlyphArt.h"

#include <QPainter>

namespace pt4 {

namespace {
const QColor kNavy(0, 0, 128), kMaroon(128, 0, 0), kGreen(0, 128, 0), kRed(255, 0, 0),
    kYellow(255, 255, 0), kGrey(96, 96, 96), kBlack(0, 0, 0);

// A DIP chip body seen from above, legs left and right.
void Chip(QPainter& p, QColor body = kBlack) {
  p.setPen(Qt::NoPen);
  p.setBrush(body);
  p.drawRect(4, 2, 8, 12);
  p.setBrush(kGrey);
  for (int y = 3; y < 14; y += 3) {
    p.drawRect(2, y, 2, 1);
    p.drawRect(12, y, 2, 1);
  }
  p.setBrush(QColor(255, 255, 255));
  p.drawEllipse(QRect(7, 3, 2, 2));
}

void Arrow(QPainter& p, bool down, QColor c) {
  p.setPen(QPen(c, 2));
  p.drawLine(8, 4, 8, 12);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  QPolygon head;
  if (down) {
    head << QPoint(4, 10) << QPoint(12, 10) << QPoint(8, 15);
  } else {
    head << QPoint(4, 6) << QPoint(12, 6) << QPoint(8, 1);
  }
  p.drawPolygon(head);
}

// Bold letters of the default face, centred in `box`.
void Letters(QPainter& p, int pixels, QRect box, QColor c, const char* text) {
  QFont f;
  f.setPixelSize(pixels);
  f.setBold(true);
  p.setFont(f);
  p.setPen(c);
  p.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

QImage DrawToolGlyph(int index, int size) {
  QImage pm(size, size, QImage::Format_ARGB32_Premultiplied);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.scale(size / 16.0, size / 16.0);
  switch (index) {
    case 0:  // exit: an open door
      p.fillRect(3, 1, 8, 14, kMaroon);
      p.fillRect(5, 3, 4, 10, kYellow);
      p.setPen(QPen(kRed, 2));
      p.drawLine(10, 8, 15, 8);
      p.drawLine(13, 5, 15, 8);
      p.drawLine(13, 11, 15, 8);
      break;
    case 1:  // help: a question mark
      Letters(p, 15, {0, 0, 16, 16}, kNavy, "?");
      break;
    case 2:  // save: a diskette
      p.fillRect(1, 1, 14, 14, kNavy);
      p.fillRect(4, 1, 8, 5, QColor(220, 220, 220));
      p.fillRect(9, 2, 2, 3, kNavy);
      p.fillRect(3, 9, 10, 6, QColor(255, 255, 255));
      break;
    case 3:  // load: an open folder
      p.fillRect(1, 4, 6, 2, QColor(192, 160, 0));
      p.fillRect(1, 5, 13, 9, QColor(230, 200, 60));
      p.setPen(QPen(kGreen, 2));
      p.drawLine(10, 1, 10, 8);
      p.drawLine(7, 5, 10, 8);
      p.drawLine(13, 5, 10, 8);
      break;
    case 4:  // erase buffer: a sheet with a red cross
      p.fillRect(3, 1, 10, 14, QColor(255, 255, 255));
      p.setPen(kGrey);
      p.drawRect(3, 1, 9, 13);
      p.setPen(QPen(kRed, 2));
      p.drawLine(5, 4, 11, 12);
      p.drawLine(11, 4, 5, 12);
      break;
    case 5:  // read chip: data flow out of the chip
      Chip(p);
      Arrow(p, true, kGreen);
      break;
    case 6:  // write chip: data flow into the chip
      Chip(p);
      Arrow(p, false, kRed);
      break;
    case 7:  // compare: chip and buffer side by side, equal
      p.fillRect(1, 2, 5, 12, kBlack);
      p.fillRect(10, 2, 5, 12, QColor(255, 255, 255));
      p.setPen(kGrey);
      p.drawRect(10, 2, 4, 11);
      p.setPen(QPen(kNavy, 2));
      p.drawLine(6, 6, 10, 6);
      p.drawLine(6, 10, 10, 10);
      break;
    case 8:  // erase chip: chip under a light bulb
      Chip(p, kGrey);
      p.setPen(QPen(QColor(128, 0, 128), 2));
      p.drawLine(5, 5, 11, 11);
      p.drawLine(11, 5, 5, 11);
      break;
    case 9:  // clean check: a tick
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(kGreen, 3));
      p.drawLine(2, 9, 6, 13);
      p.drawLine(6, 13, 14, 3);
      break;
    case 10:  // read ID
      p.fillRect(0, 3, 16, 10, kNavy);
      Letters(p, 10, {0, 3, 16, 10}, QColor(255, 255, 255), "ID");
      break;
    case 11:  // select IC type: chip with a list mark
      Chip(p, kNavy);
      p.setPen(kYellow);
      p.drawLine(6, 7, 10, 7);
      p.drawLine(6, 10, 10, 10);
      break;
    case 12:  // options / hex view: a grid
      p.fillRect(1, 1, 14, 14, QColor(255, 255, 255));
      p.setPen(kNavy);
      for (int i = 1; i <= 15; i += 7) {
        p.drawLine(1, i, 15, i);
        p.drawLine(i, 1, i, 15);
      }
      p.fillRect(2, 2, 6, 6, kYellow);
      break;
    default:
      break;
  }
  return pm;
}

QImage DrawWindowIcon(int size) {
  QImage pm(size, size, QImage::Format_ARGB32_Premultiplied);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, size > 32);
  p.scale(size / 16.0, size / 16.0);
  Chip(p, kNavy);
  p.setPen(Qt::NoPen);
  p.setBrush(kRed);
  p.drawEllipse(QRect(6, 8, 4, 4));
  return pm;
}

}  // namespace pt4
