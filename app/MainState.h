// The process-wide state of the main window's unit: the image, the parameters, the
// verify counters, the port component and the latch layer. One instance lives for
// the whole run; tests start from a fresh one with ResetMainStateForTest.
#pragma once

#include <memory>
#include <string>

#include "app/Buffer.h"
#include "hardware/Registers.h"
#include "operations/Params.h"
#include "operations/Passes.h"

namespace pt4 {

struct MainState {
  RomImage image;
  ProgParams params;
  VerifyCounters counters;
  std::unique_ptr<TDirectPort> PortComponent;
  Registers latches;
  std::string AdapterName;
  std::uint8_t FillByte = 0;
};

MainState& Main();
void ResetMainStateForTest();

}  // namespace pt4
