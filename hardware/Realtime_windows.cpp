// Real time on Windows for the length of a pass: the highest priority class
// the account may have (realtime for an administrator, else high), a
// time-critical thread, and a 1 ms system timer tick. Given back at the end.
#include <windows.h>
// timeapi.h needs the types of windows.h first.
#include <timeapi.h>

#include "hardware/Realtime.h"
#include "image/SystemLibrary.h"

namespace pt4 {

const char* RealtimeAdvice() {
  return "Run it from a console opened as administrator for the realtime priority class.";
}

// Here the old "policy" is the process's priority class, and "locked" the timer tick.
RealtimeSpan::RealtimeSpan() {
  oldPolicy_ = static_cast<int>(GetPriorityClass(GetCurrentProcess()));
  oldPriority_ = GetThreadPriority(GetCurrentThread());
  // Windows grants realtime only to administrators and silently gives high to
  // others; either way the class the process has now is what it got.
  SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
  const DWORD got = GetPriorityClass(GetCurrentProcess());
  if (got != REALTIME_PRIORITY_CLASS && got != HIGH_PRIORITY_CLASS &&
      !SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS)) {
    refused_ = "a high priority class";
  }
  if (!SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL)) {
    refused_ += std::string(refused_.empty() ? "" : "; ") + "a time-critical thread";
  }
  scheduled_ = refused_.empty();
  // winmm.dll from System32 at run time: it is no DLL Windows always takes from there.
  using Period = MMRESULT(WINAPI*)(UINT);
  static const auto begin = SystemFunction<Period>(L"winmm.dll", "timeBeginPeriod");
  locked_ = begin != nullptr && begin(1) == TIMERR_NOERROR;
}

RealtimeSpan::~RealtimeSpan() {
  using Period = MMRESULT(WINAPI*)(UINT);
  static const auto end = SystemFunction<Period>(L"winmm.dll", "timeEndPeriod");
  if (locked_ && end != nullptr) end(1);
  SetThreadPriority(GetCurrentThread(), oldPriority_);
  if (oldPolicy_ != 0) SetPriorityClass(GetCurrentProcess(), static_cast<DWORD>(oldPolicy_));
}

}  // namespace pt4
