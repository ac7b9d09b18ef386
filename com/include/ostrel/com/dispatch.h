// Late binding: IDispatch's four operations for a class, from a table that
// names each operation and its arguments.
//
//   class CThing : public ostrel::com::DispatchObject<CThing, _CThing> {
//     static const ostrel::com::DispatchTable<CThing>& Members() {
//       static const ostrel::com::DispatchTable<CThing> table{
//           ostrel::com::Member<CThing, &_CThing::Open>(u"Open", u"filename")};
//       return table;
//     }
//   };
//
// Invoke converts each positional argument to the operation's parameter type.
// A by-reference argument of that very type is handed on as it is, so the
// callee reads and writes the caller's variable, exactly as a call through the
// interface's slot would; any other value is converted into a temporary.
// When the operation has one parameter more than it has names, the last one
// is its result. GetTypeInfo(0) describes the table's operations
// (type_info.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "com.h"
#include "com_object.h"
#include "com_ptr.h"
#include "error_info.h"
#include "export.h"
#include "runtime_error.h"
#include "type_info.h"

namespace ostrel::com {

template <class Self>
struct DispatchMember {
  std::u16string_view name;
  std::vector<std::u16string_view> argumentNames;
  HRESULT (*invoke)(Self* self, DISPPARAMS* params, VARIANT* result);
  std::vector<TYPEDESC> argumentTypes;
  TYPEDESC resultType;
};

template <class Self>
using DispatchTable = std::vector<DispatchMember<Self>>;

// The names of one member of a table: the operation's and its arguments'.
struct MemberNames {
  std::u16string_view name;
  std::span<const std::u16string_view> arguments;
};

// Case-insensitive lookup of NAMES[0] among MEMBERS (id = index + 1) and of
// NAMES[1..] among that member's argument names (id = position).
OSTREL_COM_API HRESULT FindDispatchIds(std::span<const MemberNames> members, const char16_t* const* names,
                                       uint32_t count, int32_t* ids);

namespace dispatch_detail {

// The variant a by-reference or by-value argument finally stands for.
OSTREL_COM_API VARIANT& Target(VARIANT& argument);

// True when ARGUMENT, or a variant it refers to, is a reference through a
// null pointer.
OSTREL_COM_API bool ReachesNull(const VARIANT& argument);

// Converters from a variant argument to a parameter pointer. Each keeps the
// temporary it needs alive for the length of the call, and may point into it,
// so none can be copied.
class Pinned {
 public:
  Pinned() = default;
  Pinned(const Pinned&) = delete;
  Pinned& operator=(const Pinned&) = delete;
};

template <class P>
class Argument;

template <>
class Argument<BSTR> : Pinned {
 public:
  OSTREL_COM_API explicit Argument(VARIANT& argument);
  ~Argument() { SysFreeString(temporary_); }
  BSTR* get() { return pointer_; }

 private:
  BSTR temporary_ = nullptr;
  BSTR* pointer_;
};

template <>
class Argument<int16_t> : Pinned {
 public:
  OSTREL_COM_API explicit Argument(VARIANT& argument);
  int16_t* get() { return pointer_; }

 private:
  int16_t temporary_ = 0;
  int16_t* pointer_;
};

template <>
class Argument<int32_t> : Pinned {
 public:
  OSTREL_COM_API explicit Argument(VARIANT& argument);
  int32_t* get() { return pointer_; }

 private:
  int32_t temporary_ = 0;
  int32_t* pointer_;
};

template <>
class Argument<VARIANT_BOOL> : Pinned {
 public:
  OSTREL_COM_API explicit Argument(VARIANT& argument);
  VARIANT_BOOL* get() { return pointer_; }

 private:
  VARIANT_BOOL temporary_ = VARIANT_FALSE;
  VARIANT_BOOL* pointer_;
};

template <>
class Argument<VARIANT> : Pinned {
 public:
  explicit Argument(VARIANT& argument) : pointer_(&Target(argument)) {}
  VARIANT* get() { return pointer_; }

