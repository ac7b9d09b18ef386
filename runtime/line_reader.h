// Lines of CP932 text read from an open file.
//
// Bytes are read a block at a time and decoded a line at a time, so memory
// is bounded by the longest line read whole (or the piece asked for) plus
// one block, however large the file. A line ends at CR LF, at a lone LF or
// at a lone CR: every convention in use for text files, so a file from any
// system reads as the lines its author saw. A last line without a line end
// is still a line; a line end that closes the file opens no further, empty
// line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "runtime/cp932.h"

namespace ostrel::com {

// Part of a line; ENDSLINE when nothing of the line follows it.
struct LinePiece {
  std::u16string_view text;
  bool endsLine;
};

class LineReader {
 public:
  // Reads FD, which stays open and owned by the caller; decodes with DECODER,
  // which must outlive the reader.
  LineReader(int fd, Cp932Decoder& decoder);

  // May read the file, but leaves the line last returned intact.
  bool AtEnd() { return carried_ == 0 && byteStart_ == byteEnd_ && NothingLeftToRead(); }

  // The next line without its line end; only when !AtEnd(). The view stays
  // valid until the next ReadLine or the end of the reader.
  std::u16string_view ReadLine() { return ReadPiece(SIZE_MAX).text; }

  // The rest of the current line, or its next MOST units when more than MOST
  // are left; only when !AtEnd(). The view stays valid as ReadLine's does.
  LinePiece ReadPiece(size_t most);

 private:
  bool NothingLeftToRead();
  LinePiece ReadCarriedOn(size_t most);
  LinePiece ReadOn(size_t most);
  std::string_view Unread() const { return {bytes_.get() + byteStart_, byteEnd_ - byteStart_}; }
  bool DecodeMore();
  // The next byte read is CR or LF, where decoding to a line end stops.
  bool AtLineEnd() const {
    return byteStart_ < byteEnd_ && (bytes_[byteStart_] == '\r' || bytes_[byteStart_] == '\n');
  }
  void SkipLineEnd();
  LinePiece TakeUnits(size_t count);
  void ReadBlock();
  void MakeRoom(size_t units);

  int fd_;
  Cp932Decoder& decoder_;
  // Read, not yet decoded: [byteStart_, byteEnd_).
  std::unique_ptr<char[]> bytes_;
  size_t byteStart_ = 0;
  size_t byteEnd_ = 0;
  bool endOfFile_ = false;
  // Decoded: the piece last returned, then CARRIED_ units of its line that
  // were decoded beyond it.
  std::unique_ptr<char16_t[]> text_;
  size_t textSize_ = 0;
  size_t textCapacity_ = 0;
  size_t carried_ = 0;
};

// Inline, as it runs once a line: most lines lie within the bytes read and
// take one call to decode. The rest
// goes on out of line.
inline LinePiece LineReader::ReadPiece(size_t most) {
  if (carried_ > 0 || byteEnd_ - byteStart_ <= Cp932Decoder::kLongestIncomplete) return ReadCarriedOn(most);
  const auto decoded = decoder_.DecodeToLineEnd(Unread(), text_.get(), endOfFile_);  // a block fits in text_
  textSize_ = decoded.unitsWritten;
  byteStart_ += decoded.bytesUsed;
  if (textSize_ > most || !AtLineEnd()) return ReadOn(most);
  SkipLineEnd();
  return {{text_.get(), textSize_}, true};
}

// Steps over CR LF, or a lone CR or LF. A CR that ends the block may yet be
// the start of a CR LF.
inline void LineReader::SkipLineEnd() {
  const bool cr = bytes_[byteStart_++] == '\r';
  if (!cr) return;
  if (byteStart_ == byteEnd_ && !endOfFile_) ReadBlock();
  if (byteStart_ < byteEnd_ && bytes_[byteStart_] == '\n') ++byteStart_;
}

}  // namespace ostrel::com
