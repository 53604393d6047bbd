// The hex view: the buffer as a grid of two-digit cells, sixteen to a row. A view
// only: it is rebuilt from the buffer at every show and never written back.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <QWidget>

#include "image/Buffer.h"

namespace pt4 {

// The grid's cells, sized from RomSize when shown; nothing exists for the rows
// the buffer does not use.
class HexGridModel final : public QAbstractTableModel {
 public:
  explicit HexGridModel(const RomImage& image) : image_(image) {}
  void Rebuild();
  int rowCount(const QModelIndex& = {}) const override { return rows_; }
  int columnCount(const QModelIndex& = {}) const override { return rows_ > 0 ? 16 : 0; }
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  QString Cell(int row, int column) const { return cells_.value(row * 16 + column); }

 private:
  const RomImage& image_;
  int rows_ = 0;
  QStringList cells_;
};

class THexedit;

class HexGrid final : public QTableView {
 public:
  explicit HexGrid(THexedit* owner);
  // Runs the key filter for a typed character; true when the key was handled.
  bool StringGrid1KeyPress(unsigned code, QWidget* editor);
  // Pasted text goes through the key filter one character at a time.
  void TypeText(const QString& text, QWidget* editor);
  static constexpr int kHeaderRowHeight = 20;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  THexedit* owner_;
};

// Made with the main window; its menu, grid and status line only when it is
// first shown, so that start-up spends nothing on a window nobody sees yet.
class THexedit : public QWidget {
 public:
  // Shows `image`, which it never writes.
  explicit THexedit(const RomImage& image);
  // Makes the menu, grid and status line if they are not made yet; StringGrid1
  // is null until then.
  void EnsureControls();
  // Beside the main window where the screen has room, always on its screen.
  void ShowBeside(QWidget* mainWindow);
  // The main window's menu bar and tool bar, and its status line, in pixels.
  static constexpr int kMainToolRowsHeight = 22 + 33;
  static constexpr int kMainStatusHeight = 20;
  static constexpr int kMainStatusLiveFrom = 266;  // the current address, progress, lamps
  void FormShow();
  void Close1Click() { close(); }
  HexGridModel* Model() { return &model_; }
  HexGrid* StringGrid1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  HexGridModel model_;
};

}  // namespace pt4
