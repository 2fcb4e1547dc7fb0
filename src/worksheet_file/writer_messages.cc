#include "worksheet_file/writer_messages.h"

#include <iostream>

namespace vodbc {

ConsoleWriterMessages::ConsoleWriterMessages(std::string answer)
    : ConsoleWriterMessages(std::move(answer), std::cerr) {}

ConsoleWriterMessages::ConsoleWriterMessages(std::string answer, std::ostream& out)
    : answer_(std::move(answer)), out_(out) {}

void ConsoleWriterMessages::print(std::string_view kind, std::string_view text) {
  out_ << kind << ": " << text;
  if (text.empty() || text.back() != '\n') out_ << '\n';
  out_.flush();
}

void ConsoleWriterMessages::error(std::string_view text) { print("error", text); }

void ConsoleWriterMessages::warning(std::string_view text) { print("warning", text); }

void ConsoleWriterMessages::note(std::string_view text) { print("note", text); }

ConsoleAnswer answerWithoutWaiting(std::string_view answer, std::string_view text,
                                   std::string_view first, std::string_view second,
                                   std::string_view third) {
  ConsoleAnswer result{WriterMessages::Button::kFirst, {}};
  std::string_view label = first;
  if (!answer.empty() && answer == second) {
    result.button = WriterMessages::Button::kSecond;
    label = second;
  } else if (!answer.empty() && !third.empty() && answer == third) {
    result.button = WriterMessages::Button::kThird;
    label = third;
  }
  result.line.append(text).append(" [").append(first).append("/").append(second);
  if (!third.empty()) result.line.append("/").append(third);
  result.line.append("] -> ").append(label);
  return result;
}

WriterMessages::Button ConsoleWriterMessages::ask(std::string_view text, std::string_view first,
                                                  std::string_view second, std::string_view third) {
  ConsoleAnswer answered = answerWithoutWaiting(answer_, text, first, second, third);
  print("question", answered.line);
  return answered.button;
}

}  // namespace vodbc
