// A Collection as JSON: [["KEY","VALUE"],...] in list order, with "" as the
// key of an entry filed without one: ostrel-dump's parmList and ostrel-call's
// Collection results alike. Raises what the list raises.
#pragma once

#include <string>

#include <ostrel/com/collection.h>

namespace tools {

std::string CollectionJson(Collection& list);

}  // namespace tools
