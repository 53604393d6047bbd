// The programmer behind the parallel port: eight write-only latches, each strobed
// in by its select code on the control register, a chip data read with the data
// lines turned to input, and the port's status register. Every latch keeps a
// one-byte cache, so an unchanged value costs no port access.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "hardware/Clock.h"
#include "hardware/DirectPort.h"

namespace pt4 {

enum class Latch : int { ModeA, AddrLo, AddrHi, ModeB, Ctrl, Pulse, Supply, Aux };
constexpr int kLatchCount = 8;

// Control-register select code of each latch.
constexpr std::uint8_t SelectCode(Latch l) {
  constexpr std::uint8_t codes[kLatchCount] = {0x05, 0x09, 0x01, 0x07, 0x0B, 0x0F, 0x03, 0x06};
  return codes[static_cast<int>(l)];
}
constexpr std::uint8_t kChipDataRead = 0x2E;  // direction bit + strobe group 10, address 11

// What the chip passes send to the pulse and control latches.
constexpr std::uint8_t kPulseOff = 0x80;    // pulse latch: programming current off
constexpr std::uint8_t kPulseArmed = 0x90;  // pulse latch: current path armed, no bit driven
constexpr std::uint8_t kBurstOn = 0x40;     // control latch: a programming burst runs
constexpr std::uint8_t kBurstOff = 0x00;
constexpr std::uint8_t kModeChipPowered = 0x02;  // mode latch A: the chip gets its supply
constexpr std::uint8_t kPortModePs2 = 0x80;      // ECR: bidirectional (PS/2) mode

// Supply-latch code for a voltage in tenths of a volt; 0x8F where the table has no row.
std::uint8_t SupplyCode(std::uint16_t tenths);

struct PortWrite {
  std::uint16_t address;
  std::uint8_t value;
};
// A latch write on the port: the value on the data lines, the select code with
// its strobe bits, then the strobe dropped (the select's address bits stay).
constexpr std::array<PortWrite, 3> LatchWrites(std::uint8_t value, std::uint8_t select) {
  return {{{kDataRegister, value},
           {kControlRegister, select},
           {kControlRegister, static_cast<std::uint8_t>(select & 0x0C)}}};
}
// Every strobe low and the data lines driven by the PC. An abnormal end may come
// in the middle of a chip read, with the lines still turned to input: without
// this first, the pulse latch would be strobed while nobody drives its data (and
// through ppdev the strobe rises before the direction turns back).
constexpr std::uint8_t kStrobesLowOutput = 0x0C;
// What EmergencyIdle sends from any state: the lines back to output, the pulse
// latch forced off, then the idle writes (mode A, mode B, aux), each mode write
// clearing its group. Ready before any crash, so that a signal handler only has
// to send it.
constexpr std::array<PortWrite, 13> EmergencyIdleWrites() {
  std::array<PortWrite, 13> all{};
  all[0] = {kControlRegister, kStrobesLowOutput};
  const std::array<PortWrite, 3> steps[] = {
      LatchWrites(kPulseOff, SelectCode(Latch::Pulse)),
      LatchWrites(0x80, SelectCode(Latch::ModeA)),  // a mode latch always has bit 7 set
      LatchWrites(0x80, SelectCode(Latch::ModeB)), LatchWrites(0x00, SelectCode(Latch::Aux))};
  std::size_t n = 1;
  for (const auto& step : steps) {
    for (const PortWrite& w : step) all[n++] = w;
  }
  return all;
}

class Registers {
 public:
  explicit Registers(TDirectPort* port = nullptr) : port_(port) {}
  void Attach(TDirectPort* port) { port_ = port; }

  void InitPortMode();
  std::uint8_t ReadDataPort(std::uint8_t control);
  void WriteLatch(std::uint8_t value, std::uint8_t select);
  std::uint8_t ReadStatus();
  std::uint8_t ReadChipData();

  void LatchModeA(std::uint8_t v, bool force = false) { Cached(Latch::ModeA, v, force); }
  void LatchAddrLo(std::uint8_t v, bool force = false) { Cached(Latch::AddrLo, v, force); }
  void LatchAddrHi(std::uint8_t v, bool force = false) { Cached(Latch::AddrHi, v, force); }
  void LatchModeB(std::uint8_t v, bool force = false) { Cached(Latch::ModeB, v, force); }
  void LatchCtrl(std::uint8_t v, bool force = false) { Cached(Latch::Ctrl, v, force); }
  void LatchPulse(std::uint8_t v, bool force = false) { Cached(Latch::Pulse, v, force); }
  void LatchSupply(std::uint8_t v, bool force = false) { Cached(Latch::Supply, v, force); }
  void LatchAux(std::uint8_t v, bool force = false) { Cached(Latch::Aux, v, force); }

  // One slot of a programming burst on the pulse latch: `value` for `widthNs`,
  // then `after`. Nothing but the wait happens inside the pulse: its deadline is
  // taken right after the strobe that raises it, `after` is put on the data lines
  // (which no latch takes while the strobes are low) before the wait, and only
  // the two strobe writes follow the deadline, so the port sees the same accesses
  // in the same order as two latch writes. When `value` equals the latch (a clear
  // bit) nothing is sent and the slot passes empty. Returns the width measured at
  // the two strobe writes, or -1 when no pulse was sent.
  std::int64_t PulseSlot(std::uint8_t value, std::uint8_t after, std::int64_t widthNs,
                         Clock& clock);

  void ResetLatches();
  void SetSupply(std::uint8_t selector, std::uint16_t tenths, std::uint8_t modifier);

  // For the paths that end a pass abnormally: turn the lines back to output, drop
  // any raised pulse without touching the address (a new address under a live
  // pulse would program the wrong word), then the ordinary idle writes. Never
  // throws.
  void EmergencyIdle() noexcept;

  std::uint8_t Cache(Latch l) const { return cache_[static_cast<int>(l)]; }
  // A failure behind the port that its accesses could not report; empty when none.
  void ThrowFault() const {
    if (port_ != nullptr) port_->ThrowFault();
  }
  // True from the idle writes until the next latch write or data read: the owner
  // tells from it whether the programmer needs setting idle again.
  bool IsIdle() const { return idle_; }

 private:
  void Cached(Latch l, std::uint8_t v, bool force);
  TDirectPort& P();
  TDirectPort* port_;
  std::array<std::uint8_t, kLatchCount> cache_{};
  bool idle_ = false;
};

}  // namespace pt4
