#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/fsuid.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hardware/DirectPort.h"
#include "hardware/PpdevBackend.h"

namespace pt4 {

namespace {
// A decimal id from the environment, or -1 for anything else.
long IdFrom(const char* name) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text < '0' || *text > '9') return -1;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  return errno == 0 && *end == '\0' && v > 0 && v < 0x7FFFFFFF ? v : -1;
}
}  // namespace

int PpdevSys::OpenPath(const char* path) {
  const long uid = ::geteuid() == 0 ? IdFrom("SUDO_UID") : -1;
  const long gid = IdFrom("SUDO_GID");
  if (uid < 0 || gid < 0) return ::open(path, O_PATH | O_CLOEXEC);
  // setfsuid and setfsgid change only what file lookups are checked against,
  // and only for this thread; root's ids come back right after.
  ::setfsgid(static_cast<gid_t>(gid));
  ::setfsuid(static_cast<uid_t>(uid));
  const int fd = ::open(path, O_PATH | O_CLOEXEC);
  const int err = errno;
  ::setfsuid(0);
  ::setfsgid(0);
  errno = err;
  return fd;
}
int PpdevSys::Fstat(int fd, struct stat* st) {
  return ::fstat(fd, st);
}
int PpdevSys::Open(const char* path, int flags) {
  return ::open(path, flags);
}
int PpdevSys::Ioctl(int fd, unsigned long request, void* arg) {
  return ::ioctl(fd, request, arg);
}
int PpdevSys::Close(int fd) {
  return ::close(fd);
}

namespace {
// What to do about a refusal, as a sentence of its own. `claiming` tells the open
// of the device from the claim of the port, which fail for different reasons.
Phrase Remedy(const std::string& device, int err, bool claiming) {
  if (claiming && (err == ENXIO || err == EBUSY)) {
    return Tr("pt4::Port",
              "The port is in use by another program: a printer daemon (cupsd: '%1'), the lp "
              "module ('%2'), or another pt4prog or pt4cli. Stop it and try again.")
        .With("sudo systemctl stop cups", "sudo rmmod lp");
  }
  switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return Tr("pt4::Port",
                "The parallel-port driver or the port is missing: load the drivers with '%1', "
                "join group lp ('%2', then log in again), check that the port exists (%3), or "
                "choose another with PT4_PORT. Direct port I/O, as root, is used only when "
                "asked for (PT4_PORT=direct).")
          .With("sudo modprobe ppdev parport_pc", "sudo adduser $USER lp", "pt4cli ports");
    case EACCES:
    case EPERM:
      return Tr("pt4::Port",
                "Add your user to group lp ('%1', then log in again), or make %2 readable and "
                "writable for you.")
          .With("sudo adduser $USER lp", device);
    case EBUSY:
      return Tr("pt4::Port",
                "The port is busy: another program may be using it. Stop it and try again.");
    default:
      return Tr("pt4::Port", "Check the port and the ppdev driver (%1).").With("pt4cli probe");
  }
}

Message CannotOpen(const std::string& device, int err) {
  Message m{Tr("pt4::Port", "Cannot open %1: %2.").With(device, SysError(err)),
            Remedy(device, err, false)};
  // A first start on a machine without the port, or before the user is in
  // group lp: everything can still be tried.
  if (err == ENOENT || err == ENODEV || err == ENXIO || err == EACCES || err == EPERM) {
    m.push_back(Tr("pt4::Port",
                   "To try everything without a programmer, use the simulated one: "
                   "PT4_PORT=sim, or the menu entry \"%1\".")
                    .With(Tr("pt4::Port", "Pt4prog (simulated programmer)")));
  }
  return m;
}
}  // namespace

PpdevBackend::PpdevBackend(std::string device, std::uint16_t base, std::shared_ptr<PpdevSys> sys)
    : device_(std::move(device)),
      base_(base),
      sys_(sys ? std::move(sys) : std::make_shared<PpdevSys>()) {}

PpdevBackend::~PpdevBackend() {
  Release();
}

namespace {
constexpr unsigned kParportMajor = 99;  // the ppdev driver's character devices

bool IsParport(const struct stat& st) {
  return S_ISCHR(st.st_mode) && major(st.st_rdev) == kParportMajor;
}

// What a path that is no parallel port is instead, for the refusal.
Phrase WhatItIs(const struct stat& st) {
  const std::string number =
      std::to_string(major(st.st_rdev)) + ":" + std::to_string(minor(st.st_rdev));
  if (S_ISREG(st.st_mode)) return Tr("pt4::Port", "a regular file");
  if (S_ISDIR(st.st_mode)) return Tr("pt4::Port", "a folder");
  if (S_ISFIFO(st.st_mode)) return Tr("pt4::Port", "a FIFO");
  if (S_ISSOCK(st.st_mode)) return Tr("pt4::Port", "a socket");
  if (S_ISBLK(st.st_mode)) return Tr("pt4::Port", "a block device (%1), a disk").With(number);
  if (S_ISCHR(st.st_mode)) {
    return Tr("pt4::Port", "a character device (%1) of another driver").With(number);
  }
  return Tr("pt4::Port", "not a device");
}

Message NotParport(const std::string& device, const struct stat& st) {
  return {Tr("pt4::Port",
             "%1 is not a parallel port: it is %2, not one of the ppdev driver's (major 99).")
              .With(device, WhatItIs(st)),
          Tr("pt4::Port", "Name a port as /dev/parportN (%1 lists them).").With("pt4cli ports")};
}
}  // namespace

