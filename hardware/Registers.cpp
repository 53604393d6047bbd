#include "hardware/Registers.h"

namespace pt4 {

namespace {
struct SupplyRow {
  std::uint16_t lo, hi;
  std::uint8_t code;
};
// From 10.8 V to 20.7 V the rows are half a volt wide, centred on whole volts
// (bit 7 clear) and half volts (bit 7 set); the low nibble falls as the voltage rises.
constexpr SupplyRow kSupplyTable[] = {
    {61, 70, 0x8E},   {71, 80, 0x8D},   {81, 90, 0x8C},   {91, 100, 0x8B},  {101, 107, 0x8A},
    {108, 112, 0x0F}, {113, 117, 0x89}, {118, 122, 0x0E}, {123, 127, 0x88}, {128, 132, 0x0D},
    {133, 137, 0x87}, {138, 142, 0x0C}, {143, 147, 0x86}, {148, 152, 0x0B}, {153, 157, 0x85},
    {158, 162, 0x0A}, {163, 167, 0x84}, {168, 172, 0x09}, {173, 177, 0x83}, {178, 182, 0x08},
    {183, 187, 0x82}, {188, 192, 0x07}, {193, 197, 0x81}, {198, 202, 0x06}, {203, 207, 0x80},
    {208, 215, 0x05}, {216, 225, 0x04}, {226, 235, 0x03}, {236, 245, 0x02}, {246, 255, 0x01},
    {256, 270, 0x00},
};
}  // namespace

std::uint8_t SupplyCode(std::uint16_t tenths) {
  for (const auto& row : kSupplyTable) {
    if (tenths >= row.lo && tenths <= row.hi) return row.code;
  }
  return 0x8F;
}

TDirectPort& Registers::P() {
  if (port_ == nullptr) {
    throw PortError(Message{Tr("pt4::Port", "The programmer's port component does not exist.")});
  }
  return *port_;
}

void Registers::InitPortMode() {
  P().PortOut(kEcrRegister, kPortModePs2);
}

std::uint8_t Registers::ReadDataPort(std::uint8_t control) {
  TDirectPort& p = P();
  idle_ = false;
  p.PortOut(kControlRegister, control);
  const std::uint8_t value = p.PortIn(kDataRegister);
  p.PortOut(kControlRegister, control & 0x0C);
  return value;
}

void Registers::WriteLatch(std::uint8_t value, std::uint8_t select) {
  TDirectPort& p = P();
  idle_ = false;
  for (const PortWrite& w : LatchWrites(value, select)) p.PortOut(w.address, w.value);
}

std::uint8_t Registers::ReadStatus() {
  return P().PortIn(kStatusRegister);
}

std::uint8_t Registers::ReadChipData() {
  return ReadDataPort(kChipDataRead);
}

void Registers::Cached(Latch l, std::uint8_t v, bool force) {
  if (l == Latch::ModeA || l == Latch::ModeB) v |= 0x80;
  auto& cache = cache_[static_cast<int>(l)];
  if (!force && v == cache) return;
  cache = v;
  // A mode latch clears the other latches of its strobe group in the hardware.
  if (l == Latch::ModeA) {
    cache_[static_cast<int>(Latch::AddrLo)] = 0;
    cache_[static_cast<int>(Latch::AddrHi)] = 0;
  } else if (l == Latch::ModeB) {
    cache_[static_cast<int>(Latch::Ctrl)] = 0;
    cache_[static_cast<int>(Latch::Pulse)] = 0;
    cache_[static_cast<int>(Latch::Supply)] = 0;
  }
  WriteLatch(v, SelectCode(l));
}

std::int64_t Registers::PulseSlot(std::uint8_t value, std::uint8_t after, std::int64_t widthNs,
                                  Clock& clock) {
  auto& cache = cache_[static_cast<int>(Latch::Pulse)];
  if (value == cache) {
    clock.SleepUntilNs(clock.NowNs() + widthNs);
    if (after != cache) LatchPulse(after);
    return -1;
  }
  TDirectPort& p = P();
  const std::uint8_t select = SelectCode(Latch::Pulse);
  struct Held {
    TDirectPort& port;
    ~Held() { port.Hold(false); }
  } held{p};
  idle_ = false;
  cache = value;
  p.PortOut(kDataRegister, value);
  p.Hold(true);
  p.PortOut(kControlRegister, select);
  const std::int64_t start = clock.NowNs();
  p.PortOut(kControlRegister, select & 0x0C);
  p.PortOut(kDataRegister, after);
  clock.SleepUntilNs(start + widthNs);
  idle_ = false;
  cache = after;
  p.PortOut(kControlRegister, select);
  const std::int64_t end = clock.NowNs();
  p.PortOut(kControlRegister, select & 0x0C);
  return end - start;
}

void Registers::ResetLatches() {
  LatchModeA(0, true);
  LatchModeB(0, true);
  LatchAux(0, true);
  idle_ = true;
}

// The supply latch takes one byte: the voltage code from the table (bit 7 and
// bits 0-3, which set the regulator), ORed with which supply output it feeds and
// how. Both come as the characters the adapter's chip tables use, so that a
// table row can be handed over as it stands:
//   selector '2': bit 4, the socket's supply output (the VCC32 lamp's); '7':
//   bit 5; '9'..'B': bit 6; '-': no output; any other byte is taken as bits.
//   modifier 'x': bit 6, the output at the chip's read supply (a read asks for
//   5.5 V, which has no row: code 0x8F); 0x8C: nothing added, the output at the
//   code's programming voltage; any other byte is taken as bits.
void Registers::SetSupply(std::uint8_t selector, std::uint16_t tenths, std::uint8_t modifier) {
  std::uint8_t s = selector;
  if (selector == '-') {
    s = 0x00;
  } else if (selector == '2') {
    s = 0x10;
  } else if (selector == '7') {
    s = 0x20;
  } else if (selector >= '9' && selector <= 'B') {
    s = 0x40;
  }
  std::uint8_t m = modifier;
  if (modifier == 'x') {
    m = 0x40;
  } else if (modifier == 0x8C) {
    m = 0x00;
  }
  LatchSupply(static_cast<std::uint8_t>(s | SupplyCode(tenths) | m));
}

void Registers::EmergencyIdle() noexcept {
  try {
    // Whatever a pulse put off (trace lines) must not hide these writes.
    if (port_ != nullptr) port_->Hold(false);
  } catch (...) {
  }
  try {
    P().PortOut(kControlRegister, kStrobesLowOutput);
  } catch (...) {
  }
  try {
    LatchPulse(kPulseOff, true);
  } catch (...) {
  }
  try {
    ResetLatches();
  } catch (...) {
  }
}

}  // namespace pt4
