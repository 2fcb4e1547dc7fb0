#include "text/process_locale.h"

#include <gtest/gtest.h>
#include <langinfo.h>
#include <stdlib.h>

#include <clocale>
#include <string>

namespace vodbc {
namespace {

// Whatever the user's environment says, text is UTF-8 and numbers are "C".
TEST(ProcessLocale, TextIsUtf8AndNumbersKeepTheCForm) {
  for (const char* environment : {"C", "POSIX", "C.UTF-8", "no_SUCH.locale"}) {
    SCOPED_TRACE(environment);
    ::setenv("LC_ALL", environment, 1);
    useProcessLocale();
    EXPECT_EQ(std::string(nl_langinfo(CODESET)), "UTF-8");
    EXPECT_EQ(std::string(std::setlocale(LC_NUMERIC, nullptr)), "C");
    EXPECT_EQ(std::localeconv()->decimal_point, std::string("."));
  }
  ::unsetenv("LC_ALL");
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace vodbc
