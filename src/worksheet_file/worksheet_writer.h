// Writes a Sheet as a Velora worksheet file (layout in worksheet_format.h).
//
// Before writing, the sheet is changed in place, whatever the outcome: text
// columns become factors, and labelled factors with more levels than a label
// set holds become numeric columns (with warnings).
#pragma once

#include <cstdint>
#include <string_view>

#include "worksheet_file/output_file.h"
#include "worksheet_file/writer_messages.h"

namespace vodbc {

struct Sheet;

// Writes `sheet` to the file at `path` and returns 1 when the whole file was
// written and took its place, 0 otherwise. The writer reports everything
// itself through `messages`; callers add nothing for a failure:
//   - an existing file is only replaced after the question "Warning:
//     Overwriting ..." is answered with "Overwrite" (0 otherwise, silently);
//   - a null sheet, no rows, no columns or no column list: 0, silently;
//   - more than 127 columns or 50400 rows: an error message, 0;
//   - a file that cannot be opened: an error message, 0;
//   - a failed write or close: 0, silently; an existing file keeps its
//     contents and no partial file is left.
// `file` receives the bytes; the overload without it writes through an
// AtomicOutputFile.
std::uint16_t writeWorksheetFile(Sheet* sheet, const char* path, WriterMessages& messages,
                                 OutputFile& file);
std::uint16_t writeWorksheetFile(Sheet* sheet, const char* path, WriterMessages& messages);

// Writes the first min(width, text length) bytes of `text`, then 0x0D.
// True when every write succeeded.
bool writeTextField(std::string_view text, int width, OutputFile& file);

}  // namespace vodbc
