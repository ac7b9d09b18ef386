// The clock: the current local date and time as text in the user's regional
// formats (LC_TIME from the environment): the short date, one blank, the time
// with seconds.
#pragma once

#include <string>

namespace ostrel::com {

std::u16string NowAsText();

}  // namespace ostrel::com
