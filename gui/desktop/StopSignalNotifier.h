// Brings a stop signal into the event loop: the handler writes a byte to a pipe,
// and this notifier calls back on the GUI thread.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace pt4 {

class StopSignalNotifier final : public QObject {
 public:
  StopSignalNotifier(QObject* parent, std::function<void(int sig)> onSignal);

 private:
  QSocketNotifier* notifier_ = nullptr;
  std::function<void(int)> onSignal_;
};

}  // namespace pt4
