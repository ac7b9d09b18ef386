// Memo files as the memo writer lays them out: six header lines, "<Memo>",
// one tab-indented sentence element per memo, "</Memo>", CR LF line ends.
// Titles and bodies mix Japanese and ASCII and hold entity references, so
// the reader decodes as much as a real memo file makes it.
#pragma once

#include <cstddef>
#include <string>

namespace bench {

enum class MemoShape {
  kOneLine,    // each body on the line of its tags
  kMultiLine,  // each body over three to six indented lines
  kSingleLine, // every memo on one line, with <Memo> and </Memo>
  kProse,      // each body a paragraph of Japanese sentences on the line of its tags
};

// The file as UTF-8 text; its declaration names ENCODING.
std::string MemoFileUtf8(int memos, MemoShape shape, const std::string& encoding);

// UTF-8 TEXT in CP932.
std::string ToCp932(const std::string& text);

void WriteFile(const std::string& path, const std::string& bytes);

// Writes a CP932 memo file of about BYTES bytes, a block of memos at a time,
// and returns its size.
size_t WriteLargeMemoFile(const std::string& path, size_t bytes, MemoShape shape);

// Writes "<Memo>" and then one line of about BYTES bytes of CP932 content
// with no "<" in it, and returns the file's size.
size_t WriteLongContentLine(const std::string& path, size_t bytes);

}  // namespace bench
