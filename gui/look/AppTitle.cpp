#include "gui/look/AppTitle.h"

#include <QCoreApplication>
#include <cctype>

namespace pt4 {

std::string AppTitleFromPath(const std::string& path) {
  std::string name = path.substr(path.find_last_of("/\\") + 1);
  name = name.substr(0, name.find('.'));
  // The first letter is shown as a capital, so the program "pt4prog" is titled "Pt4prog".
  if (!name.empty()) name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  for (std::size_t i = 1; i < name.size(); ++i) {
    name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
  }
  return name;
}

QString AppTitle() {
  return QString::fromStdString(
      AppTitleFromPath(QCoreApplication::applicationFilePath().toStdString()));
}

}  // namespace pt4
