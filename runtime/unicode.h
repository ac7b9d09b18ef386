// The conversions between UTF-16 and UTF-8 and of file names are public, for
// clients of <ostrel/ostrel.hpp>; the code of this tree includes them here.
#pragma once

#include <ostrel/com/unicode.h>
