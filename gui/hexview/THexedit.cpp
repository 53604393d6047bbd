#include "gui/hexview/THexedit.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QWindow>

#include "gui/desktop/Windowing.h"
#include "gui/hexview/HexKeyFilter.h"
#include "gui/hexview/Placement.h"
#include "gui/look/Look.h"

namespace pt4 {

void HexGridModel::Rebuild() {
  beginResetModel();
  const RomImage& img = image_;
  rows_ = img.RomSize / 16;
  cells_.clear();
  cells_.reserve(rows_ * 16);
  for (int i = 0; i < rows_ * 16; ++i) {
    cells_.append(QString::fromStdString(Hex(img.RomBuffer[static_cast<std::size_t>(i)], 2)));
  }
  endResetModel();
}

QVariant HexGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return cells_.value(index.row() * 16 + index.column());
}

bool HexGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  cells_[index.row() * 16 + index.column()] = value.toString();
  emit dataChanged(index, index);
  return true;
}

Qt::ItemFlags HexGridModel::flags(const QModelIndex& index) const {
  return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant HexGridModel::headerData(int section, Qt::Orientation o, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (o == Qt::Horizontal)
    return "+" + QString::fromStdString(Hex(static_cast<unsigned>(section), 1));
  return QString::fromStdString(Hex(static_cast<unsigned>(section), 6));  // the row's index
}

namespace {
// Every in-place editor, however it was opened (double-click, Tab from the
// editor before, F2, a typed key), hands its keys to the grid's key filter, and
// takes no text the filter would not have typed (paste, drops, input methods).
class HexCellDelegate final : public QStyledItemDelegate {
 public:
  explicit HexCellDelegate(HexGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->installEventFilter(grid_);
      line->setValidator(
          new QRegularExpressionValidator(QRegularExpression("[0-9A-F]{0,2}"), line));
      line->setContextMenuPolicy(Qt::NoContextMenu);
      line->setAcceptDrops(false);
      line->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    return editor;
  }

 private:
  HexGrid* grid_;
};
}  // namespace

HexGrid::HexGrid(THexedit* owner) : QTableView(owner), owner_(owner) {
  setObjectName("StringGrid1");
  setFont(FixedFont(11));
  horizontalHeader()->setDefaultSectionSize(22);
  horizontalHeader()->setMinimumSectionSize(10);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(20);
  verticalHeader()->setMinimumSectionSize(10);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setFixedWidth(54);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  setShowGrid(true);
  horizontalHeader()->setFixedHeight(kHeaderRowHeight);
  setItemDelegate(new HexCellDelegate(this));
}

bool HexGrid::StringGrid1KeyPress(unsigned code, QWidget* editor) {
  const QModelIndex cell = currentIndex();
  auto* line = qobject_cast<QLineEdit*>(editor);
  const QString text =
      line != nullptr ? line->text() : (cell.isValid() ? cell.data().toString() : QString());
  const HexKeyResult r = HexKeyFilter(code, text.toStdString());
  owner_->setWindowTitle(QString::number(r.captionCode));
  if (!cell.isValid()) return true;
  if (r.clearCell) {
    QApplication::beep();
    if (line != nullptr) {
      line->clear();
    } else {
      model()->setData(cell, QString(), Qt::EditRole);
    }
    return true;
  }
  if (r.insert == 0) return true;
  if (line == nullptr) {
    // Typing on a cell opens its editor with the typed digit after the cell's text.
    edit(cell, QAbstractItemView::AllEditTriggers, nullptr);
    line = qobject_cast<QLineEdit*>(indexWidget(cell));
    if (line == nullptr) line = findChild<QLineEdit*>();
    if (line == nullptr) return true;
    line->installEventFilter(this);
    line->setText(text);
  }
  line->deselect();
  line->end(false);
  line->insert(QString(QChar(r.insert)));
  model()->setData(cell, line->text(), Qt::EditRole);
  return true;
}

void HexGrid::TypeText(const QString& text, QWidget* editor) {
  for (const QChar c : text) {
    if (c.unicode() < 256) StringGrid1KeyPress(c.unicode(), editor);
  }
}

namespace {
// What a typed key means to a cell: its character; but a letter of another
// script, typed while a Cyrillic layout (say) is active, means the hex digit
// that a Latin keyboard has on that key, so that nobody has to switch layouts
// to type hex. Latin layouts keep their characters, whatever keys they put them on.
unsigned CellCode(const QKeyEvent& k) {
  const QChar c = k.text()[0];
  if (c.isLetter() && c.script() != QChar::Script_Latin) {
    if (const char latin = LatinHexKeyAt(k.nativeScanCode()))
      return static_cast<unsigned char>(latin);
  }
  return c.unicode();
}
}  // namespace

void HexGrid::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    TypeText(QApplication::clipboard()->text(), nullptr);
    return;
  }
  const QString t = event->text();
  if (!t.isEmpty() && t[0].unicode() != 0 && event->key() != Qt::Key_Tab &&
      (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0 &&
      (t[0].isPrint() || t[0] == '\b' || t[0] == '\r' || t[0] == '\x1b')) {
    StringGrid1KeyPress(CellCode(*event), nullptr);
    return;
  }
  QTableView::keyPressEvent(event);
}

