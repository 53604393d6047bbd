#include "gui/desktop/StopSignalNotifier.h"

#include <unistd.h>

#include <QSocketNotifier>

#include "hardware/StopSignal.h"

namespace pt4 {

StopSignalNotifier::StopSignalNotifier(QObject* parent, std::function<void(int)> onSignal)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (StopSignalFd() < 0) return;
  notifier_ = new QSocketNotifier(StopSignalFd(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char buf[16];
    while (::read(StopSignalFd(), buf, sizeof buf) > 0) {
    }
    if (const int sig = PendingStopSignal()) onSignal_(sig);
  });
}

}  // namespace pt4
