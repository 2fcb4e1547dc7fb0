// How the worksheet writer talks to the user. The writer never includes a
// window header: the program hands it an implementation that shows modal
// message boxes, tools hand it ConsoleWriterMessages.
//
// Every call blocks until the user has dismissed the message or answered;
// texts are UTF-8 and complete (the writer adds no prefix or decoration).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace vodbc {

class WriterMessages {
 public:
  // Which button of a question was pressed. kFirst is also the default
  // button, the answer to any way of closing the question without a button.
  enum class Button { kFirst, kSecond, kThird };

  virtual ~WriterMessages() = default;
  virtual void error(std::string_view text) = 0;
  virtual void warning(std::string_view text) = 0;
  virtual void note(std::string_view text) = 0;
  // Asks `text` with two or three labelled buttons; `third` empty means only
  // two buttons are shown.
  virtual Button ask(std::string_view text, std::string_view first, std::string_view second,
                     std::string_view third = {}) = 0;
};

// How a console answers a question without waiting: the button whose label
// equals `answer`, else the default first button; `line` records the
// question and the answer as "<text> [<first>/<second>(/<third>)] -> <label>".
struct ConsoleAnswer {
  WriterMessages::Button button;
  std::string line;
};
ConsoleAnswer answerWithoutWaiting(std::string_view answer, std::string_view text,
                                   std::string_view first, std::string_view second,
                                   std::string_view third);

// Prints every message as one block on a stream (stderr by default),
// prefixed by its kind, and answers questions without waiting: the button
// whose label equals the configured answer, else the default button.
//
//   error    "error: <text>"
//   warning  "warning: <text>"
//   note     "note: <text>"
//   question "question: <text> [<first>/<second>(/<third>)] -> <answer>"
class ConsoleWriterMessages final : public WriterMessages {
 public:
  explicit ConsoleWriterMessages(std::string answer = {});
  ConsoleWriterMessages(std::string answer, std::ostream& out);

  void error(std::string_view text) override;
  void warning(std::string_view text) override;
  void note(std::string_view text) override;
  Button ask(std::string_view text, std::string_view first, std::string_view second,
             std::string_view third = {}) override;

 private:
  void print(std::string_view kind, std::string_view text);

  std::string answer_;
  std::ostream& out_;
};

}  // namespace vodbc
