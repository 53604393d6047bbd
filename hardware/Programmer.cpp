#include "hardware/Programmer.h"

#include <atomic>

namespace pt4 {

namespace {
std::atomic<Programmer*> g_active{nullptr};
}  // namespace

Programmer::Programmer(std::unique_ptr<PortBackend> backend)
    : backend_(std::move(backend)), port_(*backend_), regs_(&port_) {
  Programmer* none = nullptr;
  g_active.compare_exchange_strong(none, this);
}

Programmer::~Programmer() {
  Release();
  Programmer* self = this;
  g_active.compare_exchange_strong(self, nullptr);
}

Programmer* Programmer::Active() {
  return g_active.load();
}

void Programmer::Start() {
  touched_ = true;
  regs_.InitPortMode();
  Idle();
}

void Programmer::Idle() {
  touched_ = true;
  regs_.ResetLatches();
}

void Programmer::EmergencyIdle() noexcept {
  if (released_) return;
  regs_.EmergencyIdle();
}

void Programmer::CrashIdle() noexcept {
  static constexpr auto kWrites = EmergencyIdleWrites();
  if (released_) return;
  for (const PortWrite& w : kWrites) backend_->CrashOut(w.address, w.value);
}

void Programmer::Release() noexcept {
  if (released_) return;
  if (touched_ && !regs_.IsIdle()) {
    try {
      Idle();
    } catch (...) {
      // A refused port has nothing to set idle.
    }
  }
  released_ = true;
  try {
    backend_->Release();
  } catch (...) {
  }
}

}  // namespace pt4
