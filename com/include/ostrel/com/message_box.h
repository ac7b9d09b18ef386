// Message boxes: modal, a text, one OK button, no icon, a caption.
//
// The host process decides how they appear by installing a sink: Lintrow shows
// a Qt dialog, command-line tools print "CAPTION: TEXT" on stderr (the sink in
// place at start), tests record.
#pragma once

#include <functional>
#include <string_view>

namespace ostrel::com {

using MessageBoxSink = std::function<void(std::u16string_view text, std::u16string_view caption)>;

// Returns the sink that was in place.
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);

// Returns when the box has been dismissed.
void ShowMessageBox(std::u16string_view text, std::u16string_view caption);

}  // namespace ostrel::com
