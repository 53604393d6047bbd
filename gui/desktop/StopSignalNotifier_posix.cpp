#include <unistd.h>

#include <QSocketNotifier>

#include "gui/desktop/StopSignalNotifier.h"
#include "hardware/StopSignal.h"

namespace pt4 {

struct StopSignalNotifier::Watch {};

StopSignalNotifier::StopSignalNotifier(QObject* parent, std::function<void(int, bool)> onSignal)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (StopSignalFd() < 0) return;
  auto* notifier = new QSocketNotifier(StopSignalFd(), QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    char buf[16];
    while (::read(StopSignalFd(), buf, sizeof buf) > 0) {
    }
    if (const int sig = PendingStopSignal()) onSignal_(sig, false);
  });
}

StopSignalNotifier::~StopSignalNotifier() = default;

}  // namespace pt4
