// The worksheet writer's messages shown through the GUI toolkit: modal
// message boxes, and questions with the writer's own buttons.
#pragma once

#include "worksheet_file/writer_messages.h"

namespace vodbc {

class ToolkitWriterMessages final : public WriterMessages {
 public:
  void error(std::string_view text) override;
  void warning(std::string_view text) override;
  void note(std::string_view text) override;
  Button ask(std::string_view text, std::string_view first, std::string_view second,
             std::string_view third) override;
};

}  // namespace vodbc
