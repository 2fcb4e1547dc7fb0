#include "odbc/run/connection_password.h"

#include <gtest/gtest.h>

namespace vodbc {
namespace {

TEST(ConnectionPassword, FindsPasswordAttributes) {
  const struct {
    const char* connection;
    bool hasPassword;
  } cases[] = {
      {"DRIVER=x;UID=me", false},
      {"DRIVER=x;UID=me;PWD=secret", true},
      {"driver=x; pwd =secret", true},
      {"DSN=a;Password=secret;", true},
      {"DSN=a;PWDX=1", false},
      {"DRIVER={a;PWD=b};UID=me", false},  // inside a braced value
      {"DRIVER={a}};PWD=b};UID=me", false},
      {"DRIVER={a}}b};PWD=1", true},
      {"", false},
      {";;PWD=", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hasPasswordAttribute(c.connection), c.hasPassword) << c.connection;
  }
}

TEST(ConnectionPassword, AddsPasswordAttribute) {
  struct Case {
    const char* connection;
    const char* password;
    const char* expected;
  } cases[] = {
      {"DRIVER=x;UID=me", "secret", "DRIVER=x;UID=me;PWD=secret;"},
      {"DRIVER=x;UID=me;", "secret", "DRIVER=x;UID=me;PWD=secret;"},
      {"", "s", "PWD=s;"},
      {"DSN=a", "a;b", "DSN=a;PWD={a;b};"},
      {"DSN=a", "x}y", "DSN=a;PWD={x}}y};"},
      {"DSN=a", " lead", "DSN=a;PWD={ lead};"},
  };
  for (const Case& c : cases) {
    std::string out = addPasswordAttribute(c.connection, c.password);
    EXPECT_EQ(out, c.expected);
    EXPECT_TRUE(hasPasswordAttribute(out)) << out;
  }
}

}  // namespace
}  // namespace vodbc
