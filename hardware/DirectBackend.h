// Direct port I/O at a port's own addresses: on Linux ioperm and inb/outb (root,
// x86), on Windows the InpOut32 driver (see PortIo.h).
#pragma once

#include <optional>
#include <string>

#include "hardware/PortBackend.h"

namespace pt4 {

class DirectBackend final : public PortBackend {
 public:
  // `logicalBase` is where the latch layer addresses the port; `base` and `ecr`
  // are where the card really sits (0x378 and 0x77A on a motherboard port).
  DirectBackend(std::uint16_t logicalBase, std::uint16_t base, std::uint16_t ecr);
  ~DirectBackend() override;
  // Asks for the four registers. A refusal is kept and raised by the first access.
  void Open();
  void Out(std::uint16_t address, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t address) override;
  void Release() override;
  std::string Describe() const override;
  void CrashOut(std::uint16_t address, std::uint8_t value) noexcept override;

 private:
  // How the refusals name it: the address, and the ECR's where it is not the usual.
  Phrase Name() const;
  std::uint16_t Map(std::uint16_t address) const;
  // The card's address for a register address, or 0 for none.
  std::uint16_t Where(std::uint16_t address) const noexcept;
  std::uint16_t logical_, base_, ecr_;
  bool open_ = false;
  // Why the port was refused when opened: kept, and thrown as a PortError by
  // every access, so that the window can open first and say so.
  std::optional<Message> openError_;
};

}  // namespace pt4
