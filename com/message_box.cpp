#include <ostrel/com/message_box.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

#include "runtime/unicode.h"

namespace ostrel::com {
namespace {

void PrintOnStderr(void*, std::u16string_view text, std::u16string_view caption) {
  const std::string line = ToUtf8(caption) + ": " + ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

// Any thread may show a box while another installs a sink; the sink is read
// and replaced whole under the lock, and called outside it, so that a sink
// may itself show a box or install another sink.
std::mutex sinkLock;
MessageBoxSink currentSink{PrintOnStderr, nullptr};

}  // namespace

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink) {
  if (!sink.show) sink = {PrintOnStderr, nullptr};
  const std::lock_guard<std::mutex> hold(sinkLock);
  return std::exchange(currentSink, sink);
}

void ShowMessageBox(std::u16string_view text, std::u16string_view caption) {
  MessageBoxSink sink;
  {
    const std::lock_guard<std::mutex> hold(sinkLock);
    sink = currentSink;
  }
  sink.show(sink.context, text, caption);
}

}  // namespace ostrel::com
