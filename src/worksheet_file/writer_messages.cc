#include "worksheet_file/writer_messages.h"

#include <iostream>

namespace vodbc {

ConsoleWriterMessages::ConsoleWriterMessages(std::string answer)
    : ConsoleWriterMessages(std::move(answer), std::cerr) {}

ConsoleWriterMessages::ConsoleWriterMessages(std::string answer,
                                             std::ostream& out)
    : answer_(std::move(answer)), out_(out) {}

void ConsoleWriterMessages::print(std::string_view kind,
                                  std::string_view text) {
  out_ << kind << ": " << text;
  if (text.empty() || text.back() != '\n') out_ << '\n';
  out_.flush();
}

void ConsoleWriterMessages::error(std::string_view text) {
  print("error", text);
}

void ConsoleWriterMessages::warning(std::string_view text) {
  print("warning", text);
}

void ConsoleWriterMessages::note(std::string_view text) { print("note", text); }

WriterMessages::Button ConsoleWriterMessages::ask(std::string_view text,
                                                  std::string_view first,
                                                  std::string_view second,
                                                  std::string_view third) {
  Button pressed = Button::kFirst;
  std::string_view label = first;
  if (!answer_.empty() && answer_ == second) {
    pressed = Button::kSecond;
    label = second;
  } else if (!answer_.empty() && !third.empty() && answer_ == third) {
    pressed = Button::kThird;
    label = third;
  }
  out_ << "question: " << text << " [" << first << '/' << second;
  if (!third.empty()) out_ << '/' << third;
  out_ << "] -> " << label << '\n';
  out_.flush();
  return pressed;
}

}  // namespace vodbc
