// UTF-16 code units and the code points they stand for live in the public
// <ostrel/com/unicode.h>, beside the conversions built on them.
#pragma once

#include <ostrel/com/unicode.h>
