#include "runtime/line_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "runtime/file_error.h"

namespace ostrel::com {
namespace {

constexpr size_t kBlockSize = 64 * 1024;
constexpr size_t kMostBytes = kBlockSize + Cp932Decoder::kLongestIncomplete;

}  // namespace

LineReader::LineReader(int fd, const Cp932Decoder& decoder)
    : fd_(fd), decoder_(decoder), bytes_(new char[kMostBytes]), lineEnds_(new uint32_t[kMostBytes]) {
  MakeRoom(kMostBytes);
}

// Only raw bytes may be read here: the decoded text holds the line that the
// caller still holds.
bool LineReader::NothingLeftToRead() {
  DropLfAfterCr();
  if (byteStart_ == byteEnd_ && !endOfFile_) ReadBlock();
  return byteStart_ == byteEnd_;
}

// The line's end is not decoded yet, or the line is longer than MOST. The
// text holds at most MOST units and one block, however long the line.
LinePiece LineReader::ReadOn(size_t most) {
  while (nextEnd_ == lineEndCount_ && textEnd_ - lineStart_ <= most) {
    if (!DecodeMore()) {  // the last line, without a line end
      const size_t start = std::exchange(lineStart_, textEnd_);
      return {{text_.get() + start, textEnd_ - start}, true};
    }
  }
  if (nextEnd_ < lineEndCount_ && endsBase_ + lineEnds_[nextEnd_] - lineStart_ <= most) {
    return EndLine(endsBase_ + lineEnds_[nextEnd_]);
  }
  const size_t start = std::exchange(lineStart_, lineStart_ + most);
  return {{text_.get() + start, most}, false};
}

// Decodes the bytes read, reading the next block first when at most an
// incomplete character is left, after the units not yet returned, which move
// to the front. Only when every line end decoded has been passed. False when
// the file has nothing left.
bool LineReader::DecodeMore() {
  DropLfAfterCr();
  if (!endOfFile_ && byteEnd_ - byteStart_ <= Cp932Decoder::kLongestIncomplete) ReadBlock();
  const size_t count = byteEnd_ - byteStart_;
  if (count == 0) return false;
  textEnd_ = std::copy(text_.get() + lineStart_, text_.get() + textEnd_, text_.get()) - text_.get();
  lineStart_ = 0;
  MakeRoom(textEnd_ + count);
  const auto decoded =
      decoder_.DecodeLines({bytes_.get() + byteStart_, count}, text_.get() + textEnd_, lineEnds_.get(), endOfFile_);
  endsBase_ = textEnd_;
  nextEnd_ = 0;
  lineEndCount_ = decoded.lineEnds;
  textEnd_ += decoded.unitsWritten;
  byteStart_ += decoded.bytesUsed;
  return true;
}

// A CR that ended the last block may yet be the start of a CR LF.
void LineReader::DropLfAfterCr() {
  if (!std::exchange(crEnded_, false)) return;
  if (byteStart_ == byteEnd_ && !endOfFile_) ReadBlock();
  if (byteStart_ < byteEnd_ && bytes_[byteStart_] == '\n') ++byteStart_;
}

// The buffer is not cleared when it grows: every unit is decoded into it
// before it is read.
void LineReader::MakeRoom(size_t units) {
  if (units <= textCapacity_) return;
  const size_t capacity = std::max(units, 2 * textCapacity_);
  auto grown = std::make_unique_for_overwrite<char16_t[]>(capacity);
  std::copy_n(text_.get(), textEnd_, grown.get());
  text_ = std::move(grown);
  textCapacity_ = capacity;
}

// The bytes not yet decoded, an incomplete character at most, move to the
// front before the block.
void LineReader::ReadBlock() {
  byteEnd_ = std::copy(bytes_.get() + byteStart_, bytes_.get() + byteEnd_, bytes_.get()) - bytes_.get();
  byteStart_ = 0;
  ssize_t count;
  do {
    count = ::read(fd_, bytes_.get() + byteEnd_, kBlockSize);
  } while (count < 0 && errno == EINTR);
  if (count < 0) RaiseFileError(errno, FileUse::kInput);
  if (count == 0) endOfFile_ = true;
  byteEnd_ += static_cast<size_t>(count);
}

}  // namespace ostrel::com
