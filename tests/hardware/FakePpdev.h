// A stand-in for the kernel's ppdev driver: it records every ioctl with its
// argument, and counts the two faults that harm a chip: the PC driving the data
// lines while the chip drives them, and a latch strobed while nobody drives them.
#pragma once

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "hardware/PpdevBackend.h"

namespace pt4::testing {

class FakePpdev : public PpdevSys {
 public:
  int Stat(const char*, struct stat* st) override {
    if (openErrno == ENOENT) {
      errno = ENOENT;
      return -1;
    }
    *st = {};
    st->st_mode = named;
    st->st_rdev = namedDevice;
    return 0;
  }
  int Fstat(int, struct stat* st) override {
    *st = {};
    st->st_mode = S_IFCHR | 0660;
    st->st_rdev = opened;
    return 0;
  }
  int Open(const char*, int flags) override {
    ++opens;
    openFlags = flags;
    if (openErrno != 0) {
      errno = openErrno;
      return -1;
    }
    return 7;
  }
  int Ioctl(int, unsigned long request, void* arg) override {
    int value = -1;
    if (request == PPDATADIR) value = direction = *static_cast<int*>(arg);
    if (request == PPWDATA) value = *static_cast<unsigned char*>(arg);
    if (request == PPWCONTROL) value = control = *static_cast<unsigned char*>(arg);
    if (request == PPRDATA || request == PPRSTATUS) *static_cast<unsigned char*>(arg) = 0xA5;
    calls.emplace_back(request, value);
    // The PC drives the data lines while the control lines select the chip's data.
    if (direction == 0 && (control & 0x0F) == 0x0E) ++contentions;
    // A latch strobed while nobody drives the data lines takes whatever floats.
    if (request == PPWCONTROL && direction == 1 && (control & 0x03) != 0 && control != 0x0E) {
      ++blindStrobes;
    }
    if (request == PPCLAIM && claimErrno != 0) {
      errno = claimErrno;
      return -1;
    }
    return 0;
  }
  // The port as the kernel leaves it: the worst state to start from.
  int direction = 1, control = 0x0E, contentions = 0, blindStrobes = 0;
  int Close(int) override {
    ++closes;
    return 0;
  }
  std::vector<std::pair<unsigned long, int>> calls;
  int openErrno = 0, claimErrno = 0, closes = 0, opens = 0, openFlags = 0;
  // What the name is when looked at, and what the open then got.
  mode_t named = S_IFCHR | 0660;
  dev_t namedDevice = makedev(99, 0), opened = makedev(99, 0);
};

}  // namespace pt4::testing
