// The state the main window works on: the image, the parameters, the verify
// counters, the programmer and the clock. `main` owns the one instance of the run
// and hands it to the windows; each test makes its own.
#pragma once

#include <cstdint>
#include <string>

#include "hardware/Clock.h"
#include "hardware/Programmer.h"
#include "image/Buffer.h"
#include "operations/Params.h"
#include "operations/Passes.h"

namespace pt4 {

struct MainState {
  RomImage image;
  ProgParams params;
  VerifyCounters counters;
  Programmer* programmer = nullptr;  // owned by whoever opened the port
  Clock* clock = nullptr;
  bool simulated = false;  // the programmer is the simulated one
  std::string AdapterName;
  std::uint8_t FillByte = 0;
};

}  // namespace pt4
