// Direct port I/O with ioperm and inb/outb: root or CAP_SYS_RAWIO, x86 only.
#pragma once

#include <optional>
#include <string>

#include "hardware/PortBackend.h"

namespace pt4 {

class DirectBackend final : public PortBackend {
 public:
  explicit DirectBackend(std::uint16_t base);
  ~DirectBackend() override;
  // Asks for the four registers. A refusal is kept and raised by the first access.
  void Open();
  void Out(std::uint16_t address, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t address) override;
  void Release() override;
  std::string Describe() const override;

 private:
  void Check(std::uint16_t address) const;
  std::uint16_t base_;
  bool open_ = false;
  std::optional<std::string> openError_;
};

}  // namespace pt4
