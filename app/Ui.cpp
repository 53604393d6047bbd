#include "app/Ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QPushButton>
#include <QScreen>

#include "app/AppTitle.h"

namespace pt4 {

QString AppTitle() {
  return QString::fromStdString(
      AppTitleFromPath(QCoreApplication::applicationFilePath().toStdString()));
}

QColor ToQColor(Colour c) {
  const Rgb rgb = ColourRgb(c);
  return {rgb.r, rgb.g, rgb.b};
}

QColor Silver() {
  return {kSilver.r, kSilver.g, kSilver.b};
}

QFont PixelFont(const QStringList& families, int pixels, bool bold) {
  QFont f;
  f.setFamilies(families);
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

QFont FixedFont(int pixels) {
  QFont f = PixelFont({"Fixedsys", "DejaVu Sans Mono", "Liberation Mono", "Monospace"}, pixels);
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  return f;
}

QFont ArialBold(int pixels) {
  return PixelFont({"Arial", "Liberation Sans", "DejaVu Sans"}, pixels, true);
}

namespace {
void Centre(QMessageBox& box) {
  box.adjustSize();
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect r = s->availableGeometry();
    box.move(r.center() - QPoint(box.width() / 2, box.height() / 2));
  }
}
}  // namespace

void ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, AppTitle(), text, QMessageBox::Ok);
  box.setObjectName("PlainMessage");
  Centre(box);
  box.exec();
}

void ShowErrorBox(const QString& message) {
  QMessageBox box(QMessageBox::Critical, AppTitle(),
                  QString::fromStdString(ErrorBoxText(message.toStdString())), QMessageBox::Ok);
  box.setObjectName("ErrorBox");
  Centre(box);
  box.exec();
}

int ConfirmDialog(const QString& caption, const QString& text,
                  QMessageBox::StandardButton defaultButton) {
  QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No);
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

UiHooks& Hooks() {
  static UiHooks hooks{[](QWidget* parent, const QString& filter) {
                         return QFileDialog::getOpenFileName(parent, QString(), QString(), filter,
                                                             nullptr,
                                                             QFileDialog::DontUseNativeDialog);
                       },
                       [](QWidget* parent, const QString& filter, const QString& suffix) {
                         QFileDialog d(parent, QString(), QString(), filter);
                         d.setOption(QFileDialog::DontUseNativeDialog);
                         d.setOption(QFileDialog::DontConfirmOverwrite);
                         d.setAcceptMode(QFileDialog::AcceptSave);
                         d.setDefaultSuffix(suffix);
                         return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty()
                                    ? d.selectedFiles().first()
                                    : QString();
                       }};
  return hooks;
}

void Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowErrorBox(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    ShowErrorBox("Unknown error");
  }
}

}  // namespace pt4
