#include <ostrel/com/message_box.h>

#include <cstdio>
#include <string>
#include <utility>

#include "runtime/unicode.h"

namespace ostrel::com {
namespace {

void PrintOnStderr(std::u16string_view text, std::u16string_view caption) {
  const std::string line = ToUtf8(caption) + ": " + ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

MessageBoxSink& CurrentSink() {
  static MessageBoxSink sink = PrintOnStderr;
  return sink;
}

}  // namespace

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink) {
  if (!sink) sink = PrintOnStderr;
  return std::exchange(CurrentSink(), std::move(sink));
}

void ShowMessageBox(std::u16string_view text, std::u16string_view caption) {
  // A copy, so that a sink which installs another sink is not destroyed while
  // it runs.
  const MessageBoxSink sink = CurrentSink();
  sink(text, caption);
}

}  // namespace ostrel::com
