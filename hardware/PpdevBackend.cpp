#include "hardware/PpdevBackend.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hardware/DirectPort.h"

namespace pt4 {

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
std::string Remedy(const std::string& device, int err, bool claiming) {
  if (claiming && (err == ENXIO || err == EBUSY)) {
    return "The port is in use by another program: a printer daemon (cupsd: 'sudo systemctl "
           "stop cups'), the lp module ('sudo rmmod lp'), or another pt4prog or pt4cli. Stop "
           "it and try again.";
  }
  switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "The parallel-port driver or the port is missing: load the drivers with 'sudo "
             "modprobe ppdev parport_pc', check that the port exists (pt4cli ports), or choose "
             "another with PT4_PORT.";
    case EACCES:
    case EPERM:
      return "Add your user to group lp ('sudo adduser $USER lp', then log in again), or make " +
             device + " readable and writable for you.";
    case EBUSY:
      return "The port is busy: another program may be using it. Stop it and try again.";
    default:
      return "Check the port and the ppdev driver (pt4cli probe).";
  }
}
}  // namespace

PpdevBackend::PpdevBackend(std::string device, std::uint16_t base, std::shared_ptr<PpdevSys> sys)
    : device_(std::move(device)),
      base_(base),
      sys_(sys ? std::move(sys) : std::make_shared<PpdevSys>()) {}

PpdevBackend::~PpdevBackend() {
  Release();
}

void PpdevBackend::Open() {
  fd_ = sys_->Open(device_.c_str(), O_RDWR | O_CLOEXEC);
  if (fd_ < 0) {
    const int err = errno;
    openError_ =
        "Cannot open " + device_ + ": " + std::strerror(err) + ". " + Remedy(device_, err, false);
    return;
  }
  // Exclusive: no other driver may touch the port while the programmer is driven.
  if (sys_->Ioctl(fd_, PPEXCL, nullptr) != 0 || sys_->Ioctl(fd_, PPCLAIM, nullptr) != 0) {
    const int err = errno;
    openError_ =
        "Cannot claim " + device_ + ": " + std::strerror(err) + ". " + Remedy(device_, err, true);
    sys_->Close(fd_);
    fd_ = -1;
    return;
  }
  claimed_ = true;
}

void PpdevBackend::Check() {
  if (openError_) throw PortError(*openError_);
  if (!claimed_) throw PortError(device_ + " is not open: the port was released or never opened.");
}

void PpdevBackend::Fail(const char* what, int err) {
  throw PortError(std::string(what) + " on " + device_ + " failed: " + std::strerror(err) + ". " +
                  Remedy(device_, err, false));
}

void PpdevBackend::Out(std::uint16_t address, std::uint8_t value) {
  Check();
  if (address == base_) {
    unsigned char data = value;
    if (sys_->Ioctl(fd_, PPWDATA, &data) != 0) Fail("PPWDATA", errno);
  } else if (address == base_ + 2) {
    // The kernel only lets bits 0-3 through PPWCONTROL; the data direction (bit 5)
    // has an ioctl of its own, sent only when it changes. The two calls are two
    // moments on the port, so their order matters: the PC must never drive the
    // data lines while the control lines let the chip drive them. Turning to
    // input goes first when a read begins; turning back to output goes last.
    const int dir = (value & 0x20) != 0 ? 1 : 0;
    if (dir == 1) SetDirection(1);
    unsigned char control = value & 0x0F;
    if (sys_->Ioctl(fd_, PPWCONTROL, &control) != 0) Fail("PPWCONTROL", errno);
    if (dir == 0) SetDirection(0);
  } else if (address == base_ + kEcrOffset) {
    // The ECR: a claimed port stays in the mode the kernel chose (bidirectional
    // where the hardware has it), so there is nothing to send.
  } else {
    char buf[96];
    std::snprintf(buf, sizeof buf, "No register at I/O address 0x%03X on %s.", address,
                  device_.c_str());
    throw PortError(buf);
  }
}

void PpdevBackend::SetDirection(int dir) {
  if (dir == direction_) return;
  int arg = dir;
  if (sys_->Ioctl(fd_, PPDATADIR, &arg) != 0) Fail("PPDATADIR", errno);
  direction_ = dir;
}

std::uint8_t PpdevBackend::In(std::uint16_t address) {
  Check();
  unsigned char value = 0xFF;
  if (address == base_) {
    if (sys_->Ioctl(fd_, PPRDATA, &value) != 0) Fail("PPRDATA", errno);
  } else if (address == base_ + 1) {
    if (sys_->Ioctl(fd_, PPRSTATUS, &value) != 0) Fail("PPRSTATUS", errno);
  } else if (address == base_ + 2) {
    if (sys_->Ioctl(fd_, PPRCONTROL, &value) != 0) Fail("PPRCONTROL", errno);
  } else {
    char buf[96];
    std::snprintf(buf, sizeof buf, "No readable register at I/O address 0x%03X on %s.", address,
                  device_.c_str());
    throw PortError(buf);
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
