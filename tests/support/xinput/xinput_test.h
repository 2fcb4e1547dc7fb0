// Base fixture for tests of the real windows under real X input: a private
// display, the private ODBC driver registration and a folder of the test's
// own. Without the display the test is skipped, and failed in CI, where
// scripts/bootstrap has installed everything it needs.
//
//   class ProgramXInput : public testing::XInputTest {
//     void SetUp() override {
//       XInputTest::SetUp();
//       if (IsSkipped() || HasFatalFailure()) return;
//       ...
//     }
//   };
#pragma once

#include <gtest/gtest.h>

#include "files/temp_folder.h"
#include "xinput/x_display.h"

namespace vodbc::testing {

class XInputTest : public ::testing::Test {
 protected:
  void SetUp() override;

  XDisplay display_;
  TempFolder folder_{"vodbc-xinput"};
};

}  // namespace vodbc::testing
