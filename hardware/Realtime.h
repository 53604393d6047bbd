// Real-time for the length of a pass, when the system allows it: SCHED_FIFO at
// priority 80 for the thread that runs the pass, every page locked in memory, and
// the CPU kept out of deep idle states (/dev/cpu_dma_latency held at 0). A pulse
// then ends within microseconds of its deadline instead of whenever the kernel
// gets round to it. Everything is given back when the span ends.
#pragma once

#include <string>

namespace pt4 {

// Where real time was refused: how to have it, as one sentence for the user.
const char* RealtimeAdvice();

class RealtimeSpan {
 public:
  RealtimeSpan();
  ~RealtimeSpan();
  RealtimeSpan(const RealtimeSpan&) = delete;
  RealtimeSpan& operator=(const RealtimeSpan&) = delete;
  // True when the thread runs at real-time priority.
  bool Granted() const { return scheduled_; }
  // What was refused, for a note to the user; empty when everything was granted.
  const std::string& Refused() const { return refused_; }

 private:
  bool scheduled_ = false, locked_ = false;
  int oldPolicy_ = 0;
  int oldPriority_ = 0;
  int latencyFd_ = -1;
  std::string refused_;
};

}  // namespace pt4
