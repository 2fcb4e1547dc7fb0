#include "tools/batch/batch_console.h"

namespace vodbc {

BatchConsole::BatchConsole(std::FILE* out, std::string answer, bool showProgress)
    : out_(out), answer_(std::move(answer)), showProgress_(showProgress) {}

void BatchConsole::print(std::string_view kind, std::string_view text) {
  clearProgress();
  std::fprintf(out_, "%.*s: %.*s\n", static_cast<int>(kind.size()), kind.data(),
               static_cast<int>(text.size()), text.data());
  std::fflush(out_);
}

void BatchConsole::error(std::string_view text) { print("error", text); }
void BatchConsole::warning(std::string_view text) { print("warning", text); }
void BatchConsole::note(std::string_view text) { print("note", text); }

bool BatchConsole::diagnostic(const OdbcDiagnostic& record) {
  print(record.isWarning ? "warning" : "error", describeDiagnostic(record));
  return true;
}

WriterMessages::Button BatchConsole::ask(std::string_view text, std::string_view first,
                                         std::string_view second, std::string_view third) {
  Button button = Button::kFirst;
  std::string_view label = first;
  if (!answer_.empty() && answer_ == second) {
    button = Button::kSecond;
    label = second;
  } else if (!answer_.empty() && !third.empty() && answer_ == third) {
    button = Button::kThird;
    label = third;
  }
  std::string line(text);
  line.append(" [").append(first).append("/").append(second);
  if (!third.empty()) line.append("/").append(third);
  line.append("] -> ").append(label);
  print("question", line);
  return button;
}

void BatchConsole::progress(std::string_view text) {
  if (!showProgress_) return;
  std::fprintf(out_, "\r%.*s\033[K", static_cast<int>(text.size()), text.data());
  std::fflush(out_);
  progressShown_ = true;
}

void BatchConsole::clearProgress() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", out_);
  std::fflush(out_);
  progressShown_ = false;
}

}  // namespace vodbc
