// PendingText: input that the scanner has read but not yet handed out.
//
// Tokens are taken off the front and lines added at the back, so the text is
// a buffer plus a start offset: consuming costs nothing per character, and the
// buffer is compacted once the consumed part outweighs the rest. Memory stays
// bounded by the longest token, not by the file.
//
// Offsets into the stream (counted from the first character ever appended)
// stay valid across consumption and compaction, which lets a search resume
// where it left off after more lines were appended.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/unit_search.h"

namespace ostrel {

class PendingText {
 public:
  std::u16string_view view() const { return std::u16string_view(buffer_).substr(start_); }
  bool empty() const { return start_ == buffer_.size(); }
  std::size_t size() const { return buffer_.size() - start_; }
  // Stream offset just past the last pending character.
  std::size_t streamEnd() const { return origin_ + buffer_.size(); }

  bool StartsWith(std::u16string_view mark) const { return ostrel::com::StartsWithUnits(view(), mark); }
  // Index in view() of the first MARK that begins at or after stream offset
  // FROM; npos when there is none.
  std::size_t Find(std::u16string_view mark, std::size_t from) const;

  void Append(std::u16string_view separator, std::u16string_view line);
  void Consume(std::size_t count);
  void Clear();

 private:
  std::u16string buffer_;
  std::size_t start_ = 0;   // first pending character in buffer_
  std::size_t origin_ = 0;  // stream offset of buffer_[0]
};

}  // namespace ostrel
