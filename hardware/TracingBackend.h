// Writes one line per port access, flushed at once, so a killed process leaves a
// trace that ends at its last access:
//   0.001204 out 0x37A 0x05
//   0.006311 in 0x378 0xF3
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "hardware/Clock.h"
#include "hardware/PortBackend.h"

namespace pt4 {

class TracingBackend final : public PortBackend {
 public:
  // Takes ownership of `file`.
  TracingBackend(std::unique_ptr<PortBackend> inner, std::FILE* file, const Clock& clock);
  ~TracingBackend() override;
  void Out(std::uint16_t address, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t address) override;
  void Release() override;
  std::string Describe() const override;
  PortBackend& Inner() { return *inner_; }

 private:
  void Line(const char* dir, std::uint16_t address, std::uint8_t value);
  std::unique_ptr<PortBackend> inner_;
  std::FILE* file_;
  const Clock& clock_;
};

// The line format, shared with the tools that read traces.
std::string TraceLine(std::int64_t ns, bool out, std::uint16_t address, std::uint8_t value);

}  // namespace pt4
