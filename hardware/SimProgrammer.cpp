#include "hardware/SimProgrammer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "hardware/Registers.h"
#include "image/FileUtil.h"

namespace pt4 {

namespace {
// The voltage the regulator puts out for a supply code: its nominal voltage.
// Whole volts have bit 7 clear, 0x0F being 11.0 V and each step down a volt more;
// half volts have it set, 0x89 being 11.5 V; 0x8A is 10.5 V, the lowest
// programming voltage, and 0x8F the 5.5 V reading level.
int DecodeSupply(std::uint8_t code) {
  const int n = code & 0x0F;
  return (code & 0x80) != 0 ? 115 + (9 - n) * 10 : 110 + (15 - n) * 10;
}

std::string Hex2(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", v);
  return buf;
}
}  // namespace

SimProgrammer::SimProgrammer(const Clock& clock, std::uint16_t base) : clock_(clock), base_(base) {}

std::string SimProgrammer::Describe() const {
  if (!file_.empty()) return "simulated programmer, chip in " + file_;
  return chipPresent_ ? "simulated programmer" : "simulated programmer, empty socket";
}

void SimProgrammer::SetWord(int address, std::uint8_t word) {
  words_[address & 0xFF] = word & 0x0F;
}

int SimProgrammer::PulsesNeeded(int address, int bit) const {
  std::uint32_t h = kSeed ^ (static_cast<std::uint32_t>(address) * 0x9E3779B1u) ^
                    (static_cast<std::uint32_t>(bit) * 0x85EBCA77u);
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return 1 + static_cast<int>(h % 3);
}

int SimProgrammer::SupplyTenths() const {
  // Bit 4 routes the regulator to the chip's programming pin; bit 6 holds it at
  // the reading level.
  if ((supply_ & 0x10) == 0) return 0;
  if ((supply_ & 0x40) != 0) return 55;
  return DecodeSupply(supply_ & 0x8F);
}

std::uint8_t SimProgrammer::LatchValue(std::uint8_t select) const {
  switch (select) {
    case 0x05:
      return modeA_;
    case 0x09:
      return addrLo_;
    case 0x01:
      return addrHi_;
    case 0x07:
      return modeB_;
    case 0x0B:
      return ctrl_;
    case 0x0F:
      return pulse_;
    case 0x03:
      return supply_;
    case 0x06:
      return aux_;
    default:
      return 0;
  }
}

void SimProgrammer::Violation(const std::string& what) {
  violations_.push_back({clock_.NowNs(), what});
}

namespace {
[[noreturn]] void Released() {
  throw PortError(
      Message{Tr("pt4::Port", "The simulated programmer's port was already released.")});
}
}  // namespace

void SimProgrammer::Out(std::uint16_t address, std::uint8_t value) {
  if (released_) Released();
  if (address == base_) {
    data_ = value;
  } else if (address == base_ + kControlOffset) {
    Control(value);
  } else if (address == base_ + kEcrOffset) {
    ecr_ = value;
  } else {
    throw PortError(
        Message{Tr("pt4::Port", "No register at I/O address %1.").With(IoAddress(address))});
  }
}

std::uint8_t SimProgrammer::In(std::uint16_t address) {
  if (released_) Released();
  if (address == base_ + kStatusOffset) return status_;
  if (address == base_ + kControlOffset) return control_;
  if (address != base_) {
    throw PortError(Message{
        Tr("pt4::Port", "No readable register at I/O address %1.").With(IoAddress(address))});
  }
  if ((control_ & 0x20) == 0) return data_;  // the port reads back what it drives
  if ((control_ & 0x0F) == (kChipDataRead & 0x0F) && chipPresent_ && ChipPowered()) {
    return static_cast<std::uint8_t>(0xF0 | words_[Address()]);
  }
  return 0xFF;  // nothing drives the lines: they float high
}

void SimProgrammer::Control(std::uint8_t value) {
  const std::uint8_t before = control_;
  control_ = value;
  // Chip data selected while the port still drives the lines: two drivers on one bus.
  if ((value & 0x20) == 0 && (value & 0x0F) == (kChipDataRead & 0x0F)) {
    Violation("chip data enabled while the port drives the data lines");
  }
  // A latch takes the data lines on the write that raises its strobe bits.
  if ((value & 0x03) != 0 && (before & 0x03) == 0) Strobe(value);
}

void SimProgrammer::Strobe(std::uint8_t value) {
  const std::uint8_t select = value & 0x0F;
  const bool input = (value & 0x20) != 0;
  if (select == (kChipDataRead & 0x0F)) return;  // a read, not a latch
  const std::uint8_t v = input ? 0xFF : data_;
  if (input) Violation("latch " + Hex2(select) + " strobed with the data lines turned to input");
  if (live_[0].on || live_[1].on || live_[2].on || live_[3].on) {
    const bool addressMoves = (select == 0x05 && (addrLo_ != 0 || addrHi_ != 0)) ||
                              (select == 0x09 && v != addrLo_) || (select == 0x01 && v != addrHi_);
    if (addressMoves) Violation("address change during a pulse");
    if (select == 0x0B && (v & 0x40) == 0) Violation("programming burst ended during a pulse");
  }
  if (!TakeLatch(select, v)) {
    Violation("select code " + Hex2(select) + " drives no latch");
    return;
  }
  AfterLatchChange();
}

bool SimProgrammer::TakeLatch(std::uint8_t select, std::uint8_t v) noexcept {
  switch (select) {
    case 0x05:
      modeA_ = v;
      addrLo_ = addrHi_ = 0;
      return true;
    case 0x09:
      addrLo_ = v;
      return true;
    case 0x01:
      addrHi_ = v;
      return true;
    case 0x07:
      modeB_ = v;
      ctrl_ = pulse_ = supply_ = 0;
      return true;
    case 0x0B:
      ctrl_ = v;
      return true;
    case 0x0F:
      pulse_ = v;
      return true;
    case 0x03:
      supply_ = v;
      return true;
    case 0x06:
      aux_ = v;
      return true;
    default:
      return false;
  }
}

void SimProgrammer::CrashOut(std::uint16_t address, std::uint8_t value) noexcept {
  // The latches change as on the hardware; nothing is recorded or saved.
  if (released_) return;
  if (address == base_) {
    data_ = value;
  } else if (address == base_ + kControlOffset) {
    const std::uint8_t before = control_;
    control_ = value;
    const std::uint8_t select = value & 0x0F;
    if ((value & 0x03) != 0 && (before & 0x03) == 0 && select != (kChipDataRead & 0x0F))
      TakeLatch(select, (value & 0x20) != 0 ? 0xFF : data_);
  }
}

void SimProgrammer::AfterLatchChange() {
  const std::int64_t now = clock_.NowNs();
  const std::uint8_t driven = (pulse_ & 0x10) != 0 ? (pulse_ & 0x0F) : 0;
  const int volts = SupplyTenths();
  for (int bit = 0; bit < 4; ++bit) {
    Live& l = live_[bit];
    const bool on = (driven >> bit) & 1;
    if (on && !l.on) {
      l = {true, now, Address(), volts, InBurst()};
      if (!InBurst()) Violation("pulse on bit " + std::to_string(bit) + " outside a burst");
    } else if (!on && l.on) {
      EndPulse(bit, now);
    } else if (on) {
      if (volts < l.minVoltage) l.minVoltage = volts;
      if (!InBurst()) l.burstThroughout = false;
    }
  }
}

void SimProgrammer::EndPulse(int bit, std::int64_t now) {
  Live& l = live_[bit];
  l.on = false;
  const std::int64_t width = now - l.start;
  const bool qualified = width >= kMinPulseNs && l.minVoltage >= kMinVoltageTenths &&
                         l.burstThroughout && chipPresent_ && ChipPowered();
  pulses_.push_back({l.address, bit, l.start, width, l.minVoltage, qualified});
  if (!qualified || ((neverBlow_[l.address] >> bit) & 1) != 0) return;
  auto& heat = heat_[l.address][bit];
  if (heat < 255) ++heat;
  const std::uint8_t mask = static_cast<std::uint8_t>(1u << bit);
  if (heat >= PulsesNeeded(l.address, bit) && (words_[l.address] & mask) == 0) {
    words_[l.address] |= mask;
    Save();
  }
}

void SimProgrammer::Release() {
  if (released_) return;
  if (SupplyTenths() >= kMinVoltageTenths) {
    Violation("programming voltage still applied when the port is released");
  }
  const std::int64_t now = clock_.NowNs();
  for (int bit = 0; bit < 4; ++bit) {
    if (live_[bit].on) {
      Violation("pulse still raised when the port is released");
      EndPulse(bit, now);
    }
  }
  released_ = true;
  Save();
}

void SimProgrammer::AttachFiles(const std::vector<std::string>& paths) {
  // Every file is taken (and made) up front and held for the whole run: a bad
  // one is found at start-up, and no other program can program these chips too.
  held_.clear();
  trayHeld_.clear();
  try {
    for (const auto& path : paths) HoldFile(path);
    for (std::size_t i = paths.size(); i-- > 0;) LoadHeld(i);
  } catch (const Error&) {
    held_.clear();  // a refused tray holds none of its files
    trayHeld_.clear();
    throw;
  }
  tray_ = paths;
  trayAt_ = 0;
}

void SimProgrammer::NextChip() {
  if (tray_.empty()) return;
  Save();
  file_.clear();
  heat_ = {};
  if (++trayAt_ >= tray_.size()) {
    chipPresent_ = false;
    words_ = {};
    return;
  }
  try {
    LoadHeld(trayAt_);
  } catch (const Error& e) {
    if (!saveError_) saveError_ = e;
  }
}

void SimProgrammer::AttachFile(const std::string& path) {
  held_.clear();
  trayHeld_.clear();
  try {
    HoldFile(path);
    LoadHeld(0);
  } catch (const Error&) {
    held_.clear();  // a refused file stays free for others
    trayHeld_.clear();
    throw;
  }
}

void SimProgrammer::HoldFile(const std::string& path) {
  // A tray may name one chip more than once (one socket programmed twice): the
  // file held already serves again.
  for (std::size_t i = 0; i < held_.size(); ++i) {
    if (held_[i].second.Is(path)) {
      trayHeld_.push_back(i);
      return;
    }
  }
  // What an earlier version's atomic saves may have left when killed.
  RemoveStaleTemporaries(path);
  HeldFile file;
  bool created = false;
  int err = file.Open(path, &created);
  if (err == EBUSY) {
    const LockOwner holder = LockHolder(path);
    const std::string pid = std::to_string(holder.pid);
    throw FileError(Message{
        holder.pid == 0
            ? Tr("pt4::File", "The chip file %1 is in use by another program.").With(path)
        : holder.name.empty()
            ? Tr("pt4::File", "The chip file %1 is in use by another program (process %2).")
                  .With(path, pid)
            : Tr("pt4::File", "The chip file %1 is in use by another program (%2, process %3).")
                  .With(path, holder.name, pid)});
  }
  if (err != 0) {
    throw FileError(
        Message{Tr("pt4::File", "Cannot open the chip file %1: %2.").With(path, SysError(err))});
  }
  // A new chip file holds a blank chip.
  if (created) err = file.Rewrite(std::vector<std::uint8_t>(kWords, 0));
  if (err != 0) {
    throw FileError(
        Message{Tr("pt4::File", "Cannot create the chip file %1: %2.").With(path, SysError(err))});
  }
  held_.push_back({path, std::move(file)});
  trayHeld_.push_back(held_.size() - 1);
}

void SimProgrammer::LoadHeld(std::size_t index) {
  index = trayHeld_[index];
  auto& [path, file] = held_[index];
  std::vector<std::uint8_t> bytes;
  const int err = file.Read(bytes, 4096);
  if (err != 0) {
    throw FileError(
        Message{Tr("pt4::File", "Cannot read the chip file %1: %2.").With(path, SysError(err))});
  }
  if (bytes.size() != kWords) {
    throw FileError(Message{Tr("pt4::File", "The chip file %1 holds %2 bytes, not 256.")
                                .With(path, std::to_string(bytes.size()))});
  }
  for (int a = 0; a < kWords; ++a) words_[a] = bytes[a] & 0x0F;
  file_ = path;
  current_ = index;
}

void SimProgrammer::Save() {
  if (file_.empty()) return;
  const int err =
      held_[current_].second.Rewrite(std::vector<std::uint8_t>(words_.begin(), words_.end()));
  if (err != 0 && !saveError_) {
    saveError_ = FileError(Message{
        Tr("pt4::File", "The chip file %1 could not be written: %2.").With(file_, SysError(err))});
    Violation(saveError_->what());
  }
}

}  // namespace pt4
