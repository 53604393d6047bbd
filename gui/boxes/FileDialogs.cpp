#include "gui/boxes/FileDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "gui/desktop/Windowing.h"

namespace pt4 {

namespace {
QString& LastFolder() {
  static QString folder;
  return folder;
}

void Remember(const QString& file) {
  if (!file.isEmpty()) LastFolder() = QFileInfo(file).absolutePath();
}
}  // namespace

UiHooks& Hooks() {
  static UiHooks hooks{[](QWidget* parent, const QString& filter, QString* selected) {
                         const GivesBackActivation back(parent);
                         QFileDialog d(parent, QString(), LastFolder(), filter);
                         d.setOption(QFileDialog::DontUseNativeDialog);
                         d.setAcceptMode(QFileDialog::AcceptOpen);
                         // Any name, existing or not: "File not found !" is the command's to say.
                         d.setFileMode(QFileDialog::AnyFile);
                         d.setLabelText(QFileDialog::Accept,
                                        QCoreApplication::translate("pt4::Ui", "&Open"));
                         if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
                           return QString();
                         if (selected != nullptr) *selected = d.selectedNameFilter();
                         Remember(d.selectedFiles().first());
                         return d.selectedFiles().first();
                       },
                       [](QWidget* parent, const QString& filter, const QString& suffix) {
                         const GivesBackActivation back(parent);
                         QFileDialog d(parent, QString(), LastFolder(), filter);
                         d.setOption(QFileDialog::DontUseNativeDialog);
                         d.setOption(QFileDialog::DontConfirmOverwrite);
                         d.setAcceptMode(QFileDialog::AcceptSave);
                         d.setDefaultSuffix(suffix);
                         if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
                           return QString();
                         Remember(d.selectedFiles().first());
                         return d.selectedFiles().first();
                       }};
  return hooks;
}

}  // namespace pt4
