// Late binding: a call by name has the same effect as the call through the
// interface's slot, by-reference arguments included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ostrel/com/com_runtime.h>
#include <ostrel/com/runtime_error.h>
#include <ostrel/com/type_info.h>
#include "tests/com/scratch_registry.h"
#include "tests/testserver/counter.h"

namespace {

using ostrel::com::Bstr;
using ostrel::com::ComPtr;

VARIANT ByRef(BSTR* text) {
  VARIANT value;
  value.vt = VT_BYREF | VT_BSTR;
  value.pbstrVal = text;
  return value;
}

VARIANT Short(int16_t number) {
  VARIANT value;
  value.vt = VT_I2;
  value.iVal = number;
  return value;
}

class LateBinding : public ScratchRegistry {
 protected:
  void SetUp() override {
    ScratchRegistry::SetUp();
    ASSERT_EQ(RegisterCounterServer(), 0);
    counter_ = ostrel::com::CreateObject<_Counter>(counter::kCounterId);
    dispatch_ = counter_.As<IDispatch>();
  }
  ComPtr<_Counter> counter_;
  ComPtr<IDispatch> dispatch_;
};

TEST_F(LateBinding, ByReferenceTextIsChangedInTheCallersVariable) {
  Bstr text(u"ab"), suffix(u"cd");
  VARIANT arguments[] = {ByRef(text.Address()), ByRef(suffix.Address())};
  VARIANT result = ostrel::com::CallByName(dispatch_.get(), u"APPEND", arguments, 2);
  EXPECT_EQ(result.vt, VT_BOOL);
  EXPECT_EQ(result.boolVal, VARIANT_TRUE);
  EXPECT_EQ(text.view(), u"abcd");

  VARIANT_BOOL grew;
  ASSERT_EQ(counter_->Append(text.Address(), suffix.Address(), &grew), S_OK);
  EXPECT_EQ(text.view(), u"abcdcd");  // the slot call does the same
}

TEST_F(LateBinding, ResultsAndStateMatchSlotCalls) {
  VARIANT step = Short(5);
  VARIANT result = ostrel::com::CallByName(dispatch_.get(), u"Bump", &step, 1);
  EXPECT_EQ(result.vt, VT_I2);
  EXPECT_EQ(result.iVal, 5);
  int16_t slotStep = 1, slotResult = 0;
  ASSERT_EQ(counter_->Bump(&slotStep, &slotResult), S_OK);
  EXPECT_EQ(slotResult, 6);
}

TEST_F(LateBinding, AnIntegerTooWideForTheParameterOverflows) {
  VARIANT step;
  step.vt = VT_I4;
  step.lVal = 40000;
  try {
    ostrel::com::CallByName(dispatch_.get(), u"Bump", &step, 1);
    FAIL() << "no error";
  } catch (const ostrel::com::RuntimeError& error) {
    EXPECT_EQ(error.number(), 6);
  }
}

TEST_F(LateBinding, ErrorsRaisedInsideReachTheCallerWithTheirNumber) {
  VARIANT step = Short(32767);
  ostrel::com::CallByName(dispatch_.get(), u"Bump", &step, 1);
  try {
    ostrel::com::CallByName(dispatch_.get(), u"Bump", &step, 1);
    FAIL() << "no error";
  } catch (const ostrel::com::RuntimeError& error) {
    EXPECT_EQ(error.number(), 6);
    EXPECT_EQ(error.description(), ostrel::com::StandardDescription(6));
  }
}

TEST_F(LateBinding, ObjectArgumentsAreAskedForTheirInterface) {
  auto other = ostrel::com::CreateObject<_Counter>(counter::kCounterId);
  VARIANT arguments[2];
  arguments[0].vt = VT_DISPATCH;
  arguments[0].pdispVal = other.As<IDispatch>().get();
  arguments[1] = Short(3);
  ostrel::com::CallByName(dispatch_.get(), u"BumpOther", arguments, 2);
  int16_t none = 0, total = 0;
  ASSERT_EQ(other->Bump(&none, &total), S_OK);
  EXPECT_EQ(total, 3);

  VARIANT empty[2];
  VariantInit(&empty[0]);
  empty[1] = Short(1);
  EXPECT_THROW(ostrel::com::CallByName(dispatch_.get(), u"BumpOther", empty, 2), ostrel::com::RuntimeError);
}

TEST_F(LateBinding, UnknownNamesAndWrongCountsAreRefused) {
  const char16_t* names[] = {u"Nothing"};
  int32_t id;
  EXPECT_EQ(dispatch_->GetIDsOfNames(names, 1, &id), DISP_E_UNKNOWNNAME);
  const char16_t* withArgument[] = {u"append", u"SUFFIX"};
  int32_t ids[2];
  ASSERT_EQ(dispatch_->GetIDsOfNames(withArgument, 2, ids), S_OK);
  EXPECT_EQ(ids[1], 1);
  DISPPARAMS none{nullptr, 0};
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(dispatch_->Invoke(ids[0], &none, &result), DISP_E_BADPARAMCOUNT);
}

}  // namespace