 private:
  VARIANT* pointer_;
};

// The object held by a variant (null for an empty variant); raises 13 for a
// value that is not an object.
OSTREL_COM_API IDispatch* ObjectOf(VARIANT& argument);

// An interface argument: the object asked for interface I (null stays null;
// an object without I raises 13).
template <class I>
class Argument<I*> : Pinned {
 public:
  explicit Argument(VARIANT& argument) {
    IDispatch* object = ObjectOf(argument);
    if (!object) return;
    held_ = ComPtr<IDispatch>::Share(object).template As<I>();
    if (!held_) Raise(errnum::kTypeMismatch);
  }
  I** get() { return held_.Address(); }

 private:
  ComPtr<I> held_;
};

OSTREL_COM_API void StoreResult(BSTR value, VARIANT* result);
OSTREL_COM_API void StoreResult(int16_t value, VARIANT* result);
OSTREL_COM_API void StoreResult(int32_t value, VARIANT* result);
OSTREL_COM_API void StoreResult(VARIANT_BOOL value, VARIANT* result);
OSTREL_COM_API void StoreResult(IDispatch* value, VARIANT* result);  // takes over the reference

template <class R>
void StoreResultOf(R value, VARIANT* result) {
  if constexpr (std::is_base_of_v<IDispatch, std::remove_pointer_t<R>>) {
    StoreResult(static_cast<IDispatch*>(value), result);
  } else {
    StoreResult(value, result);
  }
}

// The type a parameter of type P* stands for in the type information.
template <class P>
constexpr TYPEDESC TypeOf() {
  if constexpr (std::is_same_v<P, BSTR>) return {VT_BSTR, nullptr};
  else if constexpr (std::is_same_v<P, int16_t>) return {VT_I2, nullptr};
  else if constexpr (std::is_same_v<P, int32_t>) return {VT_I4, nullptr};
  else if constexpr (std::is_same_v<P, VARIANT_BOOL>) return {VT_BOOL, nullptr};
  else if constexpr (std::is_same_v<P, VARIANT>) return {VT_VARIANT, nullptr};
  else if constexpr (std::is_same_v<P, IDispatch*>) return {VT_DISPATCH, nullptr};
  else return {VT_DISPATCH, &std::remove_pointer_t<P>::iid};
}

template <class Method>
struct MethodTraits;

template <class I, class... P>
struct MethodTraits<HRESULT (I::*)(P*...)> {
  using Interface = I;
  using Parameters = std::tuple<P...>;
  static constexpr std::size_t arity = sizeof...(P);
  static constexpr TYPEDESC types[] = {TypeOf<P>()..., {VT_EMPTY, nullptr}};
};

template <class Self, auto Method, std::size_t Named, std::size_t... Index>
HRESULT InvokeWith(Self* self, DISPPARAMS* params, VARIANT* result, std::index_sequence<Index...>) {
  using Traits = MethodTraits<decltype(Method)>;
  using Interface = typename Traits::Interface;
  using Parameters = typename Traits::Parameters;
  if (AnyNull(params) || (params->count != 0 && AnyNull(params->args))) return E_POINTER;
  if (params->count != Named) return DISP_E_BADPARAMCOUNT;
  if ((ReachesNull(params->args[Index]) || ...)) return E_POINTER;
  HRESULT status = S_OK;
  const HRESULT guard = Guard([&] {
    // Built in place: an argument may point into its own temporary.
    std::tuple<Argument<std::tuple_element_t<Index, Parameters>>...> arguments(params->args[Index]...);
    Interface* target = self;
    if constexpr (Traits::arity == Named) {
      status = (target->*Method)(std::get<Index>(arguments).get()...);
    } else {
      using R = std::tuple_element_t<Named, Parameters>;
      R value{};
      status = (target->*Method)(std::get<Index>(arguments).get()..., &value);
      if (!Failed(status) && result) StoreResultOf(value, result);
      else if constexpr (std::is_same_v<R, BSTR>) SysFreeString(value);
    }
  });
  return Failed(guard) ? guard : status;
}

}  // namespace dispatch_detail

template <class Self, auto Method, class... Names>
DispatchMember<Self> Member(std::u16string_view name, Names... argumentNames) {
  using Traits = dispatch_detail::MethodTraits<decltype(Method)>;
  constexpr std::size_t named = sizeof...(Names);
  static_assert(Traits::arity == named || Traits::arity == named + 1,
                "name every argument; only the result may go unnamed");
  return {name,
          {std::u16string_view(argumentNames)...},
          [](Self* self, DISPPARAMS* params, VARIANT* result) {
            return dispatch_detail::InvokeWith<Self, Method, named>(
                self, params, result, std::make_index_sequence<named>{});
          },
          {Traits::types, Traits::types + named},
          Traits::types[named]};
}

// The type information of a class's table; it holds the server while it is
// held, so the table it points into stays.
template <class Self>
class TableTypeInfo final : public ComObject<ITypeInfo> {
 public:
  HRESULT GetFuncCount(uint32_t* count) override {
    if (AnyNull(count)) return E_POINTER;
    *count = static_cast<uint32_t>(Descriptions().size());
    return S_OK;
  }
  HRESULT GetFuncDesc(uint32_t index, const FUNCDESC** desc) override {
    if (AnyNull(desc)) return E_POINTER;
    if (index >= Descriptions().size()) return DISP_E_BADINDEX;
    *desc = &Descriptions()[index];
    return S_OK;
  }
  HRESULT GetNames(int32_t memid, BSTR* names, uint32_t max, uint32_t* count) override {
    if (AnyNull(names, count)) return E_POINTER;
    const auto& members = Self::Members();
    if (memid < 1 || static_cast<std::size_t>(memid) > members.size()) return DISP_E_MEMBERNOTFOUND;
    const DispatchMember<Self>& member = members[memid - 1];
    *count = 0;
    if (*count < max) names[(*count)++] = SysAllocString(member.name);
    for (std::u16string_view argument : member.argumentNames) {
      if (*count < max) names[(*count)++] = SysAllocString(argument);
    }
    return S_OK;
  }

