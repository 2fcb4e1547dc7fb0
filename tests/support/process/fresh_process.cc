#include "process/fresh_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vodbc::testing {
namespace {

constexpr const char* kArgumentVariable = "VODBC_FRESH_PROCESS_ARGUMENT";

}  // namespace

ProgramResult rerunInFreshProcess(const std::string& argument) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  if (test == nullptr) {
    ADD_FAILURE() << "rerunInFreshProcess needs a running test";
    return {};
  }
  ProgramRun run;
  run.program = std::filesystem::read_symlink("/proc/self/exe").string();
  run.arguments = {std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name(),
                   "--gtest_repeat=1", "--gtest_shuffle=0"};
  run.environment = {{kArgumentVariable, argument}};
  return runProgram(run);
}

std::optional<std::string> freshProcessArgument() {
  const char* value = std::getenv(kArgumentVariable);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace vodbc::testing
