// The component model's message boxes as Qt dialogs, for its
// SetMessageBoxSink: the given text and caption, one OK button, no icon.
// Modal; returns when the user has dismissed the box.
#pragma once

#include <string_view>

namespace memoapp {

void ShowQtMessageBox(std::u16string_view text, std::u16string_view caption);

}  // namespace memoapp
