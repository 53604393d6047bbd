// A model of the ZI4 programmer with a K556PT4 in its socket, behind the same port
// registers as the real one. Everything above the port sees real hardware; tests
// and benchmarks read its pulse log and its list of protocol violations.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Message.h"
#include "hardware/Clock.h"
#include "hardware/PortBackend.h"
#include "image/FileUtil.h"

namespace pt4 {

struct SimPulse {
  int address;
  int bit;
  std::int64_t startNs;
  std::int64_t widthNs;
  int voltageTenths;  // lowest supply seen while the pulse was raised
  bool qualified;     // counted towards blowing the fuse
};

struct SimViolation {
  std::int64_t timeNs;
  std::string what;
};

class SimProgrammer final : public PortBackend {
 public:
  static constexpr int kWords = 256;
  static constexpr std::int64_t kMinPulseNs = 1'000'000;  // shorter pulses do not heat the fuse
  static constexpr int kMinVoltageTenths = 105;

  SimProgrammer(const Clock& clock, std::uint16_t base);

  void Out(std::uint16_t address, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t address) override;
  void Release() override;
  std::string Describe() const override;
  // The chip file could not be written: the simulated chip is no longer kept.
  void ThrowFault() const override {
    if (saveError_) throw *saveError_;
  }
  void CrashOut(std::uint16_t address, std::uint8_t value) noexcept override;

  // The chip and its faults.
  void SetChipPresent(bool present) { chipPresent_ = present; }
  void SetWord(int address, std::uint8_t word);  // bits already blown
  std::uint8_t Word(int address) const { return words_[address & 0xFF]; }
  void SetNeverBlow(int address, std::uint8_t bits) { neverBlow_[address & 0xFF] = bits & 0x0F; }
  // Qualifying pulses that bit `bit` of word `address` needs: 1 to 3, fixed by the seed.
  int PulsesNeeded(int address, int bit) const;
  void SetStatus(std::uint8_t status) { status_ = status; }

  // A tray of chips, each kept in its own file: NextChip puts the next one in the
  // socket (and, after the last, leaves the socket empty).
  // Throws FileError when a file cannot be taken; then none is held.
  void AttachFiles(const std::vector<std::string>& paths);
  void NextChip() override;

  // Keeps the chip in a 256-byte file (one word a byte), created blank when missing
  // and rewritten whenever a fuse blows. The file is held locked while this
  // programmer lives: another program that names it is refused ("in use").
  // Throws FileError with the reason on failure.
  void AttachFile(const std::string& path);

  const std::vector<SimPulse>& Pulses() const { return pulses_; }
  const std::vector<SimViolation>& Violations() const { return violations_; }

  // The hardware state, for tests.
  std::uint8_t LatchValue(std::uint8_t select) const;
  bool ChipPowered() const { return (modeA_ & 0x02) != 0; }
  bool InBurst() const { return (ctrl_ & 0x40) != 0; }
  int SupplyTenths() const;

 private:
  struct Live {
    bool on = false;
    std::int64_t start = 0;
    int address = 0;
    int minVoltage = 0;
    bool burstThroughout = false;
  };
  void Control(std::uint8_t value);
  void Strobe(std::uint8_t select);
  // The latch at `select` takes `v` (a mode latch clears its group); false for a
  // select code that drives no latch.
  bool TakeLatch(std::uint8_t select, std::uint8_t v) noexcept;
  void AfterLatchChange();
  void EndPulse(int bit, std::int64_t now);
  void Violation(const std::string& what);
  void Save();
  void HoldFile(const std::string& path);
  void LoadHeld(std::size_t index);
  int Address() const { return addrLo_; }

  const Clock& clock_;
  std::uint16_t base_;
  std::uint8_t data_ = 0, control_ = 0, ecr_ = 0, status_ = 0x78;
  std::uint8_t modeA_ = 0, addrLo_ = 0, addrHi_ = 0, modeB_ = 0, ctrl_ = 0, pulse_ = 0, supply_ = 0,
               aux_ = 0;
  bool chipPresent_ = true;
  bool released_ = false;
  static constexpr std::uint32_t kSeed = 0x5EED;
  std::array<std::uint8_t, kWords> words_{};
  std::array<std::uint8_t, kWords> neverBlow_{};
  std::array<std::array<std::uint8_t, 4>, kWords> heat_{};  // qualifying pulses so far
  std::array<Live, 4> live_{};
  std::string file_;
  std::vector<std::pair<std::string, HeldFile>> held_;  // every chip file of the tray, once
  std::vector<std::size_t> trayHeld_;                   // for each tray place, its held_ file
  std::size_t current_ = 0;
  std::vector<std::string> tray_;
  std::size_t trayAt_ = 0;
  std::optional<Error> saveError_;
  std::vector<SimPulse> pulses_;
  std::vector<SimViolation> violations_;
};

}  // namespace pt4
