#include "gui/look/Lamp.h"

#include <QPainter>

namespace pt4 {

TShape::TShape(const QString& name, QWidget* parent, QColor fill) : QWidget(parent), fill_(fill) {
  setObjectName(name);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TShape::SetFill(QColor c) {
  if (c == fill_) return;
  fill_ = c;
  update();
}

void TShape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(fill_);
  p.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
}

}  // namespace pt4
