// TokenScanner: the input half of CXmlReader. It reads the file in the file
// slot line by line and hands out one token at a time.
//
// A token is recognised only by fixed marks at the front of the pending text,
// tried in this order: "<!" ... "->" (so "<!--x-->" gives "--x-"),
// "<?" ... "?>", "</" ... ">", "<" ... ">" (or "/>"), else content up to the
// next "<". Every line loses its leading blanks (space, tab, NUL); the lines
// of a tag are joined by one space, those of content by CR LF.
//
// Positions are 16-bit: a token end beyond position 32,767, or 32,767 leading
// blanks, raise run-time error 6.
//
// A long line is read in pieces, and content that has outgrown every position
// is not kept, so memory is bounded by the longest tag, comment or processing
// instruction, not by the longest line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/line_reader.h"
#include "xmllib/file_format.h"
#include "xmllib/pending_text.h"

namespace ostrel {

enum class TokenKind : int16_t {
  EndOfInput = -1,  // the input has ended, or a token was not completed
  StartTag = 1,
  EndTag = 2,
  EmptyTag = 3,
  Content = 4,
  Comment = 5,
  ProcessingInstruction = 6,
};

// The marks of a kind of token other than content (scanner.cpp).
struct MarkedKind;

class TokenScanner {
 public:
  // TEXT from its first character that is not a space, tab or NUL on.
  // Raises 6 when 32,767 or more blanks lead.
  static std::u16string_view TrimLeading(std::u16string_view text) {
    if (text.empty() || !format::IsBlank(text.front())) return text;  // as most lines and items start
    return TrimBlanks(text);
  }

  // False, changing nothing, when FILENAME is no existing file. A file that
  // cannot be opened, or a taken file slot, raises.
  bool OpenInput(std::u16string_view filename);
  // Frees the file slot; false when closing raised an error. The input has
  // ended afterwards.
  bool CloseInput();

  // The next token and its text, a view into the pending input that stays
  // valid until the next call. After the input has ended it returns
  // EndOfInput at once and leaves TEXT as the previous token left it; the
  // call that meets the end still delivers a token.
  TokenKind NextToken(std::u16string_view& text);

  // The number of the line read last (1 for the first, 0 before any): where
  // the latest token ends, as no token is read ahead of.
  int32_t lineNumber() const { return lines; }

 private:
  static std::u16string_view TrimBlanks(std::u16string_view text);
  bool BorrowDecodedLine();
  // NextToken where a line must be read in pieces or decoded first, or the
  // input has ended.
  TokenKind NextTokenReadingOn(std::u16string_view& text);
  bool AppendMore(std::u16string_view separator);
  bool AppendLine(std::u16string_view separator);
  bool BorrowNextLine();
  // The next piece of the line being read.
  std::u16string_view ReadPiece();
  // The first piece of the next line; false, and the input has ended, when
  // no line is left.
  bool ReadLineStart(std::u16string_view& line);
  std::u16string_view Opened(const ostrel::com::LinePiece& piece);
  bool ContentOutgrewPositions() const;
  void SkipOverlongContent();
  // The token whose start mark is in front of the pending text.
  TokenKind ExtractInFront(std::u16string_view& text);
  // Only when KIND's start mark is in front.
  TokenKind ExtractToken(const MarkedKind& kind, std::u16string_view& text);
  TokenKind ExtractTokenAcrossLines(const MarkedKind& kind, std::u16string_view& text);
  TokenKind HandOutToken(const MarkedKind& kind, std::size_t end, std::u16string_view& text);
  TokenKind ExtractContent(std::u16string_view& text);
  TokenKind ExtractContentAcrossLines(std::u16string_view& text);
  void HandOutContent(std::size_t end, std::u16string_view& text);
  // TEXT is handed out as a view, so the COUNT characters it takes are
  // consumed only at the next call.
  void HandOut(std::u16string_view& text, std::u16string_view view, std::size_t count);
  // Each search resumes where a MARK could first straddle the appended text.
  std::size_t FindInLinesToCome(std::u16string_view mark, std::u16string_view separator);

  PendingText pendingText;
  // The file slot's lines while the input is open.
  ostrel::com::LineReader* input = nullptr;
  std::size_t handedOut = 0;  // characters of the last token, still pending
  bool atEnd = true;          // no input is open, or it has ended
  bool lineOpen = false;      // the line last read has pieces still unread
  int32_t lines = 0;
};

}  // namespace ostrel
