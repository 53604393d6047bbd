// A file error with the text the user sees (the error box adds the full stop).
#pragma once

#include <stdexcept>
#include <string>

namespace pt4 {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace pt4
