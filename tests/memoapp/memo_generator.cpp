#include "tests/memoapp/memo_generator.h"

namespace {

const std::vector<std::u16string_view> kWords = {
    u"milk", u"Meeting", u"at", u"10", u"x", u"=", u"/", u"'", u"&", u"!", u"?", u"-", u"(a)",
    u"牛乳", u"会議", u"ひらがな", u"カタカナ", u"漢字", u"全角ＡＢＣ", u"①", u"、", u"。", u"「引用」", u"ｶﾅ"};
const std::vector<std::u16string_view> kInTitles = {u" "};
const std::vector<std::u16string_view> kInBodies = {u" ", u"<", u">", u"\"", u"<b>", u"a<b", u"\"q\""};
const std::vector<std::u16string_view> kHostile = {
    u"&lt;", u"&gt;", u"&quot;", u"&amp;", u"\r", u"\n", u"\r\n", u"\r\n ", u"\t", std::u16string_view(u"\0", 1),
    u"  ", u"<", u">", u"\"", u"〜", u"¥", u"−", u"€", u"é", u"\U0001F600", u"<!", u"->", u"<?", u"?>",
    u"</sentence>", u"/", u"Title=", u"\x01"};

std::vector<std::u16string_view> Joined(std::vector<std::u16string_view> a, const std::vector<std::u16string_view>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<std::u16string_view> kOrdinaryTitle = Joined(kWords, kInTitles);
const std::vector<std::u16string_view> kOrdinaryBody = Joined(kWords, kInBodies);
const std::vector<std::u16string_view> kAny = Joined(Joined(kWords, kInBodies), kHostile);

}  // namespace

bool MemoGenerator::OneIn(int n) { return std::uniform_int_distribution<int>(1, n)(random_) == 1; }

// Words and marks run into each other, so pieces meet in every order.
std::u16string MemoGenerator::Text(const std::vector<std::u16string_view>& pieces, int longest) {
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  const int count = std::uniform_int_distribution<int>(1, longest)(random_);
  std::u16string text;
  for (int i = 0; i < count; ++i) text += pieces[piece(random_)];
  return text;
}

// Lines joined by CR LF; every line after the first begins with a word, and
// the first now and then with a blank.
std::u16string MemoGenerator::OrdinaryBody() {
  std::u16string body = Text(kOrdinaryBody, 8);
  while (OneIn(3)) body += u"\r\n" + Text(kWords, 1) + Text(kOrdinaryBody, 8);
  return body;
}

CMemoData MemoGenerator::OrdinaryMemo() {
  CMemoData memo;
  if (!OneIn(6)) memo.title = Text(kOrdinaryTitle, 4);
  if (!OneIn(6)) memo.sentence = OrdinaryBody();
  return memo;
}

CMemoData MemoGenerator::AnyMemo() {
  CMemoData memo;
  if (!OneIn(6)) memo.title = Text(OneIn(2) ? kOrdinaryTitle : kAny, 4);
  if (!OneIn(6)) memo.sentence = OneIn(3) ? OrdinaryBody() : Text(kAny, 10);
  return memo;
}

std::vector<CMemoData> MemoGenerator::OrdinaryTable() {
  std::vector<CMemoData> memos(std::uniform_int_distribution<int>(0, 9)(random_));
  for (CMemoData& memo : memos) memo = OrdinaryMemo();
  return memos;
}
