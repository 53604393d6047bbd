// The write/compare parameters dialog. Its controls change the parameters the
// moment they change; closing it by any route writes the address fields to ZI4.ini.
// The dialog is made with the main window, but its controls only when first
// needed: until it is shown the parameters hold their first values alone, and a
// start-up spends no time on controls and fonts that nobody sees yet.
#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "operations/Params.h"

namespace pt4 {

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  // Edits `params`; the settings file is named after `adapterName` when it closes.
  TForm2(QWidget* mainWindow, ProgParams& params, const std::string& adapterName);
  // Captions the go button and shows the dialog modally, centred over `over`.
  // True when the user pressed the go button; false for Cancel, Esc or closing.
  [[nodiscard]] bool ShowFor(const QString& goCaption, QWidget* over);
  // Where the settings file goes; the executable's folder unless a test says otherwise.
  void SetSettingsFolder(const QString& folder) { settingsFolder_ = folder; }
  // For tests: behave as if the executable stood in `folder`.
  void SetExecutableFolder(const QString& folder) { exeFolder_ = folder; }
  QString SettingsPath() const;
  // Makes the controls, showing the parameters, if they are not made yet; the
  // control pointers below are null until then.
  void EnsureControls();

  void FormCreate();
  void FormShow();
  void WrYesClick();
  void WrNoClick();
  void FormClose();
  void VprgBoxChange();
  void Wr_CompClick();
  void PrgTBoxChange();
  void PrgCBoxChange();

  QPushButton* WrYes = nullptr;
  QPushButton* WrNo = nullptr;
  QComboBox* VprgBox = nullptr;
  QGroupBox* Wr_Comp = nullptr;
  QButtonGroup* maskItems = nullptr;
  QLineEdit* PrgTBox = nullptr;
  QLineEdit* PrgCBox = nullptr;
  QLineEdit* BufStWrAddr = nullptr;
  QLineEdit* BufEndWrAddr = nullptr;
  QLineEdit* ROMStWrAddr = nullptr;
  QLineEdit* ROMEndWrAddr = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  QString ExecutableFolder() const;
  void BuildControls();
  void ShowParams();
  ProgParams& p_;
  const std::string& adapterName_;
  QString settingsFolder_;
  QString exeFolder_;
  bool toldNoHome_ = false;
  bool confirmed_ = false;  // the go button ended this showing
};

}  // namespace pt4
