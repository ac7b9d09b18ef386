#include <ostrel/com/collection.h>

#include <algorithm>
#include <string>
#include <typeinfo>
#include <unordered_set>
#include <vector>

#include <ostrel/com/com_object.h>
#include <ostrel/com/dispatch.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/text.h>
#include <ostrel/com/keys.h>

namespace ostrel::com {
namespace {

// A key or a position may come by reference, as a caller's own variable;
// the copy borrows any text of ARGUMENT.
VARIANT ByValue(VARIANT& argument) {
  VARIANT value = dispatch_detail::Target(argument);
  switch (value.vt) {
    case VT_BYREF | VT_BSTR: value.bstrVal = *value.pbstrVal; break;
    case VT_BYREF | VT_I2: value.iVal = *value.piVal; break;
    case VT_BYREF | VT_I4: value.lVal = *value.plVal; break;
    default: return value;
  }
  value.vt = static_cast<uint16_t>(value.vt & ~VT_BYREF);
  return value;
}

// A text of the runtime's own kind that only the list writes to, so the
// list knows how much its block holds: a list filled and emptied for every
// tag refills the same blocks without asking the allocator.
class ReusedText {
 public:
  void Assign(std::u16string_view text) {
    if (text.size() <= room_ && text_.get()) {
      OverwriteString(text_.get(), text);
      return;
    }
    text_.Assign(text);
    room_ = text.size();  // longer than any text before, so the block holds it
  }
  std::u16string_view view() const { return text_.view(); }

 private:
  Bstr text_;
  std::size_t room_ = 0;  // units the block holds at least
};

struct Entry {
  ReusedText value;
  ReusedText key;
  bool hasKey;
};

class CollectionObject final : public DispatchObject<CollectionObject, Collection>, public CollectionFiller {
 public:
  static const DispatchTable<CollectionObject>& Members() {
    static const DispatchTable<CollectionObject> table{
        Member<CollectionObject, &Collection::Add>(u"Add", u"item", u"key"),
        Member<CollectionObject, &Collection::Item>(u"Item", u"index"),
        Member<CollectionObject, &Collection::Count>(u"Count"),
        Member<CollectionObject, &Collection::Remove>(u"Remove", u"index"),
        Member<CollectionObject, &Collection::Key>(u"Key", u"position"),
    };
    return table;
  }

  HRESULT Add(BSTR* item, VARIANT* key) override {
    if (AnyNull(item, key)) return E_POINTER;
    return Guard([&] {
      const VARIANT keyValue = ByValue(*key);
      if (keyValue.vt == VT_EMPTY) {
        Index(Append(View(*item), {}, false));
        return;
      }
      if (keyValue.vt != VT_BSTR) Raise(errnum::kTypeMismatch);
      Add(View(*item), View(keyValue.bstrVal));
    });
  }

  void Add(std::u16string_view item, std::u16string_view key) override {
    if (FindKey(key) != count_) Raise(errnum::kDuplicateKey);
    Index(Append(item, key, true));
  }

  // The entries' storage stays for the next Add, as after Remove.
  void Clear() override {
    count_ = 0;
    Unindex();
  }

  std::span<const EntryView> Views() {
    views_.resize(count_);
    for (size_t i = 0; i < count_; ++i) views_[i] = {entries_[i].key.view(), entries_[i].value.view()};
    return views_;
  }

  HRESULT Item(VARIANT* index, BSTR* result) override {
    if (AnyNull(index, result)) return E_POINTER;
    return Guard([&] { *result = SysAllocString(entries_[Locate(*index)].value.view()); });
  }

  HRESULT Count(int32_t* result) override {
    if (AnyNull(result)) return E_POINTER;
    *result = static_cast<int32_t>(count_);
    return S_OK;
  }

  HRESULT Remove(VARIANT* index) override {
    if (AnyNull(index)) return E_POINTER;
    return Guard([&] {
      const auto entry = entries_.begin() + static_cast<std::ptrdiff_t>(Locate(*index));
      if (indexed_ && entry->hasKey) foldedKeys_.erase(FoldedKey(entry->key.view()));
      // The entry moves behind the live ones, where its storage waits for
      // the next Add: a list filled and emptied for every tag of a file
      // then allocates nothing.
      std::rotate(entry, entry + 1, entries_.begin() + static_cast<std::ptrdiff_t>(count_));
      if (--count_ == 0) Unindex();
    });
  }

