// The main window's controls and menus, laid out in fixed pixels as designed.
#include <QComboBox>
#include <QFrame>
#include <QLayout>
#include <QMenuBar>
#include <QStyle>
#include <string>
#include <tuple>

#include "gui/boxes/Boxes.h"
#include "gui/look/AppTitle.h"
#include "gui/look/Glyphs.h"
#include "gui/look/Look.h"
#include "gui/mainwindow/TForm1.h"

namespace pt4 {

namespace {
QLabel* Label(QWidget* parent, const char* name, const QString& text, QRect geo, QFont font,
              QColor colour) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setGeometry(geo);
  l->setFont(font);
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, colour);
  l->setPalette(pal);
  return l;
}

QFrame* Panel(QWidget* parent, const char* name, QRect geo, QFrame::Shadow shadow) {
  auto* p = new QFrame(parent);
  p->setObjectName(name);
  p->setGeometry(geo);
  p->setFrameShape(shadow == QFrame::Plain ? QFrame::NoFrame : QFrame::Panel);
  p->setFrameShadow(shadow);
  p->setLineWidth(1);
  p->setAutoFillBackground(true);
  QPalette pal = p->palette();
  pal.setColor(QPalette::Window, Silver());
  p->setPalette(pal);
  return p;
}

QTextEdit* Pane(QWidget* parent, const char* name, QRect geo, const QString& first,
                const QString& hint) {
  auto* e = new QTextEdit(parent);
  e->setObjectName(name);
  e->setGeometry(geo);
  e->setReadOnly(true);
  e->setFont(FixedFont(12));
  e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  e->setLineWrapMode(QTextEdit::NoWrap);
  e->setUndoRedoEnabled(false);
  e->setToolTip(hint);
  e->setTextColor(ToQColor(Colour::Navy));
  e->setPlainText(first);
  return e;
}
}  // namespace

