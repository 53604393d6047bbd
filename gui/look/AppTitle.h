// The application's title, which every window and box carries.
#pragma once

#include <QString>
#include <string>

namespace pt4 {

// The executable's name without its folder, cut at its first dot, every character
// after the first in lower case and the first a capital: /usr/bin/pt4prog.bin gives "Pt4prog".
std::string AppTitleFromPath(const std::string& path);
// The running program's title.
QString AppTitle();

}  // namespace pt4