  HRESULT Key(int32_t* position, BSTR* result) override {
    if (AnyNull(position, result)) return E_POINTER;
    return Guard([&] { *result = SysAllocString(entries_[ByPosition(*position)].key.view()); });
  }

 private:
  // Once the list is indexed, a key that is not there costs no scan.
  size_t FindKey(std::u16string_view key) const {
    if (indexed_ && !foldedKeys_.contains(FoldedKey(key))) return count_;
    for (size_t i = 0; i < count_; ++i) {
      if (entries_[i].hasKey && KeysEqual(entries_[i].key.view(), key)) return i;
    }
    return count_;
  }

  size_t ByPosition(int64_t position) const {
    if (position < 1 || position > static_cast<int64_t>(count_)) Raise(errnum::kSubscriptOutOfRange);
    return static_cast<size_t>(position - 1);
  }

  // The 0-based place of the entry an index (position or key) names.
  size_t Locate(VARIANT& index) const {
    const VARIANT value = ByValue(index);
    switch (value.vt) {
      case VT_I2: return ByPosition(value.iVal);
      case VT_I4: return ByPosition(value.lVal);
      case VT_BSTR: {
        const size_t found = FindKey(View(value.bstrVal));
        if (found == count_) Raise(errnum::kInvalidArgument);
        return found;
      }
      default: Raise(errnum::kTypeMismatch);
    }
  }

  // Keeps the index up to date after ENTRY was added; the index starts when
  // the list reaches kIndexedFrom entries. A short list, as most are, has
  // none: that test stays where the call is.
  void Index(const Entry& entry) {
    if (indexed_ || count_ == kIndexedFrom) IndexLongList(entry);
  }

  __attribute__((noinline)) void IndexLongList(const Entry& entry) {
    if (indexed_) {
      if (entry.hasKey) foldedKeys_.insert(FoldedKey(entry.key.view()));
    } else if (count_ == kIndexedFrom) {
      for (size_t i = 0; i < count_; ++i) {
        if (entries_[i].hasKey) foldedKeys_.insert(FoldedKey(entries_[i].key.view()));
      }
      indexed_ = true;
    }
  }

  // Clearing even an empty set wipes its buckets, and the reader empties
  // its list after every tag.
  void Unindex() {
    if (!indexed_) return;
    foldedKeys_.clear();
    indexed_ = false;
  }

  // A short list, as attribute lists usually are, is searched faster by a
  // scan than through a set; a tag with thousands of attributes must not
  // cost a scan of all the earlier ones per attribute.
  static constexpr size_t kIndexedFrom = 16;

  const Entry& Append(std::u16string_view value, std::u16string_view key, bool hasKey) {
    if (count_ == entries_.size()) entries_.emplace_back();
    Entry& entry = entries_[count_];
    entry.value.Assign(value);
    entry.key.Assign(key);
    entry.hasKey = hasKey;
    ++count_;
    return entry;
  }

  std::vector<Entry> entries_;  // the first count_ are the list; the rest keep storage
  std::vector<EntryView> views_;  // of the entries, as Views last made them
  size_t count_ = 0;
  bool indexed_ = false;
  std::unordered_set<std::u16string> foldedKeys_;  // the keys of entries_, case folded
};

}  // namespace

ComPtr<Collection> NewCollection() {
  CollectionFiller* filler = nullptr;
  return NewCollection(filler);
}

// A handler asks this at every tag. The list's exact type is compared, a
// look at its vtable, where a cast would search the whole class hierarchy.
bool ViewEntries(Collection& list, std::span<const EntryView>* entries) {
  if (typeid(list) != typeid(CollectionObject)) return false;
  *entries = static_cast<CollectionObject&>(list).Views();
  return true;
}

ComPtr<Collection> NewCollection(CollectionFiller*& filler) {
  ComPtr<Collection> collection;
  Check(CreateComObject<CollectionObject>(Collection::iid, collection.ReceiveVoid()));
  filler = static_cast<CollectionObject*>(collection.get());
  return collection;
}

}  // namespace ostrel::com