void TForm1::BuildWindow() {
  // The window's own light colours whatever the desktop's theme: its texts have
  // fixed dark colours (navy, maroon), which a dark theme's backgrounds would
  // swallow. Its boxes and other windows follow the theme.
  setPalette(style()->standardPalette());
  setWindowTitle(AppTitle());
  setWindowIcon(WindowIcon());
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  auto* client = new QWidget(this);
  client->setObjectName("ClientArea");
  client->setFixedSize(631, 434);
  client->setAutoFillBackground(true);
  QPalette pal = client->palette();
  pal.setColor(QPalette::Window, Silver());
  client->setPalette(pal);
  setCentralWidget(client);
  QFont windowFont = FixedFont(11);
  client->setFont(windowFont);

  QFrame* toolBar = Panel(client, "ToolBar1", {0, 0, 631, 33}, QFrame::Raised);
  struct Tool {
    int left;
    const char* name;
    const char* hint;
    int image;
    void (TForm1::*handler)();
  };
  const Tool tools[] = {
      {0, "ExitButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Exit (Esc)"), 0,
       &TForm1::ExitButtonClick},
      {31, "HelpButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Help (F1)"), 1,
       &TForm1::HelpButtonClick},
      {55, "SaveButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Save buffer (F2)"), 2, &TForm1::RomSave},
      {79, "LoadButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Load buffer (F3)"), 3,
       &TForm1::RomOpenClick},
      {103, "ClearButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Erase buffer (F4)"), 4,
       &TForm1::ClearButtonClick},
      {134, "ReadButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Read IC (F5)"), 5,
       &TForm1::ReadButtonClick},
      {158, "WriteButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Write IC (F6)"), 6,
       &TForm1::WriteButtonClick},
      {182, "CompareButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Compare IC & buffer (F7)"), 7,
       &TForm1::CompareButtonClick},
      {206, "EraseButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Erase IC (F8)"), 8,
       &TForm1::EraseButtonClick},
      {237, "CheckButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Clear Check (F9)"), 9,
       &TForm1::CheckButtonClick},
      {261, "IdButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Read ID (F10)"), 10,
       &TForm1::IdButtonClick},
      {285, "IcButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Select IC type (F11)"), 11,
       &TForm1::IcButtonClick},
      {309, "SetButton", QT_TRANSLATE_NOOP("pt4::TForm1", "Options (F12)"), 12,
       &TForm1::EditButtonClick},
  };
  for (const Tool& t : tools) {
    auto* b = new QToolButton(toolBar);
    b->setObjectName(t.name);
    b->setGeometry(t.left, 2, 24, 24);
    b->setIcon(ToolGlyph(t.image));
    b->setIconSize({16, 16});
    b->setAutoRaise(true);
    b->setToolTip(tr(t.hint));
    b->setFocusPolicy(Qt::NoFocus);
    auto handler = t.handler;
    connect(b, &QToolButton::clicked, this,
            [this, handler] { Guard([&] { (this->*handler)(); }); });
    if (std::string(t.name) == "IdButton") IdButton = b;
    if (std::string(t.name) == "EraseButton") EraseButton = b;
  }
  const std::pair<const char*, QRect> separators[] = {{"ToolButton3", {24, 2, 7, 24}},
                                                      {"ToolButton8", {127, 2, 7, 24}},
                                                      {"ToolButton12", {230, 2, 7, 24}},
                                                      {"ToolButton15", {333, 2, 9, 24}},
                                                      {"ToolButton20", {474, 2, 5, 24}}};
  for (const auto& [name, geo] : separators) {
    auto* s = new QFrame(toolBar);
    s->setObjectName(name);
    s->setGeometry(geo.x() + geo.width() / 2 - 1, geo.y() + 2, 2, geo.height() - 4);
    s->setFrameShape(QFrame::VLine);
    s->setFrameShadow(QFrame::Sunken);
  }
  QFrame* panel8 = Panel(toolBar, "Panel8", {342, 2, 132, 24}, QFrame::Sunken);
  panel8->setToolTip(tr("Checksum"));
  Label(panel8, "CheckText", tr("CheckSum :"), {8, 5, 70, 15}, ArialBold(12),
        ToQColor(Colour::Maroon))
      ->setToolTip(tr("Checksum"));
  CheckResult = Label(panel8, "CheckResult", tr("None"), {88, 5, 40, 15}, ArialBold(12),
                      ToQColor(Colour::Navy));
  CheckResult->setToolTip(tr("Checksum"));

  QFrame* panel1 = Panel(client, "Panel1", {479, 2, 149, 28}, QFrame::Plain);
  ICTypeCBox = new QComboBox(panel1);
  ICTypeCBox->setObjectName("ICTypeCBox");
  ICTypeCBox->setGeometry(-1, 4, 152, 22);
  ICTypeCBox->setFont(ArialBold(11));
  QPalette cp = ICTypeCBox->palette();
  cp.setColor(QPalette::Text, ToQColor(Colour::Navy));
  cp.setColor(QPalette::ButtonText, ToQColor(Colour::Navy));
  ICTypeCBox->setPalette(cp);
  // The chip as its users write it; the settings file's section keeps the Latin name.
  ICTypeCBox->addItem(tr("K556PT4"));
  connect(ICTypeCBox, QOverload<int>::of(&QComboBox::activated), this,
          [this](int) { Guard([&] { ICTypeCBoxChange(); }); });

  RichEditProgram =
      Pane(client, "RichEditProgram", {0, 34, 630, 247}, tr("Program dump"), tr("Program Buffer"));
  RichEditData =
      Pane(client, "RichEditData", {0, 284, 630, 129}, tr("Data dump"), tr("Data Buffer"));

  Panel(client, "StatusBar1", {0, 414, 631, 20}, QFrame::Plain);
  QFrame* mode = Panel(client, "ModePanel", {1, 416, 136, 17}, QFrame::Raised);
  Label(mode, "ICMtext", tr("IC Mode :"), {10, 1, 58, 15}, ArialBold(12), ToQColor(Colour::Maroon));
  ICMresult =
      Label(mode, "ICMresult", tr("PROM"), {70, 1, 45, 15}, ArialBold(12), ToQColor(Colour::Navy));
  QFrame* adapter = Panel(client, "AdapterPanel", {136, 416, 129, 17}, QFrame::Raised);
  Label(adapter, "AdpText", tr("Adaptor :"), {10, 1, 58, 15}, ArialBold(12),
        ToQColor(Colour::Maroon));
  ADPresult =
      Label(adapter, "ADPresult", "ZI4", {70, 1, 30, 15}, ArialBold(12), ToQColor(Colour::Navy));
  CurAdr =
      Label(client, "CurAdr", "00000", {266, 417, 44, 20}, FixedFont(11), ToQColor(Colour::Navy));
  CurAdr->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ProgressBar1 = new QProgressBar(client);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setGeometry(310, 416, 165, 17);
  ProgressBar1->setRange(0, 255);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  Panel2 = Panel(client, "Panel2", {475, 417, 156, 16}, QFrame::Raised);
  const std::tuple<const char*, int, Colour> lampDefs[] = {
      {"VCC32led", 3, Colour::Olive},  {"VCC28led", 23, Colour::Olive},
      {"VCC24led", 43, Colour::Olive}, {"WriteLed", 63, Colour::Maroon},
      {"IDled", 83, Colour::Navy},     {"PGled", 138, Colour::Green}};
  for (std::size_t i = 0; i < std::size(lampDefs); ++i) {
    const auto& [name, left, fill] = lampDefs[i];
    lamps[i] = new TShape(name, Panel2, ToQColor(fill));
    lamps[i]->setGeometry(left, 0, 15, 15);
  }

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  Timer1->start();
}

