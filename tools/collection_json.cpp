#include "tools/collection_json.h"

#include "tools/json.h"
#include <ostrel/com/attribute_pairs.h>

namespace tools {

std::string CollectionJson(Collection& list) {
  std::string json = "[";
  for (const auto& [key, value] : ostrel::com::PairsOf(list)) {
    if (json.size() > 1) json += ',';
    json += "[" + JsonString(key) + "," + JsonString(value) + "]";
  }
  return json + "]";
}

}  // namespace tools
