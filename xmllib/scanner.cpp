#include "xmllib/scanner.h"

#include <algorithm>
#include <climits>

#include "runtime/file_slot.h"
#include <ostrel/com/runtime_error.h>
#include "runtime/unit_search.h"

namespace ostrel {

namespace {

constexpr std::size_t kNotFound = std::u16string_view::npos;
constexpr std::u16string_view kTagSeparator = u" ";
constexpr std::u16string_view kContentSeparator = u"\r\n";
constexpr std::u16string_view kTagEnd = u">";

// Positions are compared with sizes.
constexpr std::size_t kLargestPosition = format::kLargestPosition;

// A longer line arrives in pieces of this many units. More than the largest
// position, so a first piece that is all blank is already too many blanks,
// and a mark is never cut off by a piece's end but by a line's.
constexpr std::size_t kLinePiece = 2 * (kLargestPosition + 1);

using format::IsBlank;

[[gnu::always_inline]] inline std::size_t LeadingBlanks(std::u16string_view text, std::size_t most) {
  if (text.empty() || !IsBlank(text.front())) return 0;  // as most lines and items start
  const std::size_t limit = std::min(text.size(), most);
  std::size_t blanks = 1;  // the first, tested above
  while (blanks < limit && IsBlank(text[blanks])) ++blanks;
  return blanks;
}

// Positions count from 1 in a 16-bit signed number.
void CheckPosition(std::size_t position) {
  if (position > kLargestPosition) ostrel::com::Raise(ostrel::com::errnum::kOverflow);
}

// TokenScanner::TrimLeading, inline where a line is taken.
[[gnu::always_inline]] inline std::u16string_view Trimmed(std::u16string_view text) {
  const std::size_t blanks = LeadingBlanks(text, kLargestPosition);
  CheckPosition(blanks + 1);
  text.remove_prefix(blanks);
  return text;
}

void DropFinalLineBreak(std::u16string_view& text) {
  if (text.ends_with(kContentSeparator)) text.remove_suffix(kContentSeparator.size());
}

}  // namespace

struct MarkedKind {
  std::u16string_view startMark;
  std::u16string_view endMark;
  TokenKind found;
  TokenKind foundEmpty;
};

namespace {

// Only an end mark ">" can give FoundEmpty; "</a/>" is no token at all and
// ends the read as the end of the input would.
constexpr MarkedKind kComment{u"<!", u"->", TokenKind::Comment, TokenKind::EndOfInput};
constexpr MarkedKind kProcessingInstruction{u"<?", u"?>", TokenKind::ProcessingInstruction,
                                                          TokenKind::EndOfInput};
constexpr MarkedKind kEndTag{u"</", kTagEnd, TokenKind::EndTag, TokenKind::EndOfInput};
constexpr MarkedKind kStartTag{u"<", kTagEnd, TokenKind::StartTag, TokenKind::EmptyTag};

}  // namespace

std::u16string_view TokenScanner::TrimBlanks(std::u16string_view text) { return Trimmed(text); }

bool TokenScanner::OpenInput(std::u16string_view filename) {
  if (!ostrel::com::file_slot::OpenForInputIfPresent(filename)) return false;
  input = &ostrel::com::file_slot::InputLines();
  atEnd = false;
  lineOpen = false;
  lines = 0;
  handedOut = 0;
  pendingText.Clear();
  return true;
}

bool TokenScanner::CloseInput() {
  atEnd = true;
  input = nullptr;
  try {
    ostrel::com::file_slot::Close();
    return true;
  } catch (const ostrel::com::RuntimeError&) {
    return false;
  }
}

// The fast path: the pending text holds the rest of one whole line, or a
// whole line is decoded and waiting, as for most tokens. Everything else,
// and every token that does not end on its line, goes the way that reads on,
// out of line.
TokenKind TokenScanner::NextToken(std::u16string_view& text) {
  if (atEnd) return TokenKind::EndOfInput;
  pendingText.Consume(handedOut);
  handedOut = 0;
  text = {};
  if (lineOpen || (pendingText.empty() && !BorrowDecodedLine())) return NextTokenReadingOn(text);
  return ExtractInFront(text);
}

// A whole line that the reader has decoded already, its leading blanks
// trimmed, while nothing is pending (as BorrowNextLine, without a call).
// Blank lines vanish; false where the next line is not decoded yet.
[[gnu::always_inline]] inline bool TokenScanner::BorrowDecodedLine() {
  std::u16string_view line;
  while (input->ReadDecodedLine(kLinePiece, line)) {
    if (lines < INT32_MAX) ++lines;
    line = Trimmed(line);
    if (!line.empty()) {
      pendingText.Borrow(line);
      return true;
    }
  }
  return false;
}

__attribute__((noinline)) TokenKind TokenScanner::NextTokenReadingOn(std::u16string_view& text) {
  if (pendingText.empty()) {
    if (lineOpen) {
      AppendMore(kTagSeparator);
    } else {
      BorrowNextLine();
    }
  }
  // A start mark is two units at most, and is tested within one line.
  while (lineOpen && pendingText.size() < 2) pendingText.Append({}, ReadPiece());
  return ExtractInFront(text);
}

// The unit after a "<" decides the kind: every start mark is "<" and at most
// one unit more, and a longer start mark goes before its prefix "<".
[[gnu::always_inline]] inline TokenKind TokenScanner::ExtractInFront(std::u16string_view& text) {
  const std::u16string_view pending = pendingText.view();
  if (pending.empty() || pending.front() != u'<') return ExtractContent(text);
  switch (pending.size() > 1 ? pending[1] : u'\0') {
    case u'!': return ExtractToken(kComment, text);
    case u'?': return ExtractToken(kProcessingInstruction, text);
    case u'/': return ExtractToken(kEndTag, text);
    default: return ExtractToken(kStartTag, text);
  }
}

// Inline, so that each kind's marks are constants where the kind is known:
// most tokens end on the line they start on, where a search costs no more
// than a call.
[[gnu::always_inline]] inline TokenKind TokenScanner::ExtractToken(const MarkedKind& kind, std::u16string_view& text) {
  pendingText.Consume(kind.startMark.size());
  const std::size_t end = pendingText.Find(kind.endMark, 0);
  if (end == kNotFound) return ExtractTokenAcrossLines(kind, text);
  return HandOutToken(kind, end, text);
}

__attribute__((noinline)) TokenKind TokenScanner::ExtractTokenAcrossLines(const MarkedKind& kind,
                                                                          std::u16string_view& text) {
  const std::size_t end = FindInLinesToCome(kind.endMark, kTagSeparator);
  if (end == kNotFound) {
    text = pendingText.view();
    return TokenKind::EndOfInput;
  }
  return HandOutToken(kind, end, text);
}

// The token of KIND whose end mark is at END in the pending text.
[[gnu::always_inline]] inline TokenKind TokenScanner::HandOutToken(const MarkedKind& kind, std::size_t end,
                                                                   std::u16string_view& text) {
  const std::u16string_view pending = pendingText.view();
  CheckPosition(end + 1 + kind.endMark.size());
  const bool empty = ostrel::com::SameUnits(kind.endMark, kTagEnd) && end > 0 && pending[end - 1] == u'/';
  HandOut(text, {pending.data(), empty ? end - 1 : end}, end + kind.endMark.size());
  return empty ? kind.foundEmpty : kind.found;
}

// Content found on the line it starts on holds no line break: lines hold
// none, and only a search across lines joins them, with CR LF.
[[gnu::always_inline]] inline TokenKind TokenScanner::ExtractContent(std::u16string_view& text) {
  const std::size_t end = pendingText.Find(u"<", 0);
  if (end == kNotFound) return ExtractContentAcrossLines(text);
  HandOutContent(end, text);
  return TokenKind::Content;
}

// Content that the input ends in, with no "<" after it, stays pending and is
// never handed out: TEXT stays empty.
__attribute__((noinline)) TokenKind TokenScanner::ExtractContentAcrossLines(std::u16string_view& text) {
  const std::size_t end = FindInLinesToCome(u"<", kContentSeparator);
  if (end == kNotFound) {
    if (!atEnd) SkipOverlongContent();
    return TokenKind::Content;
  }
  HandOutContent(end, text);
  DropFinalLineBreak(text);
  return TokenKind::Content;
}

void TokenScanner::HandOutContent(std::size_t end, std::u16string_view& text) {
  CheckPosition(end + 1);
  HandOut(text, {pendingText.view().data(), end}, end);
}

void TokenScanner::HandOut(std::u16string_view& text, std::u16string_view view, std::size_t count) {
  text = view;
  handedOut = count;
}

// The rest of the line being read, or else the next line.
[[gnu::always_inline]] inline bool TokenScanner::AppendMore(std::u16string_view separator) {
  if (lineOpen) {
    pendingText.Append({}, ReadPiece());
    if (!pendingText.empty()) return true;
  }
  return AppendLine(separator);
}

// While the pending text is blank, the separator is trimmed away with it, so
// blank lines vanish; after that, an empty line adds just the separator.
[[gnu::always_inline]] inline bool TokenScanner::AppendLine(std::u16string_view separator) {
  const bool blankSeparator = ostrel::com::SameUnits(separator, kTagSeparator);
  do {
    if (pendingText.empty() && blankSeparator) return BorrowNextLine();
    pendingText.Own();
    std::u16string_view line;
    if (!ReadLineStart(line)) return false;
    pendingText.Append(separator, Trimmed(line));
    const std::u16string_view pending = pendingText.view();
    pendingText.Consume(pending.size() - TrimLeading(pending).size());
  } while (pendingText.empty());
  return true;
}

// A line that arrives while nothing is pending would lose a tag's separator,
// a blank, at once, so it is borrowed as it is: most lines are read this way.
// Nothing pending holds on to the line read before, so the reader may move
// it.
bool TokenScanner::BorrowNextLine() {
  std::u16string_view line;
  while (ReadLineStart(line)) {
    const std::u16string_view trimmed = Trimmed(line);
    if (!trimmed.empty()) {
      pendingText.Borrow(trimmed);
      return true;
    }
  }
  return false;
}

// Reading on may move the line that the pending text borrows. Only while
// the line is open, so some of it is left to read.
std::u16string_view TokenScanner::ReadPiece() {
  pendingText.Own();
  return Opened(input->ReadPiece(kLinePiece));
}

[[gnu::always_inline]] inline bool TokenScanner::ReadLineStart(std::u16string_view& line) {
  if (input->AtEnd()) {
    atEnd = true;
    return false;
  }
  line = Opened(input->ReadPiece(kLinePiece));
  return true;
}

// The line stays open while pieces of it are left.
std::u16string_view TokenScanner::Opened(const ostrel::com::LinePiece& piece) {
  if (!lineOpen && lines < INT32_MAX) ++lines;
  lineOpen = !piece.endsLine;
  return piece.text;
}

// Each search resumes where a MARK could first straddle the appended text,
// so a token spread over many lines costs no more than its length.
[[gnu::always_inline]] inline std::size_t TokenScanner::FindInLinesToCome(std::u16string_view mark,
                                                                          std::u16string_view separator) {
  for (;;) {
    if (ostrel::com::SameUnits(separator, kContentSeparator) && ContentOutgrewPositions()) return kNotFound;
    const std::size_t from = pendingText.streamEnd() - std::min(pendingText.size(), mark.size() - 1);
    if (!AppendMore(separator)) return kNotFound;
    const std::size_t found = pendingText.Find(mark, from);
    if (found != kNotFound) return found;
  }
}

// True when no "<" to come can close the pending content within the largest
// position, not even once its leading blanks are trimmed at the next line,
// or when those blanks are already too many to trim.
bool TokenScanner::ContentOutgrewPositions() const {
  const std::u16string_view pending = pendingText.view();
  if (pending.size() < kLargestPosition) return false;
  const std::size_t blanks = LeadingBlanks(pending, kLargestPosition);
  return blanks == kLargestPosition || pending.size() - blanks >= kLargestPosition;
}

// Reads on past content that has outgrown every position: the next "<", or
// the next line after too many leading blanks, raises the overflow that
// keeping the text would have raised; the end of the input drops it as any
// content that no "<" closes.
void TokenScanner::SkipOverlongContent() {
  const bool blanksOverflow = LeadingBlanks(pendingText.view(), kLargestPosition) == kLargestPosition;
  pendingText.Clear();
  for (;;) {
    const bool newLine = !lineOpen;
    if (newLine && input->AtEnd()) {
      atEnd = true;
      return;
    }
    if (newLine && blanksOverflow) ostrel::com::Raise(ostrel::com::errnum::kOverflow);
    const std::u16string_view piece = newLine ? TrimLeading(ReadPiece()) : ReadPiece();
    if (ostrel::com::FindUnit(piece, u'<') != kNotFound) ostrel::com::Raise(ostrel::com::errnum::kOverflow);
  }
}

}  // namespace ostrel
