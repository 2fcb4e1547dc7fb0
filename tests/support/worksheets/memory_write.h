// Writing a Sheet to memory and reading it back, and a message recorder
// for the worksheet writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/sheet.h"
#include "worksheet_file/worksheet_reader.h"
#include "worksheet_file/writer_messages.h"
#include "worksheets/expected_worksheet.h"

namespace vodbc::testing {

// Records every message and answers questions with a fixed button label.
class RecordingMessages final : public WriterMessages {
 public:
  explicit RecordingMessages(std::string answer = "No") : answer_(std::move(answer)) {}

  struct Entry {
    std::string kind;  // "error", "warning", "note", "ask"
    std::string text;  // for "ask": text + "|" + button labels joined by "|"
    bool operator==(const Entry&) const = default;
  };
  std::vector<Entry> log;

  void error(std::string_view text) override { log.push_back({"error", std::string(text)}); }
  void warning(std::string_view text) override { log.push_back({"warning", std::string(text)}); }
  void note(std::string_view text) override { log.push_back({"note", std::string(text)}); }
  Button ask(std::string_view text, std::string_view first, std::string_view second,
             std::string_view third) override;

 private:
  std::string answer_;
};

// A path no real file can have; the memory writes only report it.
inline constexpr const char* kMemoryPath = "/nonexistent-vodbc-folder/out.WOR";

// What one write to memory left behind.
struct WriteOutcome {
  std::uint16_t result = 0;
  std::vector<RecordingMessages::Entry> messages;
  bool opened = false;
  bool closed = false;
  std::size_t writes = 0;  // calls of the file's write
  Bytes bytes;
};
WriteOutcome writeToMemory(Sheet* sheet);

// Reads the bytes back with the independent reader; a refusal fails the test.
WorksheetImage readBack(const Bytes& bytes);

}  // namespace vodbc::testing
