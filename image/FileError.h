// A file error with the text the user sees (the error box adds the full stop).
#pragma once

#include "base/Message.h"

namespace pt4 {

class FileError : public MessageError {
 public:
  using MessageError::MessageError;
};

}  // namespace pt4
