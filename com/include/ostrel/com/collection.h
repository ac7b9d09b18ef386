// Collection: an ordered list of texts with 1-based positions, in which each
// text may be filed under a key. Keys are compared without regard to case
// (ASCII and full-width Latin letters).
//
// It crosses the component boundary as an interface pointer. Errors: a key
// already present 457; a position out of range 9; a key not present 5.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "com.h"
#include "com_ptr.h"
#include "export.h"

struct Collection : IDispatch {
  static constexpr IID iid = {0x6E1C2A40, 0x3B7D, 0x4F15, {0x9C, 0x20, 0x51, 0xA4, 0x7E, 0x0B, 0x11, 0x01}};
  // KEY empty (VT_EMPTY) adds without a key.
  virtual HRESULT Add(BSTR* item, VARIANT* key) = 0;
  // INDEX is a position (16- or 32-bit integer) or a key (text).
  virtual HRESULT Item(VARIANT* index, BSTR* result) = 0;
  virtual HRESULT Count(int32_t* result) = 0;
  virtual HRESULT Remove(VARIANT* index) = 0;
  // The key of the entry at POSITION (empty text for an entry without one).
  virtual HRESULT Key(int32_t* position, BSTR* result) = 0;

 protected:
  ~Collection() = default;
};

namespace ostrel::com {

// How the maker of a list fills and empties it for every tag of a file: the
// rules of Add (457 for a key already present) without the conversions of a
// call through the interface. It lives as long as its list.
class CollectionFiller {
 public:
  virtual void Add(std::u16string_view item, std::u16string_view key) = 0;
  // Removes every entry.
  virtual void Clear() = 0;

 protected:
  ~CollectionFiller() = default;
};

OSTREL_COM_API ComPtr<Collection> NewCollection();
// A new list and, in FILLER, the way to fill it.
OSTREL_COM_API ComPtr<Collection> NewCollection(CollectionFiller*& filler);

// An entry's key (empty for an entry filed without one) and text.
struct EntryView {
  std::u16string_view key;
  std::u16string_view value;
};

// The entries of LIST in order, in *ENTRIES, as views that last until LIST
// changes: a handler that only looks at its list then makes no text per
// entry. False, leaving *ENTRIES alone, for a list that this runtime did not
// make.
OSTREL_COM_API bool ViewEntries(Collection& list, std::span<const EntryView>* entries);

}  // namespace ostrel::com
