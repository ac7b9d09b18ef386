// The objects an ostrel-call script works with: creation by ProgID, and the
// variables that hold objects by name.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <ostrel/com/com.h>
#include <ostrel/com/com_ptr.h>

namespace tools {

// "Collection" has no ProgID, since the platform provides it rather than a
// registered library, yet operations such as setKeyList need one: that name
// makes an empty Collection. Any other name goes through the registry and
// raises 429 when no class is registered under it.
constexpr std::u16string_view kCollectionProgId = u"Collection";
ostrel::com::ComPtr<IDispatch> CreateByProgId(std::u16string_view progId);

// Raises ScriptError for a name that is taken (by Add) or not held (by Find
// and Release).
class Variables {
 public:
  Variables() = default;
  Variables(const Variables&) = delete;
  Variables& operator=(const Variables&) = delete;
  ~Variables() { ReleaseAll(); }

  void Add(std::u16string name, ostrel::com::ComPtr<IDispatch> object);
  IDispatch* Find(std::u16string_view name) const;
  // Drops the variable's reference, which runs the object's Class_Terminate
  // when it was the last.
  void Release(std::u16string_view name);
  // In the order the variables were created, so a script's objects end as
  // they would had it released them one by one.
  void ReleaseAll();

  // The first variable that holds OBJECT, through whichever interface; null
  // when none does.
  const std::u16string* NameOf(IDispatch* object) const;

 private:
  // The position of variable NAME; raises ScriptError when none is held.
  size_t Require(std::u16string_view name) const;
  bool Holds(std::u16string_view name) const;

  std::vector<std::pair<std::u16string, ostrel::com::ComPtr<IDispatch>>> held_;
};

}  // namespace tools
