#include "runtime/line_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "runtime/file_error.h"

namespace ostrel::com {
namespace {

constexpr size_t kBlockSize = 64 * 1024;

}  // namespace

LineReader::LineReader(int fd, Cp932Decoder& decoder)
    : fd_(fd), decoder_(decoder), bytes_(new char[kBlockSize + Cp932Decoder::kLongestIncomplete]) {
  MakeRoom(kBlockSize + Cp932Decoder::kLongestIncomplete);
}

// Only raw bytes may be read here: the decoded text holds the line that the
// caller still holds.
bool LineReader::NothingLeftToRead() {
  if (!endOfFile_) ReadBlock();
  return byteStart_ == byteEnd_;
}

// The line goes on from the CARRIED_ units that the piece before left.
LinePiece LineReader::ReadCarriedOn(size_t most) {
  std::copy_n(text_.get() + textSize_, carried_, text_.get());
  textSize_ = std::exchange(carried_, 0);
  return ReadOn(most);
}

// The line goes on from the TEXTSIZE_ units decoded. The buffer holds at
// most MOST units and one block, however long the line.
LinePiece LineReader::ReadOn(size_t most) {
  while (textSize_ <= most) {
    if (!DecodeMore()) return {{text_.get(), textSize_}, true};
    if (AtLineEnd()) {
      if (textSize_ > most) break;
      SkipLineEnd();
      return {{text_.get(), textSize_}, true};
    }
  }
  return TakeUnits(most);
}

// Appends the text of the bytes read up to the next line end, reading the
// next block first when at most an incomplete character is left. False when
// the file has nothing left.
inline bool LineReader::DecodeMore() {
  if (!endOfFile_ && byteEnd_ - byteStart_ <= Cp932Decoder::kLongestIncomplete) ReadBlock();
  const size_t count = byteEnd_ - byteStart_;
  if (count == 0) return false;
  MakeRoom(textSize_ + count);
  const auto decoded =
      decoder_.DecodeToLineEnd({bytes_.get() + byteStart_, count}, text_.get() + textSize_, endOfFile_);
  textSize_ += decoded.unitsWritten;
  byteStart_ += decoded.bytesUsed;
  return true;
}

// The rest of the decoded text is carried over to the next piece.
inline LinePiece LineReader::TakeUnits(size_t count) {
  carried_ = textSize_ - count;
  textSize_ = count;
  return {{text_.get(), count}, false};
}

// The buffer is not cleared when it grows: every unit is decoded into it
// before it is read.
inline void LineReader::MakeRoom(size_t units) {
  if (units <= textCapacity_) return;
  const size_t capacity = std::max(units, 2 * textCapacity_);
  auto grown = std::make_unique_for_overwrite<char16_t[]>(capacity);
  std::copy_n(text_.get(), textSize_, grown.get());
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
