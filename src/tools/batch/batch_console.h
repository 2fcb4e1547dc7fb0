// Where vodbc-batch shows things: stderr, one message per block, and a
// progress line that is cleared before anything else is printed.
//
//   error: TEXT        warning: TEXT        note: TEXT
//   error: Velora ODBC Error Message: SQL Error: ... (a diagnostic record)
//   question: TEXT [FIRST/SECOND] -> ANSWER
// Questions are never put to a person: the answer is the button whose label
// the console was given (the overwrite flag's "Overwrite"), else the first
// button, which is always the one that ends things safely.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "odbc/reporter.h"
#include "worksheet_file/writer_messages.h"

namespace vodbc {

class BatchConsole final : public OdbcReporter, public WriterMessages {
 public:
  BatchConsole(std::FILE* out, std::string answer, bool showProgress);

  void error(std::string_view text) override;
  void warning(std::string_view text) override;
  void note(std::string_view text) override;
  bool diagnostic(const OdbcDiagnostic& record) override;
  Button ask(std::string_view text, std::string_view first, std::string_view second,
             std::string_view third = {}) override;

  // Rewrites the progress line (only when progress is shown).
  void progress(std::string_view text);
  void clearProgress();

 private:
  void print(std::string_view kind, std::string_view text);

  std::FILE* out_;
  std::string answer_;
  bool showProgress_;
  bool progressShown_ = false;
};

}  // namespace vodbc
