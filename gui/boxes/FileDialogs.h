// The file dialogs, reached through functions that a test can replace.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace pt4 {

// The name chosen or typed (empty when cancelled), and the filter that was
// selected. The open dialog hands back a typed name of a file that does not
// exist, so that the command can say so itself. Both start in the folder of the
// last load or save of the run.
struct UiHooks {
  std::function<QString(QWidget* parent, const QString& filter, QString* selectedFilter)>
      getOpenFileName;
  std::function<QString(QWidget* parent, const QString& filter, const QString& defaultSuffix)>
      getSaveFileName;
};
UiHooks& Hooks();

}  // namespace pt4
