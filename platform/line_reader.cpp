#include "platform/line_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/file_error.h"
#include "platform/unit_search.h"

namespace ostrel::com {
namespace {

constexpr size_t kBlockSize = 64 * 1024;

}  // namespace

LineReader::LineReader(int fd, Cp932Decoder& decoder)
    : fd_(fd), decoder_(decoder), bytes_(new char[kBlockSize + Cp932Decoder::kLongestIncomplete]) {
  MakeRoom(kBlockSize);
}

bool LineReader::AtEnd() {
  if (Held() > 0 || byteCount_ > 0) return false;
  // Only raw bytes may be read here: decoding could move the decoded text,
  // and with it the line that the caller still holds.
  if (!endOfFile_) ReadBlock();
  return byteCount_ == 0;
}

// The buffer holds at most MOST units and one block, however long the line.
LinePiece LineReader::ReadPiece(size_t most) {
  for (size_t from = 0;;) {
    const size_t brk = FindBreak(from);
    if (IsDecided(brk)) return {TakeLine(brk), true};
    if (brk > most) return {TakeUnits(most), false};
    if (!DecodeMore()) return {TakeLine(brk), true};
    from = brk;
  }
}

// The offset from the line's start of its first CR or LF at or after FROM;
// Held() when the decoded text has none.
size_t LineReader::FindBreak(size_t from) const {
  const std::u16string_view held(text_.get() + lineStart_, Held());
  return std::min(FindEitherUnit(held, u'\r', u'\n', from), Held());
}

// A CR that is the last unit decoded may yet turn out to be the start of a
// CR LF.
bool LineReader::IsDecided(size_t brk) const {
  return brk < Held() && !(text_[lineStart_ + brk] == u'\r' && brk + 1 == Held());
}

std::u16string_view LineReader::TakeLine(size_t brk) {
  const char16_t* line = text_.get() + lineStart_;
  size_t lineEnd = 0;
  if (brk < Held()) lineEnd = line[brk] == u'\r' && brk + 1 < Held() && line[brk + 1] == u'\n' ? 2 : 1;
  lineStart_ += brk + lineEnd;
  return {line, brk};
}

std::u16string_view LineReader::TakeUnits(size_t count) {
  const char16_t* piece = text_.get() + lineStart_;
  lineStart_ += count;
  return {piece, count};
}

// Appends the next block's text after the current line, which moves to the
// front first so that the buffer holds one line and one block at most.
// False when the file has nothing left.
bool LineReader::DecodeMore() {
  if (!endOfFile_ && byteCount_ <= Cp932Decoder::kLongestIncomplete) ReadBlock();
  if (byteCount_ == 0) return false;
  textSize_ = Held();
  if (lineStart_ > 0) std::copy_n(text_.get() + lineStart_, textSize_, text_.get());
  lineStart_ = 0;
  MakeRoom(textSize_ + byteCount_);
  const auto decoded = decoder_.Decode({bytes_.get(), byteCount_}, text_.get() + textSize_, endOfFile_);
  textSize_ += decoded.unitsWritten;
  byteCount_ -= decoded.bytesUsed;
  std::memmove(bytes_.get(), bytes_.get() + decoded.bytesUsed, byteCount_);
  return true;
}

// The buffer is not cleared when it grows: every unit is decoded into it
// before it is read.
void LineReader::MakeRoom(size_t units) {
  if (units <= textCapacity_) return;
  const size_t capacity = std::max(units, 2 * textCapacity_);
  auto grown = std::make_unique_for_overwrite<char16_t[]>(capacity);
  std::copy_n(text_.get(), textSize_, grown.get());
  text_ = std::move(grown);
  textCapacity_ = capacity;
}

void LineReader::ReadBlock() {
  ssize_t count;
  do {
    count = ::read(fd_, bytes_.get() + byteCount_, kBlockSize);
  } while (count < 0 && errno == EINTR);
  if (count < 0) RaiseFileError(errno, FileUse::kInput);
  if (count == 0) endOfFile_ = true;
  byteCount_ += static_cast<size_t>(count);
}

}  // namespace ostrel::com
