#include "xmllib/pending_text.h"

namespace ostrel {

void PendingText::CopyBorrowed() {
  buffer_.assign(text_ + start_, text_ + end_);
  origin_ += start_;
  text_ = buffer_.data();
  start_ = 0;
  end_ = buffer_.size();
}

void PendingText::Append(std::u16string_view separator, std::u16string_view line) {
  Own();
  buffer_.append(separator);
  buffer_.append(line);
  text_ = buffer_.data();
  end_ = buffer_.size();
}

// Drops the consumed text of the buffer. Each move is paid for by the
// characters consumed since the last one, so the cost stays linear in the
// input.
void PendingText::Compact() {
  origin_ += start_;
  buffer_.erase(0, start_);
  text_ = buffer_.data();
  start_ = 0;
  end_ = buffer_.size();
}

}  // namespace ostrel
