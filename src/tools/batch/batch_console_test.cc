#include "tools/batch/batch_console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vodbc {
namespace {

// Every message is one block prefixed by its kind; a question is answered
// with the second button only when the console was told its label.
TEST(BatchConsole, PrintsEachKindAndAnswersFromItsSetting) {
  for (const char* answer : {"Overwrite", "", "Maybe"}) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    ASSERT_NE(out, nullptr);
    BatchConsole console(out, answer, false);
    const bool second = std::string(answer) == "Overwrite";
    EXPECT_EQ(console.ask("Replace?", "No", "Overwrite"),
              second ? WriterMessages::Button::kSecond : WriterMessages::Button::kFirst);
    console.error("Error: one");
    console.warning("Error: two");
    console.note("three");
    console.diagnostic({"08001", "FFFFFFFF", "refused", true});
    std::fclose(out);
    EXPECT_EQ(std::string(buffer, size),
              std::string("question: Replace? [No/Overwrite] -> ") + (second ? "Overwrite" : "No") +
                  "\nerror: Error: one\nwarning: Error: two\nnote: three\n"
                  "warning: Velora ODBC Warning Message: SQL Error: 08001 Error Code: FFFFFFFF "
                  "ODBC Error Message: refused\n");
    std::free(buffer);
  }
}

}  // namespace
}  // namespace vodbc
