#include "hardware/TracingBackend.h"

#include <cinttypes>

namespace pt4 {

std::string TraceLine(std::int64_t ns, bool out, std::uint16_t address, std::uint8_t value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%" PRId64 ".%06" PRId64 " %s 0x%03X 0x%02X", ns / 1'000'000'000,
                (ns % 1'000'000'000) / 1000, out ? "out" : "in", address, value);
  return buf;
}

TracingBackend::TracingBackend(std::unique_ptr<PortBackend> inner, std::FILE* file,
                               const Clock& clock)
    : inner_(std::move(inner)), file_(file), clock_(clock) {}

TracingBackend::~TracingBackend() {
  if (file_ != nullptr) std::fclose(file_);
}

void TracingBackend::Line(const char* dir, std::uint16_t address, std::uint8_t value) {
  if (file_ == nullptr) return;
  const std::string line = TraceLine(clock_.NowNs(), dir[0] == 'o', address, value);
  std::fputs(line.c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

void TracingBackend::Out(std::uint16_t address, std::uint8_t value) {
  // Stamped before the access, so the time is that of the edge on the port.
  Line("out", address, value);
  inner_->Out(address, value);
}

std::uint8_t TracingBackend::In(std::uint16_t address) {
  const std::uint8_t value = inner_->In(address);
  Line("in", address, value);
  return value;
}

void TracingBackend::Release() { inner_->Release(); }

std::string TracingBackend::Describe() const { return inner_->Describe() + " (traced)"; }

}  // namespace pt4
