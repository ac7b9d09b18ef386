#include "bench/memo_files.h"

#include <iconv.h>

#include <array>
#include <fstream>
#include <stdexcept>

namespace bench {
namespace {

constexpr std::array<const char*, 8> kPhrases = {
    "今日の予定は", "meeting at 10:30", "牛乳 &gt; パン", "&quot;メモ&quot; を確認", "call Tanaka-san",
    "来週の会議資料", "ｶﾀｶﾅ ① ～ Ⅱ", "size &lt; 5 kg"};

std::string Phrases(int seed, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += kPhrases[(seed * 7 + i * 3) % kPhrases.size()];
  }
  return text;
}

std::string Header(const std::string& encoding) {
  return "<?xml version=\"1.0\"  encoding = \"" + encoding +
         "\" ?>\r\n\r\n<!-- @version: -->\r\n\r\n"
         "<!--   このファイルはXmlWrite.openによって 2026/12/07 08:00:00　に出力されました。 -->\r\n\r\n";
}

std::string Body(int memo, MemoShape shape) {
  if (shape == MemoShape::kOneLine) return Phrases(memo, 1 + memo % 4);
  std::string body;
  const int lines = 3 + memo % 4;
  for (int line = 0; line < lines; ++line) {
    if (line > 0) body += "\r\n\t\t";
    body += Phrases(memo + line, 2);
  }
  return body;
}

}  // namespace

std::string MemoFileUtf8(int memos, MemoShape shape, const std::string& encoding) {
  std::string text = Header(encoding) + "<Memo>\r\n";
  for (int memo = 0; memo < memos; ++memo) {
    text += "\t<sentence Title=\"メモ " + std::to_string(memo) + " " + Phrases(memo + 1, 1) + "\">";
    text += Body(memo, shape);
    text += "</sentence>\r\n";
  }
  return text + "</Memo>\r\n";
}

std::string ToCp932(const std::string& text) {
  iconv_t descriptor = iconv_open("CP932", "UTF-8");
  if (descriptor == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
  std::string out(text.size(), '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* written = out.data();
  size_t outLeft = out.size();
  const size_t status = iconv(descriptor, &in, &inLeft, &written, &outLeft);
  iconv_close(descriptor);
  if (status == static_cast<size_t>(-1)) throw std::runtime_error("memo text without a CP932 form");
  out.resize(out.size() - outLeft);
  return out;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace bench
