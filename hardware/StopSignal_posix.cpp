#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <initializer_list>

#include "hardware/StopSignal.h"

namespace pt4 {

namespace {
volatile std::sig_atomic_t g_signal = 0;
volatile std::sig_atomic_t g_passDepth = 0;
volatile std::sig_atomic_t g_suspend = 0;  // the stop signal a pass owes, or 0
int g_pipe[2] = {-1, -1};

constexpr int kTerminating[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM};
constexpr int kStops[] = {SIGTSTP, SIGTTIN, SIGTTOU};

extern "C" void OnStopSignal(int sig) {
  RecordStopSignal(sig);
  if (g_pipe[1] >= 0) {
    const char byte = static_cast<char>(sig);
    [[maybe_unused]] const ssize_t n = write(g_pipe[1], &byte, 1);
  }
}

void StopAsAsked(int sig) {
  const int saved = errno;
  std::signal(sig, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(sig);  // stops here until SIGCONT
  errno = saved;
}

extern "C" void OnStop(int sig);

void InstallStopHandler(int sig) {
  struct sigaction sa {};
  sa.sa_handler = OnStop;
  sigemptyset(&sa.sa_mask);
  sigaction(sig, &sa, nullptr);
}

extern "C" void OnStop(int sig) {
  if (g_passDepth > 0) {
    g_suspend = sig;  // the pass stops at the end of the address, idle
    return;
  }
  StopAsAsked(sig);
  InstallStopHandler(sig);
}

}  // namespace

void InstallStopSignalHandlers() {
  if (g_pipe[0] < 0 && pipe(g_pipe) == 0) {
    for (int fd : g_pipe) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
      fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
  }
  struct sigaction sa {};
  sa.sa_handler = OnStopSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = 0;
  for (int sig : kTerminating) sigaction(sig, &sa, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  for (int sig : kStops) InstallStopHandler(sig);
}

void RecordStopSignal(int sig) {
  if (g_signal == 0) g_signal = sig;
}

int PendingStopSignal() {
  return g_signal;
}
int StopSignalFd() {
  return g_pipe[0];
}
void SetPendingStopSignalForTest(int sig) {
  g_signal = sig;
}

PassSpan::PassSpan() {
  g_passDepth = g_passDepth + 1;
}
PassSpan::~PassSpan() {
  g_passDepth = g_passDepth - 1;
  // A stop that came while the pass ran, and found no safe point: now.
  if (g_passDepth == 0 && g_suspend != 0) SuspendNow();
}

bool SuspendPending() {
  return g_suspend != 0;
}

void SuspendNow() {
  const int sig = g_suspend;
  g_suspend = 0;
  if (sig == 0 || sig == -1) return;
  StopAsAsked(sig);
  InstallStopHandler(sig);
}

void SetSuspendPendingForTest(bool on) {
  g_suspend = on ? -1 : 0;
}

}  // namespace pt4
