// Passwords in messages that quote a connection string.
#include "odbc/password_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace vodbc {
namespace {

TEST(MaskPasswords, EveryPasswordValueIsReplacedAndNothingElse) {
  const struct {
    const char* text;
    const char* masked;
  } cases[] = {
      {"DRIVER=x;UID=me;PWD=secret;DATABASE=d", "DRIVER=x;UID=me;PWD=***;DATABASE=d"},
      {"pwd=secret", "pwd=***"},
      {"Password=s3cr3t;Pwd=again", "Password=***;Pwd=***"},
      // Braced values may hold ';' and doubled braces.
      {"PWD={a;b}}c};UID=me", "PWD=***;UID=me"},
      {"PWD={never closed", "PWD=***"},
      // Quoted inside a driver's sentence.
      {"cannot connect with 'DSN=d;PWD=hunter2' (28000)",
       "cannot connect with 'DSN=d;PWD=***' (28000)"},
      {"syntax error at or near \"PWD=tail\"", "syntax error at or near \"PWD=***\""},
      // Other keywords that merely end in PWD are left alone, as is an
      // empty value.
      {"OLDPWD=x;MYPASSWORD=y", "OLDPWD=x;MYPASSWORD=y"},
      {"PWD=;UID=me", "PWD=;UID=me"},
      {"no secrets here", "no secrets here"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(maskPasswords(c.text), c.masked) << c.text;
  }
}

}  // namespace
}  // namespace vodbc
