// A Collection as JSON: [["KEY","VALUE"],...] in list order, with "" as the
// key of an entry filed without one. The same form as ostrel-dump's parmList.
// Raises what the list raises.
#pragma once

#include <string>

#include "platform/collection.h"

namespace tools {

std::string CollectionJson(Collection& list);

}  // namespace tools
