#include "toolkit/console_backend.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolkit/resource.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

// The console backend writes to a memory stream here.
class ConsoleBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    err_ = ::open_memstream(&text_, &size_);
    ASSERT_NE(err_, nullptr);
    std::string error;
    ASSERT_TRUE(resources().add("dialog 300 \"D\" size 10 10\n", "t", error));
  }
  void TearDown() override {
    installBackend(nullptr);
    std::fclose(err_);
    std::free(text_);
  }
  std::string printed() {
    std::fflush(err_);
    return std::string(text_, size_);
  }
  std::FILE* err_ = nullptr;
  char* text_ = nullptr;
  std::size_t size_ = 0;
};

TEST_F(ConsoleBackendTest, MessagesGoToTheStreamAndQuestionsToThePolicy) {
  installBackend(makeConsoleBackend(answerWith("Yes"), err_));
  postError("Error: Can't open file");
  postWarning("Warning: two\nlines");
  postNote("Retrieved 3 columns by 2 rows of data from ODBC Query");
  EXPECT_EQ(askChoice("Overwrite?", "No", "Yes"), 1);
  EXPECT_EQ(askChoice("Correct it?", "No", "Cancel", "Maybe"), 2)
      << "a label the question lacks presses the last button";
  EXPECT_EQ(printed(),
            "error: Error: Can't open file\n"
            "warning: Warning: two\nlines\n"
            "note: Retrieved 3 columns by 2 rows of data from ODBC Query\n"
            "question: Overwrite? [No/Yes] Yes\n"
            "question: Correct it? [No/Cancel/Maybe] Maybe\n");
}

TEST_F(ConsoleBackendTest, WindowsAndFileDialogsFailCleanly) {
  installBackend(makeConsoleBackend(answerWith("No"), err_));
  int creates = 0;
  AppConfig config;
  config.taskTitle = "Batch";
  const int status = runApplication(config, [&](Window task, const Event& e) {
    if (e.type != EventType::Create) return;
    ++creates;
    EXPECT_EQ(taskWindow(), task);
    EXPECT_FALSE(runModalDialog(300, nullptr, nullptr, task));
    EXPECT_FALSE(openModelessDialog(300, nullptr, nullptr));
    FileSpec spec{"/tmp", "WOR", "Sheet1.WOR"};
    EXPECT_EQ(openFileDialog(spec, "Save"), FileDialogResult::Cancelled);
    EXPECT_EQ(spec.name, "Sheet1.WOR");
    EXPECT_FALSE(showHelpWindow("/nonexistent.html", 4401));
    int polls = 0;
    runProgressDialog(ProgressJob{"Fetch", std::chrono::milliseconds(0),
                                  [&](std::string&) { return ++polls < 3; }, nullptr});
    EXPECT_EQ(polls, 3);
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(creates, 1);
  EXPECT_FALSE(taskWindow());
  EXPECT_EQ(printed(), "");
}

TEST(FormatText, FormatsLikePrintf) {
  EXPECT_EQ(formatText("Retrieved %li columns by %li rows of %s", 3L, 1000000L, "Sales"),
            "Retrieved 3 columns by 1000000 rows of Sales");
  EXPECT_EQ(formatText("%s", ""), "");
  const std::string longText(5000, 'x');
  EXPECT_EQ(formatText("%s!", longText.c_str()), longText + "!");
}

}  // namespace
}  // namespace toolkit
