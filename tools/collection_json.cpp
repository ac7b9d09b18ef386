#include "tools/collection_json.h"

#include "platform/error_info.h"
#include "platform/text.h"
#include "tools/json.h"

namespace tools {

std::string CollectionJson(Collection& list) {
  int32_t count = 0;
  platform::Check(list.Count(&count));
  std::string json = "[";
  for (int32_t position = 1; position <= count; ++position) {
    VARIANT index;
    index.vt = VT_I4;
    index.lVal = position;
    platform::Bstr key;
    platform::Bstr value;
    platform::Check(list.Key(&position, key.Receive()));
    platform::Check(list.Item(&index, value.Receive()));
    if (position > 1) json += ',';
    json += "[" + JsonString(key.view()) + "," + JsonString(value.view()) + "]";
  }
  return json + "]";
}

}  // namespace tools
