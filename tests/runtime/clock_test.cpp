// The clock: today's local date and time in the environment's formats, and a
// fallback when the environment names a locale that is not installed.
#include <gtest/gtest.h>
#include <locale.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "runtime/clock.h"
#include "runtime/unicode.h"

namespace {

// Parses TEXT in the C locale's "%x %X" and checks that it lies between the
// two instants read around the call.
void ExpectNowInCFormats() {
  const std::time_t before = std::time(nullptr);
  const std::string text = ostrel::com::ToUtf8(ostrel::com::NowAsText());
  const std::time_t after = std::time(nullptr);
  std::tm parsed{};
  const char* rest = strptime(text.c_str(), "%m/%d/%y %H:%M:%S", &parsed);
  ASSERT_TRUE(rest && *rest == '\0') << text;
  parsed.tm_isdst = -1;
  const std::time_t shown = std::mktime(&parsed);
  EXPECT_LE(before, shown) << text;
  EXPECT_LE(shown, after) << text;
}

TEST(Clock, ShowsTheCurrentLocalDateAndTimeWithSeconds) { ExpectNowInCFormats(); }

TEST(Clock, UnknownLocaleFallsBackToTheCFormatsAndTheGlobalLocaleStays) {
  const std::string global = setlocale(LC_ALL, nullptr);
  ::setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
  ExpectNowInCFormats();
  ::setenv("LC_ALL", "C.UTF-8", 1);
  EXPECT_EQ(setlocale(LC_ALL, nullptr), global);
}

}  // namespace