// What a binding shows of an operation (its signature) and checks before a
// call comes from here, so each operation must be described as declared.
TEST_F(LateBinding, TypeInformationDescribesEachOperationAsDeclared) {
  uint32_t infos = 0;
  ASSERT_EQ(dispatch_->GetTypeInfoCount(&infos), S_OK);
  ASSERT_EQ(infos, 1u);
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(dispatch_->GetTypeInfo(1, info.ReceiveVoid()), DISP_E_BADINDEX);
  ASSERT_EQ(dispatch_->GetTypeInfo(0, info.ReceiveVoid()), S_OK);

  struct Expected {
    std::vector<std::u16string> names;  // the operation's, then its arguments'
    std::vector<uint16_t> types;        // the arguments'
    uint16_t result;
    const IID* objectInterface;         // of the one VT_DISPATCH argument
  };
  const Expected expected[] = {
      {{u"Bump", u"step"}, {VT_I2}, VT_I2, nullptr},
      {{u"Append", u"text", u"suffix"}, {VT_BSTR, VT_BSTR}, VT_BOOL, nullptr},
      {{u"BumpOther", u"other", u"step"}, {VT_DISPATCH, VT_I2}, VT_EMPTY, &_Counter::iid},
  };
  uint32_t count = 0;
  ASSERT_EQ(info->GetFuncCount(&count), S_OK);
  ASSERT_EQ(count, std::size(expected));
  for (uint32_t index = 0; index < count; ++index) {
    const Expected& want = expected[index];
    const FUNCDESC* desc = nullptr;
    ASSERT_EQ(info->GetFuncDesc(index, &desc), S_OK);
    BSTR names[4] = {};
    uint32_t named = 0;
    ASSERT_EQ(info->GetNames(desc->memid, names, 4, &named), S_OK);
    std::vector<std::u16string> got;
    for (uint32_t n = 0; n < named; ++n) {
      got.emplace_back(ostrel::com::View(names[n]));
      SysFreeString(names[n]);
    }
    EXPECT_EQ(got, want.names) << index;
    // The id is the one a call by name uses.
    const std::u16string name = want.names[0];
    const char16_t* lookup[] = {name.c_str()};
    int32_t id = 0;
    ASSERT_EQ(dispatch_->GetIDsOfNames(lookup, 1, &id), S_OK);
    EXPECT_EQ(desc->memid, id) << index;
    ASSERT_EQ(desc->cParams, want.types.size()) << index;
    for (uint32_t p = 0; p < desc->cParams; ++p) {
      EXPECT_EQ(desc->params[p].vt, want.types[p]) << index << " " << p;
      if (desc->params[p].vt == VT_DISPATCH) {
        ASSERT_NE(desc->params[p].iid, nullptr);
        EXPECT_EQ(*desc->params[p].iid, *want.objectInterface);
      }
    }
    EXPECT_EQ(desc->result.vt, want.result) << index;
  }
  const FUNCDESC* beyond = nullptr;
  EXPECT_EQ(info->GetFuncDesc(count, &beyond), DISP_E_BADINDEX);
  BSTR name = nullptr;
  uint32_t named = 0;
  EXPECT_EQ(info->GetNames(0, &name, 1, &named), DISP_E_MEMBERNOTFOUND);
}
