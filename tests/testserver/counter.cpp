#include "tests/testserver/counter.h"

#include <string>

#include <ostrel/com/com_object.h>
#include <ostrel/com/dispatch.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/server.h>

namespace {

using ostrel::com::Guard;

class Counter final : public ostrel::com::DispatchObject<Counter, _Counter> {
 public:
  static const ostrel::com::DispatchTable<Counter>& Members() {
    static const ostrel::com::DispatchTable<Counter> table{
        ostrel::com::Member<Counter, &_Counter::Bump>(u"Bump", u"step"),
        ostrel::com::Member<Counter, &_Counter::Append>(u"Append", u"text", u"suffix"),
        ostrel::com::Member<Counter, &_Counter::BumpOther>(u"BumpOther", u"other", u"step"),
    };
    return table;
  }

  HRESULT Bump(int16_t* step, int16_t* result) override {
    return Guard([&] {
      const int total = count_ + *step;
      if (total > 32767) ostrel::com::Raise(ostrel::com::errnum::kOverflow);
      count_ = static_cast<int16_t>(total);
      *result = count_;
    });
  }

  HRESULT Append(BSTR* text, BSTR* suffix, VARIANT_BOOL* result) override {
    return Guard([&] {
      const std::u16string joined = std::u16string(ostrel::com::View(*text)) + std::u16string(ostrel::com::View(*suffix));
      *result = ToVariantBool(joined.size() > SysStringLen(*text));
      SysFreeString(*text);
      *text = SysAllocString(joined);
    });
  }

  HRESULT BumpOther(_Counter** other, int16_t* step) override {
    return Guard([&] {
      if (!*other) ostrel::com::Raise(ostrel::com::errnum::kObjectNotSet);
      int16_t ignored;
      ostrel::com::Check((*other)->Bump(step, &ignored));
    });
  }

 private:
  int16_t count_ = 0;
};

constexpr ostrel::com::ServerClass kClasses[] = {
    {"Counter", counter::kCounterId, _Counter::iid, ostrel::com::CreateComObject<ostrel::com::ClassFactory<Counter>>}};
constexpr ostrel::com::ServerDescription kServer{"CounterServer", "Counter test server", counter::kTypeLibraryId, 1, 0,
                                              kClasses, "Apartment"};

}  // namespace

COM_SERVER_ENTRY_POINTS(kServer)
