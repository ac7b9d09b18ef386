// setKeyList alone, against a plain restatement of the split: trim, cut the
// name at the first blank outside double quotes, then one item per blank,
// each item with an "=" filed under the text before it.
//
// The restatement yields the items; adding them to a list of our own says
// whether a repeated name must fail the call. The tag name, the rest of the
// text, the result and the list must match, also when the call fails.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include <ostrel/com/collection.h>
#include <ostrel/com/com_ptr.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include "runtime/unicode.h"
#include <ostrel/com/attribute_pairs.h>
#include "xmllib/reader.h"

namespace {

using ostrel_fuzz::Require;

constexpr std::size_t kLargestPosition = 32767;

struct Split {
  std::u16string strbuf;
  std::u16string tagname;
  std::vector<std::pair<std::u16string, std::u16string>> items;  // name, value
  bool result = false;
  int32_t error = 0;
};

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\0'; }

// False, leaving TEXT alone, when 32,767 or more blanks lead.
bool Trim(std::u16string& text) {
  std::size_t blanks = 0;
  while (blanks < text.size() && IsBlank(text[blanks])) ++blanks;
  if (blanks >= kLargestPosition) return false;
  text.erase(0, blanks);
  return true;
}

// The 0-based place of the first blank outside quotes; npos when none.
std::size_t Separator(const std::u16string& text) {
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'"') quoted = !quoted;
    if (!quoted && (text[i] == u' ' || text[i] == u'\t')) return i;
  }
  return std::u16string::npos;
}

void AddItem(std::u16string_view item, Split& split) {
  const std::size_t equals = item.find(u'=');
  if (equals == std::u16string_view::npos) return;
  std::u16string_view value = item.substr(equals + 1);
  if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') value = value.substr(1, value.size() - 2);
  split.items.emplace_back(item.substr(0, equals), value);
}

// The split of STRBUF; only an overflow is found here, a repeated name is
// left to AddAll.
Split Expected(std::u16string strbuf) {
  Split split;
  split.strbuf = std::move(strbuf);
  if (!Trim(split.strbuf) || split.strbuf.size() > kLargestPosition) {
    split.error = ostrel::com::errnum::kOverflow;
    return split;
  }
  std::size_t cut = Separator(split.strbuf);
  if (cut == std::u16string::npos) {
    split.tagname = split.strbuf;
    return split;
  }
  split.result = true;
  split.tagname = split.strbuf.substr(0, cut);
  split.strbuf.erase(0, cut);
  for (;;) {
    Trim(split.strbuf);
    cut = Separator(split.strbuf);
    if (cut == std::u16string::npos) break;
    AddItem(std::u16string_view(split.strbuf).substr(0, cut), split);
    split.strbuf.erase(0, cut);
  }
  AddItem(split.strbuf, split);
  return split;
}

// Adds the items to LIST up to the first that fails; returns its error.
int32_t AddAll(const Split& split, Collection* list) {
  for (const auto& [itemName, itemValue] : split.items) {
    ostrel::com::Bstr value(itemValue);
    ostrel::com::Bstr name(itemName);
    VARIANT key;
    key.vt = VT_BSTR;
    key.bstrVal = name.get();
    const int32_t error = ostrel_fuzz::ErrorNumber(list->Add(value.Address(), &key));
    if (error != 0) return error;
  }
  return 0;
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::u16string text = ostrel::com::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  Split expected = Expected(text);
  const auto expectedList = ostrel::com::NewCollection();
  if (expected.error == 0) expected.error = AddAll(expected, expectedList.get());

  auto reader = ostrel::com::ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  const auto list = ostrel::com::NewCollection();
  ostrel::com::Bstr strbuf(text);
  ostrel::com::Bstr tagname(u"untouched");
  Collection* keylist = list.get();
  VARIANT_BOOL result = VARIANT_FALSE;
  const int32_t error = ostrel_fuzz::ErrorNumber(reader->setKeyList(strbuf.Address(), tagname.Address(), &keylist, &result));

  Require(error == expected.error, "setKeyList fails exactly when the split must");
  Require(ostrel::com::PairsOf(*list.get()) == ostrel::com::PairsOf(*expectedList.get()), "the list holds the attributes in order");
  if (error != 0) return 0;
  Require(result == (expected.result ? VARIANT_TRUE : VARIANT_FALSE), "the result says whether attributes follow");
  Require(tagname.view() == expected.tagname, "the tag name is the text before the first blank");
  Require(strbuf.view() == expected.strbuf, "strbuf holds the last item");
  return 0;
}