 private:
  static const std::vector<FUNCDESC>& Descriptions() {
    static const std::vector<FUNCDESC> descriptions = [] {
      std::vector<FUNCDESC> all;
      int32_t memid = 0;
      for (const auto& member : Self::Members()) {
        all.push_back({++memid, static_cast<uint32_t>(member.argumentTypes.size()), member.argumentTypes.data(),
                       member.resultType});
      }
      return all;
    }();
    return descriptions;
  }
};

template <class Self, class... Interfaces>
class DispatchObject : public ComObject<Interfaces...> {
 public:
  HRESULT GetTypeInfoCount(uint32_t* count) override {
    if (AnyNull(count)) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT GetTypeInfo(uint32_t index, void** typeInfo) override {
    if (AnyNull(typeInfo)) return E_POINTER;
    *typeInfo = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return CreateComObject<TableTypeInfo<Self>>(ITypeInfo::iid, typeInfo);
  }
  HRESULT GetIDsOfNames(const char16_t* const* names, uint32_t count, int32_t* ids) override {
    static const std::vector<MemberNames> index = NameIndex();
    return FindDispatchIds(index, names, count, ids);
  }
  HRESULT Invoke(int32_t id, DISPPARAMS* params, VARIANT* result) override {
    const auto& members = Self::Members();
    if (id < 1 || static_cast<std::size_t>(id) > members.size()) return DISP_E_MEMBERNOTFOUND;
    return members[id - 1].invoke(static_cast<Self*>(this), params, result);
  }

 private:
  // Views into the class's table, which lasts as long as the program.
  static std::vector<MemberNames> NameIndex() {
    std::vector<MemberNames> index;
    for (const auto& member : Self::Members()) index.push_back({member.name, member.argumentNames});
    return index;
  }
};

}  // namespace ostrel::com
