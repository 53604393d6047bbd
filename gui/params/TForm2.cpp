#include "gui/params/TForm2.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QValidator>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/Message.h"
#include "gui/boxes/Boxes.h"
#include "gui/look/Look.h"
#include "image/FileUtil.h"
#include "operations/SettingsFile.h"

namespace pt4 {

namespace {
constexpr int kVoltageItemHeight = 14;  // the dropped list's rows, as designed
constexpr int kFirstVoltageItem = 3;    // 12.0 V

// List rows of one height, whatever the style would make them.
class FixedHeightItems final : public QStyledItemDelegate {
 public:
  FixedHeightItems(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
  }

 private:
  int height_;
};

// A radio group is one tab stop, its checked item, wherever it is checked.
void TabStopOnChecked(QButtonGroup* group) {
  auto update = [group] {
    for (QAbstractButton* b : group->buttons()) {
      b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }
  };
  QObject::connect(group, &QButtonGroup::buttonToggled, group, update);
  update();
}

// Turns whatever is typed into capitals as it is typed.
class UpperCase final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text, QRect geo) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(name);
  e->setGeometry(geo);
  e->setFont(FixedFont(11));
  e->setValidator(new UpperCase(e));
  return e;
}

QLabel* Static(QWidget* parent, const char* name, const QString& text, QRect geo, bool maroon,
               const QString& hint = {}) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setGeometry(geo);
  l->setFont(FixedFont(11));
  if (maroon) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, ToQColor(Colour::Maroon));
    l->setPalette(p);
  }
  l->setToolTip(hint);
  return l;
}

QFrame* Frame(QWidget* parent, const char* name, QRect geo, const QString& hint) {
  auto* f = new QFrame(parent);
  f->setObjectName(name);
  f->setGeometry(geo);
  f->setFrameShape(QFrame::Panel);
  f->setFrameShadow(QFrame::Sunken);
  f->setToolTip(hint);
  return f;
}

constexpr const char* kMaskHint = QT_TRANSLATE_NOOP(
    "pt4::TForm2",
    " Write/Compare modes :\r\n Low - only bytes 0,1\r\n L=>H - bytes 0,1 (buffer) as 2,3 (ROM)\r\n"
    " High - only bytes 2,3\r\n Full - All bytes 0..3");
// The mask items as the dialog shows them, in the order of kMaskModes.
constexpr const char* kMaskItems[] = {
    QT_TRANSLATE_NOOP("pt4::TForm2", "Low   (03)"), QT_TRANSLATE_NOOP("pt4::TForm2", "L=>H  (0C)"),
    QT_TRANSLATE_NOOP("pt4::TForm2", "High  (0C)"), QT_TRANSLATE_NOOP("pt4::TForm2", "Full  (0F)")};
}  // namespace