void PpdevBackend::Open() {
  const int pathFd = sys_->OpenPath(device_.c_str());
  if (pathFd < 0) {
    openError_ = CannotOpen(device_, errno);
    return;
  }
  struct stat looked {};
  if (sys_->Fstat(pathFd, &looked) != 0 || !IsParport(looked)) {
    openError_ = NotParport(device_, looked);
    sys_->Close(pathFd);
    return;
  }
  // The file just checked, never the name again. O_NONBLOCK and O_NOCTTY: the
  // open neither waits nor takes a terminal.
  const std::string self = "/proc/self/fd/" + std::to_string(pathFd);
  fd_ = sys_->Open(self.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  const int openErr = errno;
  sys_->Close(pathFd);
  if (fd_ < 0) {
    openError_ = CannotOpen(device_, openErr);
    return;
  }
  struct stat opened {};
  if (sys_->Fstat(fd_, &opened) != 0 || !IsParport(opened) || opened.st_rdev != looked.st_rdev) {
    openError_ = NotParport(device_, opened);
    sys_->Close(fd_);
    fd_ = -1;
    return;
  }
  // Exclusive: no other driver may touch the port while the programmer is driven.
  if (sys_->Ioctl(fd_, PPEXCL, nullptr) != 0 || sys_->Ioctl(fd_, PPCLAIM, nullptr) != 0) {
    const int err = errno;
    openError_ = Message{Tr("pt4::Port", "Cannot claim %1: %2.").With(device_, SysError(err)),
                         Remedy(device_, err, true)};
    sys_->Close(fd_);
    fd_ = -1;
    return;
  }
  claimed_ = true;
}

void PpdevBackend::Check() {
  if (openError_) throw PortError(*openError_);
  if (!claimed_) {
    throw PortError(Message{
        Tr("pt4::Port", "%1 is not open: the port was released or never opened.").With(device_)});
  }
}

void PpdevBackend::Fail(const char* what, int err) {
  throw PortError(
      Message{Tr("pt4::Port", "%1 on %2 failed: %3.").With(what, device_, SysError(err)),
              Remedy(device_, err, false)});
}

void PpdevBackend::Out(std::uint16_t address, std::uint8_t value) {
  Check();
  if (address == base_) {
    unsigned char data = value;
    if (sys_->Ioctl(fd_, PPWDATA, &data) != 0) Fail("PPWDATA", errno);
  } else if (address == base_ + kControlOffset) {
    const char* failed = nullptr;
    if (const int err = SendControl(value, &failed); err != 0) Fail(failed, err);
  } else if (address == base_ + kEcrOffset) {
    // The ECR: a claimed port stays in the mode the kernel chose (bidirectional
    // where the hardware has it), so there is nothing to send.
  } else {
    throw PortError(Message{
        Tr("pt4::Port", "No register at I/O address %1 on %2.").With(IoAddress(address), device_)});
  }
}

// The kernel only lets bits 0-3 through PPWCONTROL; the data direction (bit 5)
// has an ioctl of its own, sent only when it changes. The two calls are two
// moments on the port, so their order matters: the PC must never drive the data
// lines while the control lines let the chip drive them. Turning to input goes
// first when a read begins; turning back to output goes last. Nor may a latch be
// strobed while nobody drives its data: a write that raises a strobe while the
// lines may still be input (the first write after the claim, or an abnormal end
// inside a read) first drops every strobe, then turns to output, then strobes.
int PpdevBackend::SendControl(std::uint8_t value, const char** failed) noexcept {
  const int dir = (value & 0x20) != 0 ? 1 : 0;
  *failed = "PPDATADIR";
  if (dir == 1) {
    if (const int err = SetDirection(1); err != 0) return err;
  } else if (direction_ != 0 && (value & 0x03) != 0) {
    unsigned char quiet = value & 0x0C;
    *failed = "PPWCONTROL";
    if (sys_->Ioctl(fd_, PPWCONTROL, &quiet) != 0) return errno;
    *failed = "PPDATADIR";
    if (const int err = SetDirection(0); err != 0) return err;
  }
  unsigned char control = value & 0x0F;
  *failed = "PPWCONTROL";
  if (sys_->Ioctl(fd_, PPWCONTROL, &control) != 0) return errno;
  *failed = "PPDATADIR";
  return dir == 0 ? SetDirection(0) : 0;
}

int PpdevBackend::SetDirection(int dir) noexcept {
  if (dir == direction_) return 0;
  int arg = dir;
  if (sys_->Ioctl(fd_, PPDATADIR, &arg) != 0) return errno;
  direction_ = dir;
  return 0;
}

void PpdevBackend::CrashOut(std::uint16_t address, std::uint8_t value) noexcept {
  if (!claimed_) return;
  if (address == base_) {
    unsigned char data = value;
    sys_->Ioctl(fd_, PPWDATA, &data);
  } else if (address == base_ + kControlOffset) {
    const char* failed = nullptr;
    SendControl(value, &failed);
  }
}

std::uint8_t PpdevBackend::In(std::uint16_t address) {
  Check();
  unsigned char value = 0xFF;
  if (address == base_) {
    if (sys_->Ioctl(fd_, PPRDATA, &value) != 0) Fail("PPRDATA", errno);
  } else if (address == base_ + kStatusOffset) {
    if (sys_->Ioctl(fd_, PPRSTATUS, &value) != 0) Fail("PPRSTATUS", errno);
  } else if (address == base_ + kControlOffset) {
    if (sys_->Ioctl(fd_, PPRCONTROL, &value) != 0) Fail("PPRCONTROL", errno);
  } else {
    throw PortError(Message{Tr("pt4::Port", "No readable register at I/O address %1 on %2.")
                                .With(IoAddress(address), device_)});
  }
  return value;
}

void PpdevBackend::Release() {
  if (fd_ < 0) return;
  if (claimed_) sys_->Ioctl(fd_, PPRELEASE, nullptr);
  claimed_ = false;
  sys_->Close(fd_);
  fd_ = -1;
}

}  // namespace pt4
