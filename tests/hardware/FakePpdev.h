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
#include <string>
#include <utility>
#include <vector>

#include "hardware/PpdevBackend.h"

namespace pt4::testing {

class FakePpdev : public PpdevSys {
 public:
  // The name's lookup gives descriptor 6, the open through /proc/self/fd 7.
  int OpenPath(const char*) override {
    if (openErrno == ENOENT) {
      errno = ENOENT;
      return -1;
    }
    ++pathOpens;
    return 6;
  }
  int Fstat(int fd, struct stat* st) override {
    *st = {};
    st->st_mode = fd == 6 ? named : S_IFCHR | 0660;
    st->st_rdev = fd == 6 ? namedDevice : opened;
    return 0;
  }
  int Open(const char* path, int flags) override {
    ++opens;
    openFlags = flags;
    openedPath = path;
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
  int Close(int fd) override {
    ++(fd == 6 ? pathCloses : closes);
    return 0;
  }
  std::string openedPath;
  int pathOpens = 0, pathCloses = 0;
  std::vector<std::pair<unsigned long, int>> calls;
  int openErrno = 0, claimErrno = 0, closes = 0, opens = 0, openFlags = 0;
  // What the name is when looked at, and what the open then got.
  mode_t named = S_IFCHR | 0660;
  dev_t namedDevice = makedev(99, 0), opened = makedev(99, 0);
};

}  // namespace pt4::testing
