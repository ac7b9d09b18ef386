// Memo files as the memo writer lays them out: six header lines, "<Memo>",
// one tab-indented sentence element per memo, "</Memo>", CR LF line ends.
// Titles and bodies mix Japanese and ASCII and hold entity references, so
// the reader decodes as much as a real memo file makes it.
#pragma once

#include <string>

namespace bench {

enum class MemoShape {
  kOneLine,    // each body on the line of its tags
  kMultiLine,  // each body over three to six indented lines
};

// The file as UTF-8 text; its declaration names ENCODING.
std::string MemoFileUtf8(int memos, MemoShape shape, const std::string& encoding);

// UTF-8 TEXT in CP932.
std::string ToCp932(const std::string& text);

void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace bench
