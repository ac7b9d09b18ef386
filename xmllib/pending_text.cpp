#include "xmllib/pending_text.h"

#include <algorithm>

#include "platform/unit_search.h"

namespace ostrel {

namespace {
// Below this many consumed characters compaction is not worth a move.
constexpr std::size_t kCompactionFloor = 4096;
}  // namespace

std::size_t PendingText::Find(std::u16string_view mark, std::size_t from) const {
  const std::size_t begin = origin_ + start_;
  return ostrel::com::FindMark(view(), mark, std::max(from, begin) - begin);
}

void PendingText::Append(std::u16string_view separator, std::u16string_view line) {
  buffer_.append(separator);
  buffer_.append(line);
}

void PendingText::Consume(std::size_t count) {
  start_ += count;
  if (empty()) {
    origin_ += buffer_.size();
    buffer_.clear();
    start_ = 0;
  } else if (start_ >= kCompactionFloor && start_ >= size()) {
    // Each move is paid for by the characters consumed since the last one,
    // so the cost stays linear in the input.
    origin_ += start_;
    buffer_.erase(0, start_);
    start_ = 0;
  }
}

void PendingText::Clear() { Consume(size()); }

}  // namespace ostrel
