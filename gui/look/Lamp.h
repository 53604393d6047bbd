#pragma once

#include <QWidget>

namespace pt4 {

// A status lamp: a filled circle with a thin dark rim.
class TShape : public QWidget {
 public:
  TShape(const QString& name, QWidget* parent, QColor fill);
  void SetFill(QColor c);
  QColor Fill() const { return fill_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QColor fill_;
};

}  // namespace pt4
