// Null argument pointers at the component boundary: every operation of every
// interface answers E_POINTER, called through its slot or late-bound, and
// changes nothing.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <ostrel/com/collection.h>
#include <ostrel/com/com_ptr.h>
#include "tests/xmllib/xml_test_support.h"
#include "xmllib/handler.h"
#include "xmllib/reader.h"
#include "xmllib/writer.h"

namespace {

using ostrel::com::Bstr;
using ostrel::com::ComPtr;

template <class I, class... P, std::size_t... Index>
void ExpectEachNullRefused(I& object, HRESULT (I::*method)(P*...), const std::string& name,
                           std::index_sequence<Index...>) {
  for (std::size_t nullAt = 0; nullAt < sizeof...(P); ++nullAt) {
    std::tuple<P...> values{};  // empty texts, zeros, empty variants, no objects
    EXPECT_EQ((object.*method)((Index == nullAt ? nullptr : &std::get<Index>(values))...), E_POINTER)
        << name << ", argument " << nullAt + 1 << " null";
  }
}

// Calls METHOD once for each of its arguments, that one null and every other
// one pointing at a zero value.
template <class I, class... P>
void ExpectEachNullRefused(I& object, HRESULT (I::*method)(P*...), const std::string& name) {
  ExpectEachNullRefused(object, method, name, std::index_sequence_for<P...>{});
}

// What IUnknown and IDispatch take by pointer, of any object.
void ExpectDispatchRefusesNulls(IDispatch& object, const std::string& name) {
  void* found = nullptr;
  EXPECT_EQ(object.QueryInterface(IDispatch::iid, nullptr), E_POINTER) << name;
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(object.GetTypeInfoCount(nullptr), E_POINTER) << name;
  EXPECT_EQ(object.GetTypeInfo(0, nullptr), E_POINTER) << name;
  const char16_t* noName[] = {nullptr};
  const char16_t* someName[] = {u"x"};
  int32_t id = 0;
  EXPECT_EQ(object.GetIDsOfNames(nullptr, 1, &id), E_POINTER) << name;
  EXPECT_EQ(object.GetIDsOfNames(noName, 1, &id), E_POINTER) << name;
  EXPECT_EQ(object.GetIDsOfNames(someName, 1, nullptr), E_POINTER) << name;
}

// Each member late-bound: no parameter block, no argument list, and each
// argument in turn a by-reference variant through a null pointer.
void ExpectInvokeRefusesNulls(IDispatch& object, const std::string& name) {
  constexpr uint32_t kMostArguments = 6;
  int members = 0;
  for (int32_t id = 1; object.Invoke(id, nullptr, nullptr) != DISP_E_MEMBERNOTFOUND; ++id) {
    ++members;
    EXPECT_EQ(object.Invoke(id, nullptr, nullptr), E_POINTER) << name << " member " << id;
    DISPPARAMS noList{nullptr, 1};
    EXPECT_EQ(object.Invoke(id, &noList, nullptr), E_POINTER) << name << " member " << id;
    for (uint32_t count = 1; count <= kMostArguments; ++count) {
      for (uint32_t nullAt = 0; nullAt < count; ++nullAt) {
        std::vector<VARIANT> arguments(count);
        for (VARIANT& argument : arguments) VariantInit(&argument);
        arguments[nullAt].vt = VT_BYREF | VT_VARIANT;
        DISPPARAMS params{arguments.data(), count};
        const HRESULT status = object.Invoke(id, &params, nullptr);
        if (status != DISP_E_BADPARAMCOUNT) {
          EXPECT_EQ(status, E_POINTER) << name << " member " << id << " of " << count;
        }
      }
    }
  }
  EXPECT_GT(members, 0) << name;
}

class NullArgumentTest : public ostrel_test::XmlFileTest {};

TEST_F(NullArgumentTest, EveryOperationOfEveryInterfaceRefusesEachNull) {
  const auto writer = ComPtr<ostrel::CXmlWriter>::Attach(new ostrel::CXmlWriter());
  ExpectEachNullRefused<_CXmlWriter>(*writer.get(), &_CXmlWriter::XmlOpen, "XmlOpen");
  ExpectEachNullRefused<_CXmlWriter>(*writer.get(), &_CXmlWriter::WriteComment, "WriteComment");
  ExpectEachNullRefused<_CXmlWriter>(*writer.get(), &_CXmlWriter::WriteSetEllement, "WriteSetEllement");
  ExpectEachNullRefused<_CXmlWriter>(*writer.get(), &_CXmlWriter::WriteOneEllement, "WriteOneEllement");
  ExpectEachNullRefused<_CXmlWriter>(*writer.get(), &_CXmlWriter::XmlClose, "XmlClose");

  const auto reader = ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  ExpectEachNullRefused<_CXmlReader>(*reader.get(), &_CXmlReader::setKeyList, "setKeyList");
  ExpectEachNullRefused<_CXmlReader>(*reader.get(), &_CXmlReader::SetData, "SetData");

  const auto handler = ComPtr<ostrel::IXmlHandler>::Attach(new ostrel::IXmlHandler());
  ExpectEachNullRefused<_IXmlHandler>(*handler.get(), &_IXmlHandler::ErrElement, "ErrElement");
  ExpectEachNullRefused<_IXmlHandler>(*handler.get(), &_IXmlHandler::StartElement, "StartElement");
  ExpectEachNullRefused<_IXmlHandler>(*handler.get(), &_IXmlHandler::EndElement, "EndElement");
  ExpectEachNullRefused<_IXmlHandler>(*handler.get(), &_IXmlHandler::contentData, "contentData");

  const ComPtr<Collection> list = ostrel::com::NewCollection();
  ExpectEachNullRefused<Collection>(*list.get(), &Collection::Add, "Add");
  ExpectEachNullRefused<Collection>(*list.get(), &Collection::Item, "Item");
  ExpectEachNullRefused<Collection>(*list.get(), &Collection::Count, "Count");
  ExpectEachNullRefused<Collection>(*list.get(), &Collection::Remove, "Remove");
  ExpectEachNullRefused<Collection>(*list.get(), &Collection::Key, "Key");

  const std::vector<std::pair<IDispatch*, std::string>> objects{
      {writer.get(), "CXmlWriter"}, {reader.get(), "CXmlReader"}, {handler.get(), "IXmlHandler"},
      {list.get(), "Collection"}};
  for (const auto& [object, name] : objects) {
    ExpectDispatchRefusesNulls(*object, name);
    ExpectInvokeRefusesNulls(*object, name);
  }
  EXPECT_EQ(messageBoxes, std::vector<ostrel_test::MessageBoxShown>{});
}

// A refused call must not have done part of its work first.
TEST_F(NullArgumentTest, RefusedCallsLeaveEverythingAsItWas) {
  const auto writer = ComPtr<ostrel::CXmlWriter>::Attach(new ostrel::CXmlWriter());
  Bstr name(PathOf("refused.xml"));
  EXPECT_EQ(writer->XmlOpen(name.Address(), nullptr), E_POINTER);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "refused.xml"));

  const auto reader = ComPtr<ostrel::CXmlReader>::Attach(new ostrel::CXmlReader());
  Bstr strbuf(u"a x=1");
  Bstr tagname;
  const ComPtr<Collection> list = ostrel::com::NewCollection();
  Collection* keylist = list.get();
  EXPECT_EQ(reader->setKeyList(strbuf.Address(), tagname.Address(), &keylist, nullptr), E_POINTER);
  EXPECT_EQ(strbuf.view(), u"a x=1");
  EXPECT_EQ(tagname.get(), nullptr);

  Bstr item(u"v");
  EXPECT_EQ(list->Add(item.Address(), nullptr), E_POINTER);
  int32_t count = -1;
  ASSERT_EQ(list->Count(&count), S_OK);
  EXPECT_EQ(count, 0);
}

}  // namespace
