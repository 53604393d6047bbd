// Message boxes, file dialogs and the error box, reached through functions that a
// test can replace, and the guard that keeps an error inside its handler.
#pragma once

#include <QColor>
#include <QFont>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

#include "image/Colour.h"

class QWidget;

namespace pt4 {

QString AppTitle();
QColor ToQColor(Colour c);
QColor Silver();
// A face from `families`, the first one installed, at a pixel height.
QFont PixelFont(const QStringList& families, int pixels, bool bold = false);
QFont FixedFont(int pixels);  // stands in for Fixedsys and Terminal
QFont ArialBold(int pixels);

// False where the platform keeps window positions to itself (Wayland): there a
// window is placed by the compositor, and its transient parent tells which
// window it belongs with.
bool ReportsWindowPositions();

// Room a caption bar needs besides its title: icon, buttons and margins.
constexpr int kCaptionButtonsWidth = 120;

// The plain box: application title, no icon, OK.
void ShowMessage(const QString& text);
// A warning: application title, warning icon, OK.
void ShowWarningBox(const QString& message);
// The standard error box: application title, error icon, OK, full stop added.
void ShowErrorBox(const QString& message);
// The same for an error: in the user's language where the core kept its
// sentences (each translated, then filled in), else as it is.
void ShowErrorBox(const std::exception& e);
// The answers of the confirmation box, as the window system numbers them.
constexpr int kAnswerYes = 6, kAnswerNo = 7, kAnswerCancel = 2;
// The confirmation box ("Confirm", question mark, Yes and No; Esc answers No).
int ConfirmDialog(const QString& caption, const QString& text,
                  QMessageBox::StandardButton defaultButton);

// The file dialogs: the name chosen or typed (empty when cancelled), and the
// filter that was selected. The open dialog hands back a typed name of a file
// that does not exist, so that the command can say so itself. Both start in the
// folder of the last load or save of the run.
struct UiHooks {
  std::function<QString(QWidget* parent, const QString& filter, QString* selectedFilter)>
      getOpenFileName;
  std::function<QString(QWidget* parent, const QString& filter, const QString& defaultSuffix)>
      getSaveFileName;
};
UiHooks& Hooks();

// Runs a handler; any error that escapes it is shown in the error box.
void Guard(const std::function<void()>& handler);

}  // namespace pt4
