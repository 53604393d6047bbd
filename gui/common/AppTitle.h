#pragma once

#include <string>

namespace pt4 {

// The executable's name without its folder, cut at its first dot, every character
// after the first in lower case and the first a capital: /usr/bin/pt4prog.bin gives "Pt4prog".
std::string AppTitleFromPath(const std::string& path);

// The error box adds a full stop when the message's last character sorts after one.
std::string ErrorBoxText(const std::string& message);

}  // namespace pt4
