#include "memoapp/memo_line.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "runtime/cp932.h"
#include <ostrel/com/runtime_error.h>
#include "xmllib/file_format.h"

namespace memoapp {

namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";

using ostrel::format::Escape;
using ostrel::format::IsBlank;
using ostrel::format::kEscapes;

// The reader handles positions up to this one in the text it is cutting.
constexpr std::size_t kLargestPosition = ostrel::format::kLargestPosition;

// Some characters share one CP932 form with another (the wave dash and the
// full-width tilde, the yen sign and the backslash): they are written, but
// read back as the other one.
bool SurvivesCp932(std::u16string_view text) {
  std::string bytes;
  try {
    ostrel::com::Cp932Encoder().Encode(text, bytes);
  } catch (const ostrel::com::RuntimeError&) {
    return false;
  }
  std::u16string back(bytes.size(), u'\0');
  back.resize(ostrel::com::Cp932Decoder().Decode(bytes, back.data(), true).unitsWritten);
  return back == text;
}

bool Contains(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != std::u16string_view::npos;
}

std::u16string Escaped(std::u16string_view body) {
  std::u16string escaped;
  escaped.reserve(body.size());
  for (const char16_t c : body) {
    const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                      [c](const Escape& e) { return e.character == c; });
    if (escape == std::end(kEscapes)) {
      escaped += c;
    } else {
      escaped += escape->reference;
    }
  }
  return escaped;
}

// What the reader sees between "<" and ">" of the memo's start tag.
std::u16string StartTagText(const CMemoData& memo) {
  return u"sentence Title=\"" + memo.title + (memo.sentence.empty() ? u"\"/" : u"\"");
}

// The tag ends at the first ">".
bool TitleHoldsGreaterThan(const CMemoData& memo) { return Contains(memo.title, u">"); }

// Quotation marks inside the value are harmless until one leaves a blank
// outside quotes: the reader splits the tag's attributes there.
bool TitleSplitsAtBlank(const CMemoData& memo) {
  bool quoted = true;  // by the quotation mark that opens the value
  for (const char16_t c : memo.title) {
    if (c == u'"') quoted = !quoted;
    if (!quoted && (c == u' ' || c == u'\t')) return true;
  }
  return false;
}

// The lines of a tag are joined with a blank.
bool TitleHoldsLineBreak(const CMemoData& memo) { return memo.title.find_first_of(u"\r\n") != std::u16string::npos; }

bool TitleChangesInCp932(const CMemoData& memo) { return !SurvivesCp932(memo.title); }

// The position just after the tag's ">" must stay within the reader's range.
bool TitleTooLong(const CMemoData& memo) { return StartTagText(memo).size() + 2 > kLargestPosition; }

// The reader would decode these into the characters they stand for.
bool BodyHoldsReferences(const CMemoData& memo) {
  return std::any_of(std::begin(kEscapes), std::end(kEscapes),
                     [&memo](const Escape& e) { return Contains(memo.sentence, e.reference); });
}

// A lone CR or LF: a lone LF ends a line on reading, and a lone CR is not a
// line end of the file at all.
bool BodyHoldsLoneBreak(const CMemoData& memo) {
  const std::u16string& body = memo.sentence;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const bool crWithoutLf = body[i] == u'\r' && (i + 1 == body.size() || body[i + 1] != u'\n');
    const bool lfWithoutCr = body[i] == u'\n' && (i == 0 || body[i - 1] != u'\r');
    if (crWithoutLf || lfWithoutCr) return true;
  }
  return false;
}

// A body's leading line break vanishes while the reader looks for the next
// tag, and one final line break is dropped from every text.
bool BodyHasEdgeBreak(const CMemoData& memo) {
  return memo.sentence.starts_with(kLineBreak) || memo.sentence.ends_with(kLineBreak);
}

// Every line read loses its leading blanks, and so does the body's first line
// once a second line is joined to it; a body of one line keeps them, since it
// is cut from the line of its start tag.
bool BodyHasIndentedLine(const CMemoData& memo) {
  const std::u16string& body = memo.sentence;
  if (!Contains(body, kLineBreak)) return false;
  if (IsBlank(body.front())) return true;
  for (std::size_t at = body.find(kLineBreak); at != std::u16string::npos; at = body.find(kLineBreak, at + 1)) {
    const std::size_t next = at + kLineBreak.size();
    if (next < body.size() && IsBlank(body[next])) return true;
  }
  return false;
}

bool BodyChangesInCp932(const CMemoData& memo) { return !SurvivesCp932(memo.sentence); }

// The "<" of the end tag must stay within the reader's range.
bool BodyTooLong(const CMemoData& memo) { return Escaped(memo.sentence).size() + 1 > kLargestPosition; }

struct Rule {
  bool (*breaks)(const CMemoData&);
  std::u16string_view why;
};

constexpr Rule kRules[] = {
    {TitleHoldsGreaterThan, u"タイトルに「>」は書けません。"},
    {TitleSplitsAtBlank, u"タイトルで「\"」の組の外にある空白は書けません。"},
    {TitleHoldsLineBreak, u"タイトルに改行は書けません。"},
    {TitleChangesInCp932, u"タイトルに Shift-JIS で元どおりに表せない文字があります。"},
    {TitleTooLong, u"タイトルが長すぎます。"},
    {BodyHoldsReferences, u"本文に「&gt;」「&lt;」「&quot;」をそのまま書くことはできません。"},
    {BodyHoldsLoneBreak, u"本文の改行は CR LF の組でなければなりません。"},
    {BodyHasEdgeBreak, u"本文の先頭と末尾には改行を書けません。"},
    {BodyHasIndentedLine, u"複数行の本文では、行頭に空白を書けません。"},
    {BodyChangesInCp932, u"本文に Shift-JIS で元どおりに表せない文字があります。"},
    {BodyTooLong, u"本文が長すぎます。"},
};

}  // namespace

std::u16string MemoLine(const CMemoData& memo) {
  std::u16string line = u"<" + StartTagText(memo) + u">";
  if (!memo.sentence.empty()) line += Escaped(memo.sentence) + u"</sentence>";
  return line;
}

std::u16string_view WhyNotCarried(const CMemoData& memo) {
  for (const Rule& rule : kRules) {
    if (rule.breaks(memo)) return rule.why;
  }
  return {};
}

}  // namespace memoapp