TForm2::TForm2(QWidget* mainWindow, ProgParams& params, const std::string& adapterName)
    : QDialog(mainWindow), p_(params), adapterName_(adapterName) {
  setObjectName("Form2");
  // Light whatever the desktop's theme, for the maroon labels and the black list.
  setPalette(style()->standardPalette());
  setWindowTitle(tr("Write / Compare parameters"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(376, 152);
  setFont(PixelFont({"MS Sans Serif", "Liberation Sans", "DejaVu Sans"}, 11));
  setModal(true);
  FormCreate();
}

void TForm2::EnsureControls() {
  if (VprgBox != nullptr) return;
  BuildControls();
  ShowParams();
}

void TForm2::BuildControls() {
  // Frames first, so the rows' texts lie on top of them.
  Frame(this, "Panel1", {0, 73, 115, 25}, tr("Programming Voltage"));
  Frame(this, "Panel2", {0, 100, 115, 25}, tr("Programming Time"));
  Frame(this, "Panel3", {0, 127, 115, 25}, tr("Programming Cycles"));

  auto* range = new QGroupBox(tr("Address range"), this);
  range->setObjectName("WrRange");
  range->setGeometry(0, 0, 377, 67);
  range->setFont(FixedFont(11));
  auto* full = new QRadioButton(tr("Full Size"), range);
  full->setGeometry(8, 18, 110, 20);
  full->setChecked(true);
  auto* fromTo = new QRadioButton(tr("From-To"), range);
  fromTo->setGeometry(8, 42, 110, 20);
  BufStWrAddr = Edit(this, "BufStWrAddr", "00000", {224, 16, 49, 24});
  Static(this, "StaticText1", tr("Buffer from"), {128, 17, 92, 20}, false);
  Static(this, "StaticText2", tr("ROM    from"), {128, 43, 92, 20}, false);
  Static(this, "StaticText3", tr("h to"), {272, 17, 36, 20}, false);
  Static(this, "StaticText4", tr("h to"), {272, 43, 36, 20}, false);
  WrYes = new QPushButton(tr("Go!!!"), this);
  WrYes->setObjectName("WrYes");
  WrYes->setGeometry(230, 73, 73, 80);
  WrYes->setFont(FixedFont(11));
  WrNo = new QPushButton(tr("Cancel"), this);
  WrNo->setObjectName("WrNo");
  WrNo->setGeometry(304, 73, 73, 80);
  WrNo->setFont(FixedFont(11));
  WrNo->setDefault(true);
  BufEndWrAddr = Edit(this, "BufEndWrAddr", "00000", {312, 16, 49, 24});
  Static(this, "StaticText5", tr("h"), {360, 17, 12, 20}, false);
  ROMStWrAddr = Edit(this, "ROMStWrAddr", "00000", {224, 40, 49, 24});
  ROMEndWrAddr = Edit(this, "ROMEndWrAddr", "00000", {312, 40, 49, 24});
  Static(this, "StaticText6", tr("h"), {360, 43, 12, 20}, false);

  Static(this, "VPrgST", tr("Vprg"), {4, 76, 36, 20}, true, tr("Programming Voltage"));
  VprgBox = new QComboBox(this);
  VprgBox->setObjectName("VprgBox");
  VprgBox->setGeometry(40, 76, 57, 20);
  VprgBox->setFont(FixedFont(11));
  VprgBox->setToolTip(tr("Programming Voltage"));
  VprgBox->setMaxVisibleItems(10);
  VprgBox->setItemDelegate(new FixedHeightItems(kVoltageItemHeight, VprgBox));
  for (int i = 0; i < kVoltageItems; ++i)
    VprgBox->addItem(QString::fromStdString(VoltageItemText(i)));
  Static(this, "VprgV", tr("V"), {100, 76, 12, 20}, true, tr("Programming Voltage"));

  Static(this, "PgTST", tr("PrgT"), {4, 103, 36, 20}, true, tr("Programming Time"));
  Static(this, "PrgMS", tr("mS"), {90, 103, 20, 20}, true, tr("Programming Time"));
  PrgTBox = Edit(this, "PrgTBox", "XXXX", {40, 100, 41, 24});
  PrgTBox->setToolTip(tr("Programming Time"));

  Wr_Comp = new QGroupBox(tr("Wr/Comp Mask"), this);
  Wr_Comp->setObjectName("Wr_Comp");
  Wr_Comp->setGeometry(116, 66, 113, 87);
  Wr_Comp->setFont(FixedFont(11));
  maskItems = new QButtonGroup(this);
  for (int i = 0; i < 4; ++i) {
    auto* b = new QRadioButton(tr(kMaskItems[i]), Wr_Comp);
    b->setObjectName(QString("Wr_Comp%1").arg(i));
    b->setGeometry(6, 16 + 17 * i, 104, 17);
    maskItems->addButton(b, i);
  }

  Static(this, "PrgCST", tr("PrgC"), {4, 130, 36, 20}, true, tr("Programming Cycles"));
  Static(this, "PrgTs", tr("t-s"), {84, 130, 28, 20}, true, tr("Programming Cycles"));
  PrgCBox = Edit(this, "PrgCBox", "XXXX", {40, 127, 41, 24});
  PrgCBox->setToolTip(tr("Programming Cycles"));

  // Tab order as designed. Each radio group is one stop, its checked item; all of
  // a group's items stand together in the chain, so the stop does not move with
  // the selection.
  QWidget* order[] = {full,
                      fromTo,
                      BufStWrAddr,
                      WrYes,
                      WrNo,
                      BufEndWrAddr,
                      ROMStWrAddr,
                      ROMEndWrAddr,
                      VprgBox,
                      PrgTBox,
                      maskItems->button(0),
                      maskItems->button(1),
                      maskItems->button(2),
                      maskItems->button(3),
                      PrgCBox};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  auto* rangeItems = new QButtonGroup(this);
  rangeItems->addButton(full);
  rangeItems->addButton(fromTo);
  TabStopOnChecked(rangeItems);
  TabStopOnChecked(maskItems);
  connect(WrYes, &QPushButton::clicked, this, [this] { WrYesClick(); });
  connect(WrNo, &QPushButton::clicked, this, [this] { WrNoClick(); });
  connect(VprgBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
          [this] { VprgBoxChange(); });
  connect(maskItems, &QButtonGroup::idClicked, this, [this] { Wr_CompClick(); });
  connect(PrgTBox, &QLineEdit::textChanged, this, [this] { PrgTBoxChange(); });
  connect(PrgCBox, &QLineEdit::textChanged, this, [this] { PrgCBoxChange(); });
  Wr_Comp->setToolTip(tr(kMaskHint));
}

void TForm2::FormCreate() {
  ProgParams& p = p_;
  p.ProgVoltage = VoltageForIndex(kFirstVoltageItem);
  p.CompMask = kMaskModes[0].mask;
  p.LowToHigh = kMaskModes[0].lowToHigh;
  p.ProgTime = 100;
  p.ProgCycles = 10;
}

void TForm2::ShowParams() {
  // Each control's change handler takes its value back into the parameters.
  int item = kFirstVoltageItem;
  for (int i = 0; i < kVoltageItems; ++i) {
    if (VoltageForIndex(i) == p_.ProgVoltage) item = i;
  }
  VprgBox->setCurrentIndex(item);
  VprgBoxChange();
  int mask = 0;
  for (int i = 0; i < 4; ++i) {
    if (kMaskModes[i].mask == p_.CompMask && kMaskModes[i].lowToHigh == p_.LowToHigh) mask = i;
  }
  maskItems->button(mask)->setChecked(true);
  Wr_CompClick();
  PrgTBox->setText(QString::number(p_.ProgTime));
  PrgCBox->setText(QString::number(p_.ProgCycles));
}

bool TForm2::ShowFor(const QString& goCaption, QWidget* over) {
  EnsureControls();
  WrYes->setText(goCaption);
  if (over != nullptr) {
    const QRect r = over->frameGeometry();
    move(r.center() - QPoint(width() / 2, height() / 2));
  }
  exec();
  return confirmed_;
}

void TForm2::showEvent(QShowEvent* event) {
  EnsureControls();
  FormShow();
  QDialog::showEvent(event);
}

void TForm2::FormShow() {
  confirmed_ = false;
}

void TForm2::WrYesClick() {
  confirmed_ = true;
  accept();
}

void TForm2::WrNoClick() {
  reject();
}

void TForm2::done(int result) {
  // Every way out (go, Cancel, the close box) passes here.
  FormClose();
  QDialog::done(result);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return;  // Esc does nothing here
  QDialog::keyPressEvent(event);
}

void TForm2::VprgBoxChange() {
  p_.ProgVoltage = VoltageForIndex(VprgBox->currentIndex());
}

void TForm2::Wr_CompClick() {
  const int i = maskItems->checkedId();
  if (i < 0) return;
  p_.CompMask = kMaskModes[i].mask;
  p_.LowToHigh = kMaskModes[i].lowToHigh;
}

namespace {
// A number field takes its value keystroke by keystroke; anything that is not a
// number in the field's range puts the default text back, which sets the default
// value in turn. The range keeps a pulse from holding the programming voltage
// for days on the window's thread.
void ApplyNumberField(QLineEdit* field, std::int32_t& target, const char* fallback,
                      std::int32_t lowest, std::int32_t highest) {
  const auto v = TryParseInt(field->text().toStdString());
  if (v && !field->text().isEmpty() && *v >= lowest && *v <= highest) {
    target = *v;
  } else {
    field->setText(fallback);
  }
}
}  // namespace

void TForm2::PrgTBoxChange() {
  ApplyNumberField(PrgTBox, p_.ProgTime, "100", kMinProgTime, kMaxProgTime);
}

void TForm2::PrgCBoxChange() {
  ApplyNumberField(PrgCBox, p_.ProgCycles, "10", kMinProgCycles, kMaxProgCycles);
}

QString TForm2::ExecutableFolder() const {
  return exeFolder_.isEmpty() ? QCoreApplication::applicationDirPath() : exeFolder_;
}

QString TForm2::SettingsPath() const {
  const std::string name = (adapterName_.empty() ? std::string("ZI4") : adapterName_) + ".ini";
  if (!settingsFolder_.isEmpty()) return settingsFolder_ + "/" + QString::fromStdString(name);
  const QString exe = ExecutableFolder();
#ifdef _WIN32
  // The user's roaming application data, read as Windows names it (UTF-16).
  const QByteArray configHome = qEnvironmentVariable("APPDATA").toUtf8();
#else
  const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
#endif
  return QString::fromUtf8(ChooseSettingsPath(exe.toUtf8().toStdString(), PT4_INSTALLED_BINDIR,
                                              name,
                                              configHome.isEmpty() ? nullptr : configHome.data(),
                                              UserHome(std::getenv("HOME")))
                               .c_str());
}

void TForm2::FormClose() {
  EnsureControls();
  const QString path = SettingsPath();
  const IniKeys keys = {{"BufStartWriteAdr", BufStWrAddr->text().toStdString()},
                        {"BufEndWriteAdr", BufEndWrAddr->text().toStdString()},
                        {"ROMStartWriteAdr", ROMStWrAddr->text().toStdString()},
                        {"ROMEndWriteAdr", ROMEndWrAddr->text().toStdString()}};
  if (path.isEmpty()) {
    // No home is known: nothing is written anywhere else instead, and the user
    // hears of it once, not at every close.
    if (!toldNoHome_)
      ShowMessage(tr("No home folder is known for this user: the settings are not saved."));
    toldNoHome_ = true;
    return;
  }
  const std::string file = path.toUtf8().toStdString();
  // The user's own settings folder is made when missing; a folder named by a
  // test or beside the executable is taken as it is.
  int err = 0;
  if (settingsFolder_.isEmpty()) {
    const std::string folder = ParentFolder(file);
    if (folder != ExecutableFolder().toUtf8().toStdString()) err = MakeSettingsFolder(folder);
    if (err == EPERM) {
      ShowMessage(tr("The folder %1 is not yours alone (another user owns it or may write in "
                     "it): the settings are not saved there.")
                      .arg(QString::fromUtf8(folder.c_str())));
      return;
    }
  }
  try {
    if (err != 0) throw FileError(Message{SysError(err)}).About(file);
    WriteIniKeys(file, "K556PT4", keys);
  } catch (const Error& e) {
    // The box's words are the program's own; the cause goes where a helper looks.
    std::fprintf(stderr, "pt4prog: %s\n", e.what());
    ShowMessage(tr("Unable to write to %1").arg(path));
  }
}

}  // namespace pt4
