// Lines of CP932 text read from an open file.
//
// Bytes are read and decoded a block at a time, so memory is bounded by the
// longest line read whole (or the piece asked for) plus one block, however
// large the file. A line ends at CR LF,
// at a lone LF or at a lone CR: every convention in use for text files, so a
// file from any system reads as the lines its author saw. A last line
// without a line end is still a line; a line end that closes the file opens
// no further, empty line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/cp932.h"

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
  bool AtEnd();

  // The next line without its line end; only when !AtEnd(). The view stays
  // valid until the next ReadLine or the end of the reader.
  std::u16string_view ReadLine() { return ReadPiece(SIZE_MAX).text; }

  // The rest of the current line, or its next MOST units when more than MOST
  // are left; only when !AtEnd(). The view stays valid as ReadLine's does.
  LinePiece ReadPiece(size_t most);

 private:
  size_t FindBreak(size_t from) const;
  bool IsDecided(size_t brk) const;
  std::u16string_view TakeLine(size_t brk);
  std::u16string_view TakeUnits(size_t count);
  bool DecodeMore();
  void ReadBlock();
  void MakeRoom(size_t units);
  size_t Held() const { return textSize_ - lineStart_; }

  int fd_;
  Cp932Decoder& decoder_;
  std::unique_ptr<char[]> bytes_;  // read, not yet decoded: [0, byteCount_)
  size_t byteCount_ = 0;
  bool endOfFile_ = false;
  std::unique_ptr<char16_t[]> text_;  // decoded: [0, textSize_)
  size_t textSize_ = 0;
  size_t textCapacity_ = 0;
  size_t lineStart_ = 0;  // where the next line starts in text_
};

}  // namespace ostrel::com