bool HexGrid::eventFilter(QObject* watched, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
    // The middle button pastes the selection: it is typed, character by character.
    if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
      if (event->type() == QEvent::MouseButtonRelease) {
        TypeText(QApplication::clipboard()->text(QClipboard::Selection), editor);
      }
      return true;
    }
  }
  if (event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    if (k->matches(QKeySequence::Paste)) {
      TypeText(QApplication::clipboard()->text(), editor);
      return true;
    }
    const QString t = k->text();
    if (!t.isEmpty() && k->key() != Qt::Key_Tab &&
        (t[0].isPrint() || t[0] == '\b' || t[0] == '\r' || t[0] == '\x1b')) {
      StringGrid1KeyPress(CellCode(*k), qobject_cast<QWidget*>(watched));
      return true;
    }
  }
  return QTableView::eventFilter(watched, event);
}

THexedit::THexedit(const RomImage& image) : model_(image) {
  setObjectName("Hexedit");
  setWindowTitle(QCoreApplication::translate("pt4::THexedit", "Hexedit"));
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFont(PixelFont({"MS Sans Serif", "Liberation Sans", "DejaVu Sans"}, 11));
}

void THexedit::EnsureControls() {
  if (StringGrid1 != nullptr) return;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* menu = new QMenuBar(this);
  menu->setObjectName("MainMenu1");
  QAction* close = menu->addAction(QCoreApplication::translate("pt4::THexedit", "Close"));
  close->setObjectName("Close1");
  connect(close, &QAction::triggered, this, [this] { Close1Click(); });
  layout->setMenuBar(menu);
  StringGrid1 = new HexGrid(this);
  StringGrid1->setModel(&model_);
  StringGrid1->setFixedSize(632, 415);
  layout->addWidget(StringGrid1);
  auto* status = new QStatusBar(this);
  status->setObjectName("StatusBar1");
  status->setFixedHeight(19);
  status->setSizeGripEnabled(false);
  layout->addWidget(status);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void THexedit::showEvent(QShowEvent* event) {
  EnsureControls();
  if (!event->spontaneous()) FormShow();
  QWidget::showEvent(event);
}

void THexedit::FormShow() {
  model_.Rebuild();
  StringGrid1->verticalHeader()->setFixedWidth(54);
  StringGrid1->setCurrentIndex(model_.index(0, 0));
}

void THexedit::ShowBeside(QWidget* mainWindow) {
  EnsureControls();
  adjustSize();
  // The window manager or compositor keeps it with the main window, above it.
  create();
  if (QWindow* main = mainWindow->windowHandle()) windowHandle()->setTransientParent(main);
  // Where the platform reports no window positions (Wayland), the compositor
  // places windows: moving this one would do nothing.
  if (!ReportsWindowPositions()) {
    show();
    return;
  }
  QScreen* screen = mainWindow->screen();
  const QRect avail = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
  const QRect frame = mainWindow->frameGeometry();
  const QRect client = mainWindow->geometry();
  // This window's frame adds what the main window's adds; its caption is smaller.
  const int frameW = frame.width() - client.width(), frameH = frame.height() - client.height();
  const int topStrip = (client.top() - frame.top()) + kMainToolRowsHeight;
  const Box b = PlaceBeside(
      {frame.x(), frame.y(), frame.width(), frame.height()}, width() + frameW, height() + frameH,
      {avail.x(), avail.y(), avail.width(), avail.height()}, topStrip, kMainStatusHeight,
      kMainStatusLiveFrom + (client.left() - frame.left()));
  move(b.x, b.y);
  show();
}

}  // namespace pt4
