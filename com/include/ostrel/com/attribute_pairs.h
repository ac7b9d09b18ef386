// The entries of a Collection as key and value pairs, in list order: what a
// handler copies out of an attribute list (parmList) during StartElement,
// through the list's interface, so it works for any maker's list.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <ostrel/com/collection.h>
#include <ostrel/com/error_info.h>
#include <ostrel/com/text.h>

namespace ostrel::com {

using AttributePairs = std::vector<std::pair<std::u16string, std::u16string>>;

// Raises what the list raises.
inline AttributePairs PairsOf(Collection& list) {
  int32_t count = 0;
  Check(list.Count(&count));
  AttributePairs pairs;
  for (int32_t position = 1; position <= count; ++position) {
    VARIANT index;
    index.vt = VT_I4;
    index.lVal = position;
    Bstr key;
    Bstr value;
    Check(list.Key(&position, key.Receive()));
    Check(list.Item(&index, value.Receive()));
    pairs.emplace_back(key.str(), value.str());
  }
  return pairs;
}

}  // namespace ostrel::com
