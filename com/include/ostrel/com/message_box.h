// Message boxes: modal, a text, one OK button, no icon, a caption.
//
// The host process decides how they appear by installing a sink: a function
// and a context pointer that is handed back to it. Lintrow shows a Qt
// dialog, the Python module calls a Python function, tests record; the sink
// in place at start prints "CAPTION: TEXT" in UTF-8 on stderr. The texts a
// sink is given last for the call only.
#pragma once

#include <string_view>

#include "export.h"

namespace ostrel::com {

struct MessageBoxSink {
  // Returns when the box has been dismissed.
  void (*show)(void* context, std::u16string_view text, std::u16string_view caption);
  void* context;
};

// Installs SINK for the whole process and returns the one it replaces, for
// the caller to put back. A sink whose SHOW is null stands for the one in
// place at start.
OSTREL_COM_API MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);

// Shows the box through the sink in place; returns when it has been
// dismissed.
OSTREL_COM_API void ShowMessageBox(std::u16string_view text, std::u16string_view caption);

}  // namespace ostrel::com
