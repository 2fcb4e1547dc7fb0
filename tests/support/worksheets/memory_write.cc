#include "worksheets/memory_write.h"

#include <gtest/gtest.h>

#include "worksheet_file/output_file.h"
#include "worksheet_file/worksheet_writer.h"

namespace vodbc::testing {

WriterMessages::Button RecordingMessages::ask(std::string_view text, std::string_view first,
                                              std::string_view second, std::string_view third) {
  std::string entry = std::string(text) + "|" + std::string(first) + "|" + std::string(second);
  if (!third.empty()) entry.append("|").append(third);
  log.push_back({"ask", entry});
  if (answer_ == second) return Button::kSecond;
  if (!third.empty() && answer_ == third) return Button::kThird;
  return Button::kFirst;
}

WriteOutcome writeToMemory(Sheet* sheet) {
  RecordingMessages messages;
  MemoryOutputFile file;
  WriteOutcome outcome;
  outcome.result = writeWorksheetFile(sheet, kMemoryPath, messages, file);
  outcome.messages = messages.log;
  outcome.opened = file.opened();
  outcome.closed = file.closed();
  outcome.writes = file.writeCount();
  outcome.bytes = file.bytes();
  return outcome;
}

WorksheetImage readBack(const Bytes& bytes) {
  WorksheetImage image;
  WorksheetReadError error;
  EXPECT_TRUE(readWorksheet(bytes.data(), bytes.size(), &image, &error)) << error.describe();
  return image;
}

}  // namespace vodbc::testing
