#include "app/MainState.h"

namespace pt4 {

namespace {
std::unique_ptr<MainState>& Slot() {
  static std::unique_ptr<MainState> state = std::make_unique<MainState>();
  return state;
}
}  // namespace

MainState& Main() { return *Slot(); }
void ResetMainStateForTest() { Slot() = std::make_unique<MainState>(); }

}  // namespace pt4
