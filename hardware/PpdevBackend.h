// The parallel port through the kernel's ppdev driver (/dev/parportN): no root
// needed, only membership of group lp.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <string>

#include "hardware/PortBackend.h"

namespace pt4 {

// The system calls the backend makes, so that tests can stand in for the kernel.
class PpdevSys {
 public:
  virtual ~PpdevSys() = default;
  // The name looked up once, with O_PATH: nothing of the device is opened and
  // nothing waits. Run as root through sudo, the lookup is made with the sudo
  // user's file-system ids, so that a path the user could not reach is refused
  // as it would be for them, and no refusal tells them more than they can see.
  virtual int OpenPath(const char* path);
  virtual int Fstat(int fd, struct stat* st);
  virtual int Open(const char* path, int flags);
  virtual int Ioctl(int fd, unsigned long request, void* arg);
  virtual int Close(int fd);
};

class PpdevBackend final : public PortBackend {
 public:
  PpdevBackend(std::string device, std::uint16_t base, std::shared_ptr<PpdevSys> sys = nullptr);
  ~PpdevBackend() override;
  // Opens and claims the port, once the path has been found to be a parallel
  // port of the ppdev driver (a character device of major 99): the name is looked
  // up once, that descriptor checked, and the very file checked then opened
  // through /proc/self/fd, so a link changed in between changes nothing. Nothing
  // else is ever opened for writing or waited on. A failure is not thrown here:
  // it is kept and raised, with its remedy, by the first access.
  void Open();
  void Out(std::uint16_t address, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t address) override;
  void Release() override;
  std::string Describe() const override { return device_; }
  void CrashOut(std::uint16_t address, std::uint8_t value) noexcept override;

 private:
  void Check();
  // Both return 0 or the errno of the ioctl that failed (named in `failed`), and never throw.
  int SendControl(std::uint8_t value, const char** failed) noexcept;
  int SetDirection(int dir) noexcept;
  [[noreturn]] void Fail(const char* what, int err);
  std::string device_;
  std::uint16_t base_;
  std::shared_ptr<PpdevSys> sys_;
  int fd_ = -1;
  bool claimed_ = false;
  // Why the port was refused when opened: kept, and thrown as a PortError by
  // every access, so that the window can open first and say so.
  std::optional<Message> openError_;
  int direction_ = -1;  // last value sent with PPDATADIR; -1 before the first
};

}  // namespace pt4
