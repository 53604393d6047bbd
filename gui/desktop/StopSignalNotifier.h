// Brings a request to stop into the event loop, on the GUI thread. On Linux a
// stop signal's handler writes a byte to a pipe and a notifier wakes the loop; a
// pass that is running sees the signal at its next wait and unwinds to idle
// first. On Windows the request is the session ending (log off, shut down):
// Windows ends the process as soon as the window has answered, so the callback
// is told that nothing may wait for the pass.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace pt4 {

class StopSignalNotifier final : public QObject {
 public:
  // `onSignal(sig, now)`: `now` when the process ends as soon as it returns.
  StopSignalNotifier(QObject* parent, std::function<void(int sig, bool now)> onSignal);
  ~StopSignalNotifier() override;

 private:
  struct Watch;
  std::unique_ptr<Watch> watch_;
  std::function<void(int, bool)> onSignal_;
};

}  // namespace pt4
