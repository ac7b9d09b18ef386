// The library file Ostrel: its description and the four exported entry points
// through which the component model registers it, creates its classes and
// asks whether it may be unloaded.
#include <ostrel/com/com_object.h>
#include <ostrel/com/server.h>
#include "xmllib/handler.h"
#include <ostrel/ostrel.h>
#include "xmllib/reader.h"
#include "xmllib/writer.h"

namespace {

template <class T>
constexpr auto kFactory = ostrel::com::CreateComObject<ostrel::com::ClassFactory<T>>;

constexpr ostrel::com::ServerClass kClasses[] = {
    {"CXmlReader", ostrel::kCXmlReaderId, _CXmlReader::iid, kFactory<ostrel::CXmlReader>},
    {"CXmlWriter", ostrel::kCXmlWriterId, _CXmlWriter::iid, kFactory<ostrel::CXmlWriter>},
    {"IXmlHandler", ostrel::kIXmlHandlerId, _IXmlHandler::iid, kFactory<ostrel::IXmlHandler>},
};

constexpr ostrel::com::ServerDescription kServer{
    "Ostrel", "Ostrel", ostrel::kTypeLibraryId, ostrel::kTypeLibraryMajor, ostrel::kTypeLibraryMinor,
    kClasses, "Apartment"};

// The version block: file and product version 1.0.0.0, product and internal
// name Ostrel, language Japanese with Unicode text, able to register itself.
constexpr char kVersion[] = "Ostrel 1.00 (1.0.0.0)";

}  // namespace

COM_SERVER_ENTRY_POINTS(kServer)

extern "C" __attribute__((visibility("default"))) const char* OstrelVersion() { return kVersion; }
