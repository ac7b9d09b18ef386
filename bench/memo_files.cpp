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

// Long runs of double-byte characters, as notes written in sentences have.
constexpr std::array<const char*, 6> kSentences = {
    "本日の打ち合わせでは、来年度の予算案と新製品の販売計画について話し合いました。",
    "担当者は必要な資料を月曜日までに準備し、関係する部署へ送付してください。",
    "東京と大阪の事務所を結ぶ会議は、毎週水曜日の午後に開かれることになりました。",
    "詳しい日程が決まり次第、改めて全員にお知らせします。",
    "前回の議事録に誤りがあったため、訂正したものを共有フォルダに置きました。",
    "質問や意見がある場合は、遠慮なく連絡してください。"};

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

std::string Sentences(int seed, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += kSentences[(seed * 5 + i) % kSentences.size()];
  return text;
}

std::string Body(int memo, MemoShape shape) {
  if (shape == MemoShape::kProse) return Sentences(memo, 2 + memo % 4);
  if (shape != MemoShape::kMultiLine) return Phrases(memo, 1 + memo % 4);
  std::string body;
  const int lines = 3 + memo % 4;
  for (int line = 0; line < lines; ++line) {
    if (line > 0) body += "\r\n\t\t";
    body += Phrases(memo + line, 2);
  }
  return body;
}

std::string Opening(MemoShape shape) { return shape == MemoShape::kSingleLine ? "<Memo>" : "<Memo>\r\n"; }

std::string Closing() { return "</Memo>\r\n"; }

// Memos FIRST to FIRST + COUNT - 1.
std::string Memos(int first, int count, MemoShape shape) {
  const char* lineEnd = shape == MemoShape::kSingleLine ? "" : "\r\n";
  std::string text;
  for (int memo = first; memo < first + count; ++memo) {
    text += "\t<sentence Title=\"メモ " + std::to_string(memo) + " " + Phrases(memo + 1, 1) + "\">";
    text += Body(memo, shape);
    text += "</sentence>";
    text += lineEnd;
  }
  return text;
}

}  // namespace

std::string MemoFileUtf8(int memos, MemoShape shape, const std::string& encoding) {
  return Header(encoding) + Opening(shape) + Memos(0, memos, shape) + Closing();
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

size_t WriteLargeMemoFile(const std::string& path, size_t bytes, MemoShape shape) {
  constexpr int kMemosPerBlock = 10'000;
  std::ofstream file(path, std::ios::binary);
  std::string block = ToCp932(Header("Shift-JIS") + Opening(shape));
  size_t size = 0;
  for (int first = 0; size < bytes; first += kMemosPerBlock) {
    file << block;
    size += block.size();
    block = ToCp932(Memos(first, kMemosPerBlock, shape));
  }
  const std::string closing = ToCp932(Closing());
  file << closing;
  return size + closing.size();
}

size_t WriteLongContentLine(const std::string& path, size_t bytes) {
  const std::string opening = ToCp932(Header("Shift-JIS") + "<Memo>\r\n");
  const std::string text = ToCp932(Phrases(1, 1000) + " ");
  std::ofstream file(path, std::ios::binary);
  file << opening;
  size_t size = opening.size();
  for (; size < bytes; size += text.size()) file << text;
  return size;
}

}  // namespace bench
