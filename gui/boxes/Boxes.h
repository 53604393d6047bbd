// The message boxes: a plain message, a warning, the error box, the
// confirmation, and the guard that keeps an error inside its handler. Each box
// carries the application's title and is placed over the window it belongs with.
#pragma once

#include <QMessageBox>
#include <QString>
#include <exception>
#include <functional>
#include <string>

namespace pt4 {

// The plain box: application title, no icon, OK.
void ShowMessage(const QString& text);
// A warning: application title, warning icon, OK.
void ShowWarningBox(const QString& message);
// The standard error box: application title, error icon, OK, full stop added.
void ShowErrorBox(const QString& message);
// The same for an error: in the user's language where the core kept its
// sentences (each translated, then filled in), else as it is.
void ShowErrorBox(const std::exception& e);
// The error box adds a full stop when the message's last character sorts after one.
std::string ErrorBoxText(const std::string& message);

// The answers of the confirmation box, as the window system numbers them.
constexpr int kAnswerYes = 6, kAnswerNo = 7, kAnswerCancel = 2;
// The confirmation box ("Confirm", question mark, Yes and No; Esc answers No).
int ConfirmDialog(const QString& caption, const QString& text,
                  QMessageBox::StandardButton defaultButton);

// Runs a handler; any error that escapes it is shown in the error box.
void Guard(const std::function<void()>& handler);

}  // namespace pt4
