// Lines of CP932 text read from an open file.
//
// Bytes are read and decoded a block at a time, with the places of the line
// ends noted on the way, so memory is bounded by the longest line read whole
// (or the piece asked for) plus one block, however large the file. A line ends at CR LF, at a lone LF or
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
  LineReader(int fd, const Cp932Decoder& decoder);

  // May read the file, but leaves the line last returned intact.
  bool AtEnd() { return lineStart_ == textEnd_ && NothingLeftToRead(); }

  // The next line without its line end; only when !AtEnd(). The view stays
  // valid until the next ReadLine or the end of the reader.
  std::u16string_view ReadLine() { return ReadPiece(SIZE_MAX).text; }

  // The rest of the current line, or its next MOST units when more than MOST
  // are left; only when !AtEnd(). The view stays valid as ReadLine's does.
  LinePiece ReadPiece(size_t most);

  // ReadPiece's whole next line where its line end is decoded already and it
  // is at most MOST long, as most lines are: then no call is made. False,
  // with nothing read, where ReadPiece would have to read on.
  bool ReadDecodedLine(size_t most, std::u16string_view& line);

 private:
  bool NothingLeftToRead();
  LinePiece EndLine(size_t end);
  LinePiece ReadOn(size_t most);
  bool DecodeMore();
  void DropLfAfterCr();
  void ReadBlock();
  void MakeRoom(size_t units);

  int fd_;
  const Cp932Decoder& decoder_;
  // Read, not yet decoded: [byteStart_, byteEnd_).
  std::unique_ptr<char[]> bytes_;
  size_t byteStart_ = 0;
  size_t byteEnd_ = 0;
  bool endOfFile_ = false;
  // Decoded a block at a time: the piece last returned, then the units not
  // yet returned, [lineStart_, textEnd_).
  std::unique_ptr<char16_t[]> text_;
  size_t lineStart_ = 0;
  size_t textEnd_ = 0;
  size_t textCapacity_ = 0;
  // The places of the CR and LF units of the block decoded last, from
  // endsBase_ in text_; those from nextEnd_ on lie after lineStart_.
  std::unique_ptr<uint32_t[]> lineEnds_;
  size_t endsBase_ = 0;
  size_t nextEnd_ = 0;
  size_t lineEndCount_ = 0;
  // The last line ended at a CR that was the last unit decoded: an LF that
  // the file has next belongs to that line end.
  bool crEnded_ = false;
};

// Inline, as they run once a line: most lines end within the text decoded.
inline LinePiece LineReader::ReadPiece(size_t most) {
  std::u16string_view line;
  return ReadDecodedLine(most, line) ? LinePiece{line, true} : ReadOn(most);
}

inline bool LineReader::ReadDecodedLine(size_t most, std::u16string_view& line) {
  if (nextEnd_ == lineEndCount_) return false;
  const size_t end = endsBase_ + lineEnds_[nextEnd_];
  if (end - lineStart_ > most) return false;
  line = EndLine(end).text;
  return true;
}

// The line from lineStart_ to its line end at END: a lone CR or LF, or CR LF.
inline LinePiece LineReader::EndLine(size_t end) {
  const size_t start = lineStart_;
  const bool cr = text_[end] == u'\r';
  const bool crLf = cr && end + 1 < textEnd_ && text_[end + 1] == u'\n';
  crEnded_ = cr && end + 1 == textEnd_;
  nextEnd_ += crLf ? 2 : 1;
  lineStart_ = end + (crLf ? 2 : 1);
  return {{text_.get() + start, end - start}, true};
}

}  // namespace ostrel::com
