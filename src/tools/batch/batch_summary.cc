#include "tools/batch/batch_summary.h"

#include <iconv.h>

#include "sheet/sheet.h"

namespace vodbc {

std::string windows1252ToUtf8(std::string_view text) {
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(text);
  iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string in(text);
  std::string out(in.size() * 4 + 4, '\0');
  char* inp = in.data();
  std::size_t inLeft = in.size();
  char* outp = out.data();
  std::size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1)) {
      // Bytes Windows-1252 leaves undefined (0x81, 0x8D, ...) become '?'.
      if (outLeft == 0) break;
      *outp++ = '?';
      --outLeft;
      ++inp;
      --inLeft;
    }
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

std::vector<FetchedColumn> fetchedColumns(const Sheet& sheet) {
  std::vector<FetchedColumn> columns;
  if (!sheet.firstColumn) return columns;
  for (const SheetColumn* c = sheet.firstColumn->next; c; c = c->next) {
    FetchedColumn f;
    f.name = windows1252ToUtf8(c->name);
    if (c->type == ColumnType::Text || c->type == ColumnType::PinnedText) {
      f.kind = FetchedColumn::Kind::kText;
    } else if (c->formatKind == kFormatDateTime) {
      // The fetch makes numbers with the plain format; a date format means
      // the column arrived as text that all looked like dates.
      f.kind = FetchedColumn::Kind::kDate;
    }
    columns.push_back(std::move(f));
  }
  return columns;
}

nlohmann::json buildSummary(const SummaryInput& input) {
  nlohmann::json j;
  j["retrieval_file"] = input.retrievalFile;
  j["output_file"] = input.outputFile;
  j["written"] = input.written;
  j["dry_run"] = input.dryRun;
  j["complete"] = input.complete;
  j["reason"] = input.reason.empty() ? nlohmann::json(nullptr) : nlohmann::json(input.reason);
  j["columns"] = input.sheet ? input.sheet->columnCount : 0;
  j["rows"] = input.sheet ? input.sheet->rowCount : 0;
  nlohmann::json list = nlohmann::json::array();
  std::size_t index = 0;
  std::size_t written = 0;
  if (input.sheet && input.sheet->firstColumn) {
    for (const SheetColumn* c = input.sheet->firstColumn->next; c; c = c->next, ++index) {
      FetchedColumn::Kind fetched =
          index < input.fetched.size() ? input.fetched[index].kind : FetchedColumn::Kind::kNumeric;
      nlohmann::json col;
      col["name"] = windows1252ToUtf8(c->name);
      bool isText = c->type == ColumnType::Text || c->type == ColumnType::PinnedText;
      col["levels"] = nullptr;
      std::string conversion = "none";
      if (c->type == ColumnType::Factor) {
        col["type"] = "factor";
        col["levels"] = c->levelCount;
      } else if (isText) {
        col["type"] = "text";
      } else if (c->formatKind == kFormatDateTime) {
        col["type"] = "date";
      } else {
        col["type"] = "numeric";
      }
      if (fetched == FetchedColumn::Kind::kDate) {
        conversion = "text to date";
      } else if (fetched == FetchedColumn::Kind::kText && c->type == ColumnType::Factor) {
        conversion = "text to factor";
      } else if (fetched == FetchedColumn::Kind::kText && !isText) {
        conversion = "text to factor to numeric";
      }
      col["conversion"] = conversion;
      // Text the writer could not make a factor of is not written as a
      // column; every other column is, in order.
      if (!isText && written < input.writtenNames.size()) {
        col["written_name"] = windows1252ToUtf8(input.writtenNames[written]);
      } else {
        col["written_name"] = nullptr;
      }
      if (!isText) ++written;
      list.push_back(std::move(col));
    }
  }
  j["column_list"] = std::move(list);
  j["seconds"] = {{"retrieval", input.retrievalSeconds},
                  {"write", input.writeSeconds},
                  {"total", input.retrievalSeconds + input.writeSeconds}};
  return j;
}

std::string summaryText(const SummaryInput& input) {
  return buildSummary(input).dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace vodbc
