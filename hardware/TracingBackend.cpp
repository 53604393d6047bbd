#include "hardware/TracingBackend.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/Message.h"
#include "hardware/DirectPort.h"
#include "image/FileUtil.h"

namespace pt4 {

namespace {
char* Digits(char* p, std::uint64_t v, int width) {
  for (int i = width - 1; i >= 0; --i) {
    p[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
  return p + width;
}
char* HexDigits(char* p, unsigned v, int width) {
  static const char kHex[] = "0123456789ABCDEF";
  for (int i = width - 1; i >= 0; --i) {
    p[i] = kHex[v & 0xF];
    v >>= 4;
  }
  return p + width;
}
}  // namespace

std::size_t FormatTraceLine(char* out, std::int64_t ns, bool isOut, std::uint16_t address,
                            std::uint8_t value) {
  if (ns < 0) ns = 0;
  std::uint64_t sec = static_cast<std::uint64_t>(ns / 1'000'000'000);
  const std::uint64_t us = static_cast<std::uint64_t>(ns % 1'000'000'000) / 1000;
  int secDigits = 1;
  for (std::uint64_t s = sec; s >= 10; s /= 10) ++secDigits;
  if (secDigits > 12) {
    secDigits = 12;
    sec %= 1'000'000'000'000ULL;
  }
  char* p = Digits(out, sec, secDigits);
  *p++ = '.';
  p = Digits(p, us, 6);
  std::memcpy(p, isOut ? " out 0x" : " in 0x", isOut ? 7 : 6);
  p += isOut ? 7 : 6;
  p = HexDigits(p, address, address > 0xFFF ? 4 : 3);
  std::memcpy(p, " 0x", 3);
  p = HexDigits(p + 3, value, 2);
  return static_cast<std::size_t>(p - out);
}

std::string TraceLine(std::int64_t ns, bool out, std::uint16_t address, std::uint8_t value) {
  char buf[48];
  return std::string(buf, FormatTraceLine(buf, ns, out, address, value));
}

namespace {
// Never through a link and never another user's file: a trace asked for by root
// must not empty a file that someone else pointed the name at.
int OpenTrace(const std::string& path) {
  try {
    return OpenRecordFile(path, true, false);
  } catch (const Error& e) {
    throw FileError(Message{
        Tr("pt4::File", "Cannot create the trace file %1: %2").With(path, e.Words().front())});
  }
}
}  // namespace

TracingBackend::TracingBackend(std::unique_ptr<PortBackend> inner, const std::string& path,
                               const Clock& clock)
    : TracingBackend(std::move(inner), OpenTrace(path), clock) {
  path_ = path;
}

std::optional<Error> TracingBackend::TraceFault() const {
  if (error_ == 0) return std::nullopt;
  return FileError(Message{Tr("pt4::File", "The port trace %1 could not be written: %2.")
                               .With(path_, SysError(error_))});
}

TracingBackend::TracingBackend(std::unique_ptr<PortBackend> inner, int fd, const Clock& clock)
    : inner_(std::move(inner)), fd_(fd), clock_(clock) {}

TracingBackend::~TracingBackend() {
  held_ = false;
  Flush();
  if (fd_ >= 0) CloseRecord(fd_);
}

void TracingBackend::Flush() {
  const std::size_t left = used_;
  used_ = 0;
  if (left == 0 || error_ != 0) return;
  error_ = WriteRecord(fd_, buf_, left);
  if (error_ != 0) {
    // Told once, at once: a trace that silently stops would be worse than none.
    const std::string text =
        std::string("pt4: the port trace could not be written: ") + std::strerror(error_) + "\n";
    std::fputs(text.c_str(), stderr);
  }
}

void TracingBackend::Line(bool out, std::uint16_t address, std::uint8_t value) {
  if (used_ + 48 > sizeof buf_) Flush();
  used_ += FormatTraceLine(buf_ + used_, clock_.NowNs(), out, address, value);
  buf_[used_++] = '\n';
  if (!held_) Flush();
}

void TracingBackend::Hold(bool on) {
  inner_->Hold(on);
  held_ = on;
  if (!on) Flush();
}

void TracingBackend::Out(std::uint16_t address, std::uint8_t value) {
  // Stamped before the access, so the time is that of the edge on the port.
  Line(true, address, value);
  inner_->Out(address, value);
}

std::uint8_t TracingBackend::In(std::uint16_t address) {
  const std::uint8_t value = inner_->In(address);
  Line(false, address, value);
  return value;
}

void TracingBackend::CrashOut(std::uint16_t address, std::uint8_t value) noexcept {
  const std::size_t held = used_ <= sizeof buf_ ? used_ : 0;
  used_ = 0;
  char line[48];
  std::size_t len = FormatTraceLine(line, clock_.NowNs(), true, address, value);
  line[len++] = '\n';
  if (error_ == 0) {
    // What cannot be written now is lost with the process; nothing is retried.
    if (held > 0 && WriteRecordNow(fd_, buf_, held) < 0) error_ = EIO;
    if (WriteRecordNow(fd_, line, len) < 0) error_ = EIO;
  }
  inner_->CrashOut(address, value);
}

void TracingBackend::Release() {
  inner_->Release();
  held_ = false;
  Flush();
}

std::string TracingBackend::Describe() const {
  return inner_->Describe() + " (traced)";
}

}  // namespace pt4
