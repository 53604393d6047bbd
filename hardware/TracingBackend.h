// Writes one line per port access, so a killed process leaves a trace that ends
// at its last access:
//   0.001204 out 0x37A 0x05
//   0.006311 in 0x378 0xF3
// Lines are formatted into a fixed buffer without allocating and written at once,
// except while a pulse holds the port: then they wait in the buffer until the
// pulse has dropped, so the pulse never waits for the disk.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "hardware/Clock.h"
#include "hardware/PortBackend.h"

namespace pt4 {

class TracingBackend final : public PortBackend {
 public:
  // Creates (truncates) `path`; throws FileError when it cannot.
  TracingBackend(std::unique_ptr<PortBackend> inner, const std::string& path, const Clock& clock);
  // Writes to `fd`, which it takes over.
  TracingBackend(std::unique_ptr<PortBackend> inner, int fd, const Clock& clock);
  ~TracingBackend() override;
  void Out(std::uint16_t address, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t address) override;
  void Release() override;
  std::string Describe() const override;
  void Hold(bool on) override;
  void ThrowFault() const override { inner_->ThrowFault(); }
  void NextChip() override { inner_->NextChip(); }
  // The lines a pulse held, then this write's line, each with one write(2), then
  // the write itself. Nothing is formatted that needs memory or the locale.
  void CrashOut(std::uint16_t address, std::uint8_t value) noexcept override;
  PortBackend& Inner() { return *inner_; }
  // The first trace write that failed, if one did: the trace the user asked for
  // is incomplete. The failure is also told once on standard error when it
  // happens; the passes go on, since the chip is not at fault.
  std::optional<Error> TraceFault() const;

 private:
  void Line(bool out, std::uint16_t address, std::uint8_t value);
  void Flush();
  std::unique_ptr<PortBackend> inner_;
  int fd_;
  std::string path_;  // as the user named it; empty for a descriptor handed in
  const Clock& clock_;
  bool held_ = false;
  int error_ = 0;
  std::size_t used_ = 0;
  char buf_[4096];
};

// One trace line without its newline, written into `out` (at least 40 bytes);
// returns its length.
std::size_t FormatTraceLine(char* out, std::int64_t ns, bool isOut, std::uint16_t address,
                            std::uint8_t value);
std::string TraceLine(std::int64_t ns, bool out, std::uint16_t address, std::uint8_t value);

}  // namespace pt4
