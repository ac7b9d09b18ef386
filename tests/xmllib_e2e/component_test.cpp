// The registered library Ostrel, reached only through the component model:
// its registration, creation by class identifier, its entry points, and calls
// by name that behave as calls through the slots.
#include <dlfcn.h>

#include <string>
#include <vector>

#include <ostrel/com/com_runtime.h>
#include "com/registration_store.h"
#include "com/registry.h"
#include "com/registry_search.h"
#include "tests/xmllib/xml_test_support.h"

namespace {

using ostrel_test::RecordingHandler;
using ostrel::com::Bstr;
using ostrel::com::ComPtr;
using Calls = std::vector<std::string>;

VARIANT ByReference(BSTR* text) {
  VARIANT argument;
  argument.vt = VT_BYREF | VT_BSTR;
  argument.pbstrVal = text;
  return argument;
}

VARIANT ByReference(IDispatch** object) {
  VARIANT argument;
  argument.vt = VT_BYREF | VT_DISPATCH;
  argument.ppdispVal = object;
  return argument;
}

std::string LibraryFile() {
  const auto entry = ostrel::com::LookUpClass(ostrel::kCXmlReaderId);
  return entry ? entry->library : "";
}

class ComponentTest : public ostrel_test::XmlFileTest {
 protected:
  ComPtr<_CXmlReader> reader = ostrel::com::CreateObject<_CXmlReader>(ostrel::kCXmlReaderId);
};

// --- Registration and creation ---

// The build registers the library beside the programs, by a path relative to
// that registry, so the build tree can move.
TEST_F(ComponentTest, EveryClassIsRegisteredWithTheApartmentModelAndTheTypeLibrary) {
  const auto registry = ostrel::com::Registry::Load(std::string(OSTREL_BIN_DIR) + "/com-registry.d/" +
                                                    ostrel::com::RegistrationFileName(ostrel::kTypeLibraryId));
  for (const auto& [clsid, progId] : {std::pair{ostrel::kCXmlReaderId, "Ostrel.CXmlReader"},
                                      std::pair{ostrel::kIXmlHandlerId, "Ostrel.IXmlHandler"}}) {
    const auto entry = registry.FindClass(clsid);
    ASSERT_TRUE(entry) << progId;
    EXPECT_EQ(entry->progId, progId);
    EXPECT_EQ(entry->threadingModel, "Apartment");
    EXPECT_EQ(entry->typeLibrary, ostrel::kTypeLibraryId);
    EXPECT_TRUE(std::filesystem::exists(entry->library)) << entry->library;
    EXPECT_EQ(entry->library, std::string(OSTREL_BIN_DIR) + "/com-registry.d/../libOstrel.so.1");
  }
  ASSERT_FALSE(registry.classes().empty());
  EXPECT_EQ(registry.classes()[0].library, "../libOstrel.so.1");
  bool typeLibraryFound = false;
  for (const auto& library : registry.typeLibraries()) {
    if (library.id != ostrel::kTypeLibraryId) continue;
    typeLibraryFound = true;
    EXPECT_EQ(library.name, "Ostrel");
    EXPECT_EQ(library.major, 1);
    EXPECT_EQ(library.minor, 0);
  }
  EXPECT_TRUE(typeLibraryFound);
}

TEST_F(ComponentTest, EachClassIsCreatedByItsIdentifierWithItsDefaultInterface) {
  EXPECT_TRUE(reader);
  EXPECT_TRUE(reader.As<IDispatch>());
  const auto handler = ostrel::com::CreateObject<_IXmlHandler>(ostrel::kIXmlHandlerId);
  EXPECT_TRUE(handler);
  EXPECT_FALSE(handler.As<_CXmlReader>());
}

TEST_F(ComponentTest, ReaderReadsIntoTheCallersHandler) {
  auto handler = RecordingHandler::Create();
  Bstr filename(WriteLines("input.xml", {"<Memo>", "\t<sentence Title=\"t\">s</sentence>", "</Memo>"}));
  _IXmlHandler* handle = handler.get();
  int16_t result = 1;
  ASSERT_EQ(reader->SetData(filename.Address(), &handle, &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(handler->calls, (Calls{"StartElement(Memo)", "StartElement(sentence; Title=t)", "contentData(sentence, s)",
                                   "EndElement(sentence)", "EndElement(Memo)", "contentData(, )"}));
}

TEST_F(ComponentTest, ErrorOutOfSetDataCarriesItsNumberAndFreesTheSlot) {
  auto handler = RecordingHandler::Create();
  Bstr filename(WriteLines("input.xml", {"<a x=\"1\" x=\"2\">"}));
  _IXmlHandler* handle = handler.get();
  int16_t result = 1;
  const HRESULT status = reader->SetData(filename.Address(), &handle, &result);
  ASSERT_TRUE(Failed(status));
  EXPECT_EQ(ostrel::com::ErrorFromStatus(status).number(), ostrel::com::errnum::kDuplicateKey);
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
}

// --- Late binding ---

TEST_F(ComponentTest, SetDataByNameMakesTheSameCallsAsThroughItsSlot) {
  Bstr filename(WriteLines("input.xml", {"<a k=\"v\">x &lt;</a>", "<b/>", "</c>"}));
  auto bySlot = RecordingHandler::Create();
  _IXmlHandler* handle = bySlot.get();
  int16_t result = 1;
  ASSERT_EQ(reader->SetData(filename.Address(), &handle, &result), S_OK);

  auto byName = RecordingHandler::Create();
  IDispatch* dispatchHandle = byName.get();
  VARIANT arguments[] = {ByReference(filename.Address()), ByReference(&dispatchHandle)};
  VARIANT named = ostrel::com::CallByName(reader.get(), u"SetData", arguments, 2);
  ASSERT_EQ(named.vt, VT_I2);
  EXPECT_EQ(named.iVal, result);
  EXPECT_EQ(byName->calls, bySlot->calls);
  EXPECT_EQ(bySlot->calls.back(), "ErrElement(5, タグ(c)は対称していません。, c)");
}

TEST_F(ComponentTest, SetDataByNameFailsWithTheSameError) {
  Bstr filename(WriteLines("input.xml", {"<a x=\"1\" X=\"2\">"}));
  auto handler = RecordingHandler::Create();
  IDispatch* handle = handler.get();
  VARIANT arguments[] = {ByReference(filename.Address()), ByReference(&handle)};
  try {
    ostrel::com::CallByName(reader.get(), u"SetData", arguments, 2);
    ADD_FAILURE() << "SetData by name succeeded";
  } catch (const ostrel::com::RuntimeError& error) {
    EXPECT_EQ(error.number(), ostrel::com::errnum::kDuplicateKey);
  }
  EXPECT_FALSE(ostrel::com::file_slot::IsOpen());
}

TEST_F(ComponentTest, SetKeyListByNameChangesTheCallersVariablesAsThroughItsSlot) {
  Bstr slotText(u"  a x=\"1\" y=2");
  Bstr slotName(u"old");
  auto slotList = ostrel::com::NewCollection();
  Collection* slotListArgument = slotList.get();
  VARIANT_BOOL slotResult = VARIANT_FALSE;
  ASSERT_EQ(reader->setKeyList(slotText.Address(), slotName.Address(), &slotListArgument, &slotResult), S_OK);

  Bstr nameText(u"  a x=\"1\" y=2");
  Bstr nameName(u"old");
  auto nameList = ostrel::com::NewCollection();
  IDispatch* nameListArgument = nameList.get();
  VARIANT arguments[] = {ByReference(nameText.Address()), ByReference(nameName.Address()),
                         ByReference(&nameListArgument)};
  VARIANT named = ostrel::com::CallByName(reader.get(), u"setKeyList", arguments, 3);

  ASSERT_EQ(named.vt, VT_BOOL);
  EXPECT_EQ(named.boolVal, slotResult);
  EXPECT_EQ(slotResult, VARIANT_TRUE);
  EXPECT_EQ(nameText.view(), slotText.view());
  EXPECT_EQ(slotText.view(), u"y=2");
  EXPECT_EQ(nameName.view(), slotName.view());
  EXPECT_EQ(slotName.view(), u"a");
  EXPECT_EQ(RecordingHandler::ListText(*nameList.get()), RecordingHandler::ListText(*slotList.get()));
  EXPECT_EQ(RecordingHandler::ListText(*slotList.get()), "; x=1; y=2");
}

TEST_F(ComponentTest, LibraryHandlerAnswersByName) {
  const auto handler = ostrel::com::CreateObject<_IXmlHandler>(ostrel::kIXmlHandlerId);
  Bstr tagname(u"a");
  VARIANT arguments[] = {ByReference(tagname.Address())};
  EXPECT_EQ(ostrel::com::CallByName(handler.get(), u"EndElement", arguments, 1).vt, VT_EMPTY);
  EXPECT_EQ(tagname.view(), u"a");
}

// --- Entry points ---

class EntryPointTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = dlopen(LibraryFile().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (library_) dlclose(library_);
  }
  template <class Function>
  Function Entry(const char* name) {
    auto entry = reinterpret_cast<Function>(dlsym(library_, name));
    EXPECT_NE(entry, nullptr) << name;
    return entry;
  }

  void* library_ = nullptr;
};

TEST_F(EntryPointTest, UnknownClassHasNoFactory) {
  const auto getClassObject = Entry<DllGetClassObjectFn>("DllGetClassObject");
  ASSERT_TRUE(getClassObject);
  void* factory = &factory;
  EXPECT_EQ(getClassObject(ostrel::kTypeLibraryId, IClassFactory::iid, &factory), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(factory, nullptr);
}

TEST_F(EntryPointTest, LibraryMayUnloadOnlyWhileNoneOfItsObjectsLives) {
  const auto canUnloadNow = Entry<DllCanUnloadNowFn>("DllCanUnloadNow");
  const auto getClassObject = Entry<DllGetClassObjectFn>("DllGetClassObject");
  ASSERT_TRUE(canUnloadNow && getClassObject);
  EXPECT_EQ(canUnloadNow(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(getClassObject(ostrel::kCXmlReaderId, IClassFactory::iid, factory.ReceiveVoid()), S_OK);
  ComPtr<_CXmlReader> reader;
  ASSERT_EQ(factory->CreateInstance(nullptr, _CXmlReader::iid, reader.ReceiveVoid()), S_OK);
  factory.Reset();
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  reader.Reset();
  EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(EntryPointTest, VersionNamesTheLibraryAndItsVersion) {
  const auto version = Entry<const char* (*)()>("OstrelVersion");
  ASSERT_TRUE(version);
  EXPECT_STREQ(version(), "Ostrel 1.00 (1.0.0.0)");
}

}  // namespace
