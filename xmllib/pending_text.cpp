#include "xmllib/pending_text.h"

namespace ostrel {

// The buffer is not cleared when it grows: every unit is copied into it
// before it is read.
void PendingText::MoveToFront(std::size_t units) {
  std::unique_ptr<char16_t[]> grown;
  if (units > capacity_) {
    capacity_ = std::max(units, 2 * capacity_);
    grown = std::make_unique_for_overwrite<char16_t[]>(capacity_);
  }
  char16_t* const front = grown ? grown.get() : buffer_.get();
  std::copy(text_ + start_, text_ + end_, front);  // forward: owned text only ever moves down
  if (grown) buffer_ = std::move(grown);
  origin_ += start_;
  end_ -= start_;
  start_ = 0;
  text_ = buffer_.get();
}

}  // namespace ostrel