void TForm1::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");
  auto menu = [&](const char* name, const char* caption) {
    QMenu* m = bar->addMenu(tr(caption));
    m->setObjectName(name);
    return m;
  };
  auto item = [&](QMenu* m, const char* name, const char* caption, void (TForm1::*handler)()) {
    QAction* a = m->addAction(tr(caption));
    a->setObjectName(name);
    if (handler != nullptr) {
      connect(a, &QAction::triggered, this,
              [this, handler] { Guard([&] { (this->*handler)(); }); });
    }
  };
  QMenu* file = menu("File1", QT_TRANSLATE_NOOP("pt4::TForm1", " File "));
  item(file, "New2", QT_TRANSLATE_NOOP("pt4::TForm1", "New"), &TForm1::ClearButtonClick);
  item(file, "Load2", QT_TRANSLATE_NOOP("pt4::TForm1", "Load"), &TForm1::RomOpenClick);
  item(file, "Save2", QT_TRANSLATE_NOOP("pt4::TForm1", "Save"), &TForm1::RomSave);
  item(file, "Exit2", QT_TRANSLATE_NOOP("pt4::TForm1", "Exit"), &TForm1::Exit2Click);
  QMenu* buffer = menu("Buffer1", QT_TRANSLATE_NOOP("pt4::TForm1", " Buffer "));
  item(buffer, "Fill1", QT_TRANSLATE_NOOP("pt4::TForm1", "Fill 00"), nullptr);
  item(buffer, "XOR1", QT_TRANSLATE_NOOP("pt4::TForm1", "Fill FF"), nullptr);
  item(buffer, "XOR2", QT_TRANSLATE_NOOP("pt4::TForm1", "Fill Byte"), nullptr);
  item(buffer, "XORbyte1", QT_TRANSLATE_NOOP("pt4::TForm1", "XOR byte"), nullptr);
  item(buffer, "EditON1", QT_TRANSLATE_NOOP("pt4::TForm1", "Edit ON"), nullptr);
  QMenu* action = menu("Action1", QT_TRANSLATE_NOOP("pt4::TForm1", " Action"));
  // "Read" and "Read ID" do what their keys and buttons do: a user choosing Read expects a read.
  item(action, "Read1", QT_TRANSLATE_NOOP("pt4::TForm1", "Read"), &TForm1::ReadButtonClick);
  item(action, "Write1", QT_TRANSLATE_NOOP("pt4::TForm1", "Write"), &TForm1::WriteButtonClick);
  item(action, "Compare2", QT_TRANSLATE_NOOP("pt4::TForm1", "Compare"),
       &TForm1::CompareButtonClick);
  item(action, "Erase1", QT_TRANSLATE_NOOP("pt4::TForm1", "Erase"), nullptr);
  item(action, "Compare1", QT_TRANSLATE_NOOP("pt4::TForm1", "Test FF"), nullptr);
  item(action, "ReadID1", QT_TRANSLATE_NOOP("pt4::TForm1", "Read ID"), &TForm1::IdButtonClick);
  QMenu* settings = menu("Settings1", QT_TRANSLATE_NOOP("pt4::TForm1", "Config"));
  item(settings, "Port1", QT_TRANSLATE_NOOP("pt4::TForm1", "Port"), nullptr);
  QMenu* help = menu("Help1", QT_TRANSLATE_NOOP("pt4::TForm1", " Help "));
  item(help, "About1", QT_TRANSLATE_NOOP("pt4::TForm1", "About"), &TForm1::HelpButtonClick);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace pt4
