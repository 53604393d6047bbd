// The state the main window works on: the image, the parameters, the verify
// counters and the session on the programmer. `main` owns the one instance of
// the run and hands it to the windows; each test makes its own.
#pragma once

#include <cstdint>
#include <string>

#include "image/Buffer.h"
#include "operations/Params.h"
#include "operations/Passes.h"
#include "operations/Session.h"

namespace pt4 {

struct MainState {
  RomImage image;
  ProgParams params;
  VerifyCounters counters;
  Session* session = nullptr;  // owned by whoever opened the port
  std::string AdapterName;
  std::uint8_t FillByte = 0;
};

}  // namespace pt4
