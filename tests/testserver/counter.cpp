#include "tests/testserver/counter.h"

#include <string>

#include "platform/com_object.h"
#include "platform/dispatch.h"
#include "platform/error_info.h"
#include "platform/server.h"

namespace {

using platform::Guard;

class Counter final : public platform::DispatchObject<Counter, _Counter> {
 public:
  static const platform::DispatchTable<Counter>& Members() {
    static const platform::DispatchTable<Counter> table{
        platform::Member<Counter, &_Counter::Bump>(u"Bump", u"step"),
        platform::Member<Counter, &_Counter::Append>(u"Append", u"text", u"suffix"),
        platform::Member<Counter, &_Counter::BumpOther>(u"BumpOther", u"other", u"step"),
    };
    return table;
  }

  HRESULT Bump(int16_t* step, int16_t* result) override {
    return Guard([&] {
      const int total = count_ + *step;
      if (total > 32767) platform::Raise(platform::errnum::kOverflow);
      count_ = static_cast<int16_t>(total);
      *result = count_;
    });
  }

  HRESULT Append(BSTR* text, BSTR* suffix, VARIANT_BOOL* result) override {
    return Guard([&] {
      const std::u16string joined = std::u16string(platform::View(*text)) + std::u16string(platform::View(*suffix));
      *result = ToVariantBool(joined.size() > SysStringLen(*text));
      SysFreeString(*text);
      *text = SysAllocString(joined);
    });
  }

  HRESULT BumpOther(_Counter** other, int16_t* step) override {
    return Guard([&] {
      if (!*other) platform::Raise(platform::errnum::kObjectNotSet);
      int16_t ignored;
      platform::Check((*other)->Bump(step, &ignored));
    });
  }

 private:
  int16_t count_ = 0;
};

constexpr platform::ServerClass kClasses[] = {
    {"Counter", counter::kCounterId, _Counter::iid, platform::CreateComObject<platform::ClassFactory<Counter>>}};
constexpr platform::ServerDescription kServer{"CounterServer", "Counter test server", counter::kTypeLibraryId, 1, 0,
                                              kClasses, "Apartment"};

}  // namespace

COM_SERVER_ENTRY_POINTS(kServer)
