#include "xmllib/writer.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <numeric>

#include "runtime/clock.h"
#include <ostrel/com/error_info.h>
#include "runtime/file_slot.h"
#include <ostrel/com/message_box.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include "xmllib/file_format.h"

namespace ostrel {

namespace {

namespace file_slot = ostrel::com::file_slot;

constexpr std::u16string_view kCaption = u"Ostrel";
constexpr std::u16string_view kNotOpen = u"XMLファイルはまだオープンされていません。";
constexpr std::u16string_view kAlreadyOpen = u"はすでにオープンされています。";
constexpr std::u16string_view kOpenFailed = u"のオープンに失敗しました。";

constexpr std::u16string_view kDeclaration = u"<?xml version=\"1.0\"  encoding = \"Shift-JIS\" ?>";
constexpr std::u16string_view kVersionComment = u"<!-- @version: -->";
constexpr std::u16string_view kStampOpening = u"<!--   このファイルはXmlWrite.openによって ";
constexpr std::u16string_view kStampClosing = u"\u3000に出力されました。 -->";
constexpr std::u16string_view kCommentOpening = u"<!--  ";
constexpr std::u16string_view kCommentClosing = u"  -->";

// Positions and counters are 16-bit: the largest is the first one that
// overflows once something has to step past it.
using format::kLargestPosition;

std::u16string Joined(std::initializer_list<std::u16string_view> parts) {
  std::size_t size = 0;
  for (std::u16string_view part : parts) size += part.size();
  std::u16string joined;
  joined.reserve(size);
  for (std::u16string_view part : parts) joined += part;
  return joined;
}

void Tell(std::u16string_view text) { ostrel::com::ShowMessageBox(text, kCaption); }

// Runs STEP and passes over any error, so that a failed step does not keep the
// next one from running.
template <class Step>
void PassingOver(Step step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

// Runs BODY, then hands what it wrote to the operating system, also when BODY
// fails partway; BODY's error is the one the caller hears of.
template <class Body>
void Flushed(Body body) {
  try {
    body();
  } catch (...) {
    PassingOver(file_slot::Flush);
    throw;
  }
  file_slot::Flush();
}

template <class Body>
HRESULT Answer(VARIANT_BOOL* result, Body body) {
  return ostrel::com::Guard([&] { *result = ToVariantBool(body()); });
}

// A header that cannot be written in full is still a header: each line that
// fails is left out and the next one is tried.
void WriteHeader() {
  const auto line = [](std::u16string_view text) { return [text] { file_slot::WriteLine(text); }; };
  PassingOver(line(kDeclaration));
  PassingOver(line({}));
  PassingOver(line(kVersionComment));
  PassingOver(line({}));
  PassingOver([] { file_slot::WriteLine(Joined({kStampOpening, ostrel::com::NowAsText(), kStampClosing})); });
  PassingOver(line({}));
  PassingOver(file_slot::Flush);
}

// The line is composed whole before it is written, so a character the file
// cannot hold fails the call with nothing of the line in the file. The indent
// counter is 16-bit and must step past indentNo to end its loop: an indent of
// 32,767 overflows only once its tabs are out, so those reach the file.
void WriteIndentedLine(int16_t indentNo, std::initializer_list<std::u16string_view> parts) {
  std::u16string line(std::max<int16_t>(indentNo, 0), u'\t');
  if (indentNo == kLargestPosition) {
    file_slot::Write(line);
    ostrel::com::Raise(ostrel::com::errnum::kOverflow);
  }
  for (std::u16string_view part : parts) line += part;
  file_slot::WriteLine(line);
}

}  // namespace

const ostrel::com::DispatchTable<CXmlWriter>& CXmlWriter::Members() {
  static const ostrel::com::DispatchTable<CXmlWriter> table{
      ostrel::com::Member<CXmlWriter, &_CXmlWriter::XmlOpen>(u"XmlOpen", u"filename"),
      ostrel::com::Member<CXmlWriter, &_CXmlWriter::WriteComment>(u"WriteComment", u"comment"),
      ostrel::com::Member<CXmlWriter, &_CXmlWriter::WriteSetEllement>(u"WriteSetEllement", u"indentNo", u"startTag",
                                                                    u"contentData", u"endTag"),
      ostrel::com::Member<CXmlWriter, &_CXmlWriter::WriteOneEllement>(u"WriteOneEllement", u"indentNo", u"ellement"),
      ostrel::com::Member<CXmlWriter, &_CXmlWriter::XmlClose>(u"XmlClose"),
  };
  return table;
}

HRESULT CXmlWriter::XmlOpen(BSTR* filename, VARIANT_BOOL* result) {
  if (AnyNull(filename, result)) return E_POINTER;
  return Answer(result, [&] { return Open(ostrel::com::View(*filename)); });
}

HRESULT CXmlWriter::WriteComment(BSTR* comment, VARIANT_BOOL* result) {
  if (AnyNull(comment, result)) return E_POINTER;
  return Answer(result, [&] { return Comment(ostrel::com::View(*comment)); });
}

HRESULT CXmlWriter::WriteSetEllement(int16_t* indentNo, BSTR* startTag, BSTR* contentData, BSTR* endTag,
                                     VARIANT_BOOL* result) {
  if (AnyNull(indentNo, startTag, contentData, endTag, result)) return E_POINTER;
  return Answer(result, [&] {
    return SetElement(*indentNo, ostrel::com::View(*startTag), ostrel::com::View(*contentData), ostrel::com::View(*endTag));
  });
}

HRESULT CXmlWriter::WriteOneEllement(int16_t* indentNo, BSTR* ellement, VARIANT_BOOL* result) {
  if (AnyNull(indentNo, ellement, result)) return E_POINTER;
  return Answer(result, [&] { return OneElement(*indentNo, ostrel::com::View(*ellement)); });
}

HRESULT CXmlWriter::XmlClose(VARIANT_BOOL* result) {
  if (AnyNull(result)) return E_POINTER;
  return Answer(result, [&] { return Close(); });
}

void CXmlWriter::Class_Initialize() { openFlag = VARIANT_FALSE; }

// The end of life has no one to report to, so a failing close goes unheard;
// the slot is free afterwards all the same.
void CXmlWriter::Class_Terminate() {
  if (openFlag) PassingOver(file_slot::Close);
}

bool CXmlWriter::Open(std::u16string_view filename) {
  if (openFlag) {
    Tell(Joined({filename, kAlreadyOpen}));
    return false;
  }
  try {
    file_slot::OpenForOutput(filename);
  } catch (const ostrel::com::RuntimeError& error) {
    Tell(Joined({filename, kOpenFailed}));
    // The message box names no cause; the error info keeps it for callers
    // that turn the False into an error of their own (TakeErrorInfo).
    ostrel::com::ReportError(error);
    return false;
  }
  WriteHeader();
  openFlag = VARIANT_TRUE;
  return true;
}

bool CXmlWriter::Comment(std::u16string_view comment) {
  if (RefusedWhileClosed()) return false;
  Flushed([&] {
    file_slot::WriteLine(Joined({kCommentOpening, comment, kCommentClosing}));
    file_slot::WriteLine({});
  });
  return true;
}

// The content is escaped before the file is looked at: an overflow there fails
// the call even while no file is open.
bool CXmlWriter::SetElement(int16_t indentNo, std::u16string_view startTag, std::u16string_view contentData,
                            std::u16string_view endTag) {
  const std::u16string working = Escape(contentData);
  if (RefusedWhileClosed()) return false;
  Flushed([&] { WriteIndentedLine(indentNo, {startTag, working, endTag}); });
  return true;
}

bool CXmlWriter::OneElement(int16_t indentNo, std::u16string_view ellement) {
  if (RefusedWhileClosed()) return false;
  Flushed([&] { WriteIndentedLine(indentNo, {ellement}); });
  return true;
}

// The slot is free after a close even when the close fails, so the writer is
// no longer open either way.
bool CXmlWriter::Close() {
  if (RefusedWhileClosed()) return false;
  openFlag = VARIANT_FALSE;
  file_slot::Close();
  return true;
}

bool CXmlWriter::RefusedWhileClosed() const {
  if (openFlag) return false;
  Tell(kNotOpen);
  return true;
}

// The escaping is defined as a search and replace, row by row of the table,
// with 16-bit positions in the text as it stands at that moment. That text
// differs from CONTENTDATA, before a character of row k, by what the
// replacements of rows 1 to k have added in front of it, so one pass that
// keeps those growths finds every position the search would find, without
// rebuilding the text at each hit.
std::u16string CXmlWriter::Escape(std::u16string_view contentData) const {
  std::array<std::size_t, format::kEscapeCount> growth{};
  std::u16string working;
  working.reserve(contentData.size());
  for (std::size_t index = 0; index < contentData.size(); ++index) {
    const int16_t row = EscapeRow(contentData[index]);
    if (row < 0) {
      working += contentData[index];
      continue;
    }
    const std::size_t position = index + 1 + std::accumulate(growth.begin(), growth.begin() + row + 1, std::size_t{0});
    if (position >= std::size_t{kLargestPosition}) ostrel::com::Raise(ostrel::com::errnum::kOverflow);
    const std::u16string_view reference = format::kEscapes[row].reference;
    working += reference;
    growth[row] += reference.size() - 1;
  }
  return working;
}

int16_t CXmlWriter::EscapeRow(char16_t character) {
  for (int16_t row = 0; row < format::kEscapeCount; ++row) {
    if (format::kEscapes[row].character == character) return row;
  }
  return -1;
}

}  // namespace ostrel
