#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <csignal>

#include "gui/desktop/StopSignalNotifier.h"
#include "operations/Process.h"

namespace pt4 {

// WM_ENDSESSION reaches every top-level window once the session has agreed to
// end; the process is ended when the window procedure returns.
struct StopSignalNotifier::Watch final : QAbstractNativeEventFilter {
  explicit Watch(StopSignalNotifier* owner) : owner_(owner) {}
  bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_ENDSESSION && msg->wParam != 0) {
      process::RecordStop(SIGTERM);
      owner_->onSignal_(SIGTERM, true);
    }
    return false;
  }
  StopSignalNotifier* owner_;
};

StopSignalNotifier::StopSignalNotifier(QObject* parent, std::function<void(int, bool)> onSignal)
    : QObject(parent), watch_(std::make_unique<Watch>(this)), onSignal_(std::move(onSignal)) {
  QCoreApplication::instance()->installNativeEventFilter(watch_.get());
}

StopSignalNotifier::~StopSignalNotifier() {
  if (QCoreApplication* app = QCoreApplication::instance())
    app->removeNativeEventFilter(watch_.get());
}

}  // namespace pt4
