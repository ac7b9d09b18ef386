// Preloaded (LD_PRELOAD) into a Qt Widgets program by startup_bench. Once the
// program's first top-level window has been painted, it writes that window's
// class name and a newline to the file descriptor named by FIRST_FRAME_FD,
// then closes it; without the variable it does nothing. Preloading keeps the
// hook out of the programs measured and makes it the same in all of them.
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <cstdlib>
#include <string>

namespace {

class FirstFrameSignal final : public QObject {
 public:
  explicit FirstFrameSignal(int descriptor) : QObject(QCoreApplication::instance()), descriptor_(descriptor) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || !watched->isWidgetType()) return false;
    const QWidget* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow()) Signal(widget->metaObject()->className());
    return false;
  }

 private:
  // The window's own paint comes first in its update; its children and the
  // flush of the frame follow within the same event, so the line waits for
  // the event loop's next turn.
  void Signal(const std::string& name) {
    QCoreApplication::instance()->removeEventFilter(this);
    QMetaObject::invokeMethod(
        this,
        [this, line = name + "\n"] {
          [[maybe_unused]] const ssize_t written = ::write(descriptor_, line.data(), line.size());
          ::close(descriptor_);
        },
        Qt::QueuedConnection);
  }

  int descriptor_;
};

void InstallFirstFrameSignal() {
  const char* descriptor = std::getenv("FIRST_FRAME_FD");
  if (descriptor == nullptr) return;
  QCoreApplication::instance()->installEventFilter(new FirstFrameSignal(std::atoi(descriptor)));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFirstFrameSignal)
