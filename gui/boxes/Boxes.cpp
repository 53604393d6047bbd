#include "gui/boxes/Boxes.h"

#include <QApplication>
#include <QGridLayout>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/Message.h"
#include "gui/desktop/Windowing.h"
#include "gui/look/AppTitle.h"

namespace pt4 {

namespace {
// A box belongs with the window the user works in: on Wayland the compositor
// places it by its parent.
QWidget* BoxParent() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

// A box is laid out only when it is shown: it is placed then, on its real size.
// The plain messages and the confirmation are centred on the screen, as they
// always were; an error or a warning is about what the user just did in a
// window, so it is centred over that window, and kept on the screen.
class CentreOnShow final : public QObject {
 public:
  CentreOnShow(QObject* parent, bool overWindow) : QObject(parent), overWindow_(overWindow) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && !inShow_) {
      // The box takes its final size in its own show event: that first, then
      // the place, before the window system maps it.
      inShow_ = true;
      QCoreApplication::sendEvent(watched, event);
      inShow_ = false;
      auto* w = static_cast<QWidget*>(watched);
      if (QScreen* s = w->screen(); s != nullptr && ReportsWindowPositions()) {
        const QRect screen = s->availableGeometry();
        const QWidget* over = overWindow_ ? w->parentWidget() : nullptr;
        if (over != nullptr) over = over->window();
        const QRect frame = w->frameGeometry();
        const QPoint centre =
            over != nullptr && over->isVisible() ? over->frameGeometry().center() : screen.center();
        QPoint at = centre - QPoint(frame.width() / 2, frame.height() / 2);
        at.setX(std::clamp(at.x(), screen.left(),
                           std::max(screen.left(), screen.right() - frame.width())));
        at.setY(std::clamp(at.y(), screen.top(),
                           std::max(screen.top(), screen.bottom() - frame.height())));
        w->move(at);
      }
      return true;
    }
    return false;
  }

 private:
  bool overWindow_;
  bool inShow_ = false;
};

// For the tests that drive the program under a real X server: what each box
// says, on standard error, since a script cannot read it off the screen.
void Echo(const QMessageBox& box) {
  static const bool echo = qEnvironmentVariableIsSet("PT4_ECHO_BOXES");
  if (echo)
    std::fprintf(stderr, "box: %s: %s\n", qPrintable(box.windowTitle()), qPrintable(box.text()));
}

void Centre(QMessageBox& box, bool overWindow = false) {
  // Wide enough that the window system shows the whole caption: a box with a
  // short text ("help") would otherwise cut its title to nothing.
  const int title = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kCaptionButtonsWidth;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(title, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  box.installEventFilter(new CentreOnShow(&box, overWindow));
  Echo(box);
}

}  // namespace

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

void ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, AppTitle(), text, QMessageBox::Ok, BoxParent());
  box.setObjectName("PlainMessage");
  Centre(box);
  box.exec();
}

void ShowWarningBox(const QString& message) {
  QMessageBox box(QMessageBox::Warning, AppTitle(), message, QMessageBox::Ok, BoxParent());
  box.setObjectName("WarningBox");
  Centre(box, true);
  box.exec();
}

namespace {
QString Translated(const Phrase& p) {
  switch (p.kind()) {
    case Phrase::Kind::Verbatim:
      return QString::fromStdString(p.text());
    case Phrase::Kind::Errno:
      return QString::fromLocal8Bit(std::strerror(p.err()));
    case Phrase::Kind::Template:
      break;
  }
  std::vector<std::string> args;
  for (const Phrase& a : p.args()) args.push_back(Translated(a).toStdString());
  const QString templ = QCoreApplication::translate(p.context(), p.text().c_str());
  return QString::fromStdString(Fill(templ.toStdString(), args));
}

// A system error in the locale's words, which is set by now.
QString Translated(const Message& m) {
  QStringList sentences;
  for (const Phrase& p : m) sentences << Translated(p);
  return sentences.join(' ');
}

QString ErrorText(const std::exception& e) {
  if (const auto* kept = dynamic_cast<const Error*>(&e)) return Translated(kept->Words());
  return QString::fromUtf8(e.what());
}
}  // namespace

void ShowErrorBox(const std::exception& e) {
  ShowErrorBox(ErrorText(e));
}

void ShowErrorBox(const QString& message) {
  QMessageBox box(QMessageBox::Critical, AppTitle(),
                  QString::fromStdString(ErrorBoxText(message.toStdString())), QMessageBox::Ok,
                  BoxParent());
  box.setObjectName("ErrorBox");
  Centre(box, true);
  box.exec();
}

int ConfirmDialog(const QString& caption, const QString& text,
                  QMessageBox::StandardButton defaultButton) {
  QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                  BoxParent());
  box.setObjectName("ConfirmDialog");
  box.setEscapeButton(QMessageBox::No);
  box.setDefaultButton(defaultButton);
  if (QAbstractButton* b = box.button(defaultButton)) b->setFocus();
  Centre(box);
  const int r = box.exec();
  if (r == QMessageBox::Yes) return 6;
  if (r == QMessageBox::No) return 7;
  return 2;
}

void Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowErrorBox(e);
  } catch (...) {
    ShowErrorBox(QCoreApplication::translate("pt4::Ui", "Unknown error"));
  }
}

}  // namespace pt4
