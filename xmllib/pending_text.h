// PendingText: input that the scanner has read but not yet handed out.
//
// Tokens are taken off the front and lines added at the back, so the text is
// a buffer plus a start offset: consuming costs nothing per character, and the
// buffer is compacted once the consumed part outweighs the rest. Memory stays
// bounded by the longest token, not by the file.
//
// Most lines hold whole tokens, so a line read while nothing is pending is
// borrowed, not copied: the text stays where the line reader decoded it, and
// is copied only when Own() is called, which must happen before the reader
// reads on. Views handed out by view() are valid until the next change.
//
// Offsets into the stream (counted from the first character ever added)
// stay valid across consumption and compaction, which lets a search resume
// where it left off after more lines were appended.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>

#include "runtime/unit_search.h"

namespace ostrel {

class PendingText {
 public:
  PendingText() = default;
  PendingText(const PendingText&) = delete;
  PendingText& operator=(const PendingText&) = delete;

  std::u16string_view view() const { return {text_ + start_, end_ - start_}; }
  bool empty() const { return start_ == end_; }
  std::size_t size() const { return end_ - start_; }
  // Stream offset just past the last pending character.
  std::size_t streamEnd() const { return origin_ + end_; }

  // Index in view() of the first MARK that begins at or after stream offset
  // FROM; npos when there is none. Inline where MARK is known.
  [[gnu::always_inline]] std::size_t Find(std::u16string_view mark, std::size_t from) const {
    const std::size_t begin = origin_ + start_;
    return ostrel::com::FindMark(view(), mark, from > begin ? from - begin : 0);
  }

  // Only when empty(): LINE becomes the pending text without a copy.
  void Borrow(std::u16string_view line) {
    origin_ += end_;
    text_ = line.data();
    start_ = 0;
    end_ = line.size();
  }
  // Copies borrowed text into the buffer; after that the line it came from
  // may go.
  void Own() {
    if (owned()) return;
    if (empty()) {
      Clear();  // as after most lines: nothing to copy
    } else {
      MoveToFront(size());
    }
  }
  // Inline, where SEPARATOR is known: the lines of a token that runs on are
  // appended one by one.
  void Append(std::u16string_view separator, std::u16string_view line) {
    const std::size_t added = separator.size() + line.size();
    if (!owned() && empty()) Clear();
    if (!owned() || end_ + added > capacity_) MoveToFront(size() + added);
    char16_t* const out = std::copy(separator.begin(), separator.end(), buffer_.get() + end_);
    std::copy(line.begin(), line.end(), out);
    end_ += added;
  }
  // A borrowed line is never moved: it goes as a whole at the next Borrow.
  [[gnu::always_inline]] void Consume(std::size_t count) {
    start_ += count;
    if (owned() && start_ >= kCompactionFloor && start_ >= size()) MoveToFront(size());
  }
  void Clear() {
    origin_ += end_;
    text_ = buffer_.get();
    start_ = 0;
    end_ = 0;
  }

 private:
  // Below this many consumed characters compaction is not worth a move.
  static constexpr std::size_t kCompactionFloor = 4096;

  // While the text is owned, it is buffer_[start_, end_).
  bool owned() const { return text_ == buffer_.get(); }
  // Moves the pending text to the front of the buffer, which grows first
  // where it has room for fewer than UNITS units: it is owned afterwards.
  // Each move of owned text is paid for by the characters consumed or
  // appended since the last one, so the cost stays linear in the input.
  void MoveToFront(std::size_t units);

  std::unique_ptr<char16_t[]> buffer_;
  std::size_t capacity_ = 0;
  const char16_t* text_ = nullptr;  // buffer_ or a borrowed line
  std::size_t start_ = 0;           // first pending character in text_
  std::size_t end_ = 0;             // just past the last one
  std::size_t origin_ = 0;          // stream offset of text_[0]
};

}  // namespace ostrel
