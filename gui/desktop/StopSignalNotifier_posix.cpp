#include <unistd.h>

#include <QSocketNotifier>

#include "gui/desktop/StopSignalNotifier.h"
#include "operations/Process.h"

namespace pt4 {

struct StopSignalNotifier::Watch {};

StopSignalNotifier::StopSignalNotifier(QObject* parent, std::function<void(int, bool)> onSignal)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (process::StopSignalFd() < 0) return;
  auto* notifier = new QSocketNotifier(process::StopSignalFd(), QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    char buf[16];
    while (::read(process::StopSignalFd(), buf, sizeof buf) > 0) {
    }
    if (const int sig = PendingStopSignal()) onSignal_(sig, false);
  });
}

StopSignalNotifier::~StopSignalNotifier() = default;

}  // namespace pt4
