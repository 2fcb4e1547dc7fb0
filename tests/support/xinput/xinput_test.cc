#include "xinput/xinput_test.h"

#include "servers/test_servers.h"

namespace vodbc::testing {

void XInputTest::SetUp() {
  if (!display_.ready()) {
    if (inCi()) FAIL() << display_.why();
    GTEST_SKIP() << display_.why();
  }
  usePrivateOdbcRegistration();
}

}  // namespace vodbc::testing
