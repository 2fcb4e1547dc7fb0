#include "app/toolkit_messages.h"

#include "toolkit/toolkit.h"

namespace vodbc {

void ToolkitWriterMessages::error(std::string_view text) { toolkit::postError(text); }

void ToolkitWriterMessages::warning(std::string_view text) { toolkit::postWarning(text); }

void ToolkitWriterMessages::note(std::string_view text) { toolkit::postNote(text); }

WriterMessages::Button ToolkitWriterMessages::ask(std::string_view text, std::string_view first,
                                                  std::string_view second, std::string_view third) {
  switch (toolkit::askChoice(text, first, second, third)) {
    case 1:
      return Button::kSecond;
    case 2:
      return Button::kThird;
    default:
      return Button::kFirst;
  }
}

}  // namespace vodbc
