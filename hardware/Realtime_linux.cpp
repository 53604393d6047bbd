#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "hardware/Realtime.h"

namespace pt4 {

namespace {
constexpr int kPassPriority = 80;
}  // namespace

const char* RealtimeAdvice() {
  return "Real time for group lp: 'sudo dpkg-reconfigure pt4cli', or see REAL TIME in 'man "
         "pt4cli' and /usr/share/doc/pt4cli/README.md.";
}

RealtimeSpan::RealtimeSpan() {
  sched_param old{};
  if (pthread_getschedparam(pthread_self(), &oldPolicy_, &old) == 0)
    oldPriority_ = old.sched_priority;
  sched_param rt{};
  rt.sched_priority = kPassPriority;
  const int err = pthread_setschedparam(pthread_self(), SCHED_FIFO, &rt);
  if (err == 0) {
    scheduled_ = true;
  } else {
    refused_ = std::string("real-time scheduling: ") + std::strerror(err);
  }
  if (mlockall(MCL_CURRENT | MCL_FUTURE) == 0) {
    locked_ = true;
  } else {
    refused_ +=
        std::string(refused_.empty() ? "" : "; ") + "locked memory: " + std::strerror(errno);
  }
  // Held open with 0 written: the CPU stays in shallow idle states until closed.
  latencyFd_ = ::open("/dev/cpu_dma_latency", O_WRONLY | O_CLOEXEC);
  if (latencyFd_ >= 0) {
    const std::int32_t zero = 0;
    if (::write(latencyFd_, &zero, sizeof zero) != sizeof zero) {
      ::close(latencyFd_);
      latencyFd_ = -1;
    }
  }
}

RealtimeSpan::~RealtimeSpan() {
  if (latencyFd_ >= 0) ::close(latencyFd_);
  if (locked_) munlockall();
  if (scheduled_) {
    sched_param old{};
    old.sched_priority = oldPriority_;
    pthread_setschedparam(pthread_self(), oldPolicy_, &old);
  }
}

}  // namespace pt4
