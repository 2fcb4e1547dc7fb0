// How the worksheet writer talks to the user. The writer never includes a
// window header: the program hands it an implementation that shows modal
// message boxes, vodbc-batch its console.
//
// Every call blocks until the user has dismissed the message or answered;
// texts are UTF-8 and complete (the writer adds no prefix or decoration).
#pragma once

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

}  // namespace vodbc
