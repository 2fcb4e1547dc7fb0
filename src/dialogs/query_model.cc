#include "dialogs/query_model.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

#include "odbc/connection.h"
#include "sheet/names.h"
#include "text/utf8.h"

namespace vodbc {

// ---- List items -----------------------------------------------------------

std::string tableItemText(const CatalogTable& table) {
  std::string text(firstCharacters(table.type, 6));
  text += ": ";
  if (table.schema) text += *table.schema + ".";
  text += table.name;
  return text;
}

std::string columnItemText(const CatalogColumn& column) {
  return std::string(1, column.typeLetter) + ": " + column.name;
}

// ---- Select data ------------------------------------------------------------

int markSelectedColumns(CatalogTable& table, const std::vector<std::string>& lines) {
  for (CatalogColumn& column : table.columns) column.selected = false;
  for (const std::string& line : lines) {
    auto match = std::find_if(table.columns.begin(), table.columns.end(),
                              [&](const CatalogColumn& c) { return c.name == line; });
    if (match != table.columns.end()) match->selected = true;
  }
  return static_cast<int>(std::count_if(table.columns.begin(), table.columns.end(),
                                        [](const CatalogColumn& c) { return c.selected; }));
}

SelectOkStep selectOkStep(int marked, bool editSql) {
  return marked > 0 || editSql ? SelectOkStep::kClose : SelectOkStep::kAskToCancel;
}

// ---- Names put into SQL text --------------------------------------------------

std::string sqlName(std::string_view name) {
  std::string text;
  appendIdentifier(text, name);
  return text;
}

std::optional<std::string> qualifiedName(const RetrievalSpec& spec) {
  if (spec.selectedTable < 0 || spec.selectedTable >= spec.tableCount ||
      spec.selectedTable >= static_cast<std::int32_t>(spec.tables.size())) {
    return std::nullopt;
  }
  const CatalogTable& table = spec.tables[static_cast<std::size_t>(spec.selectedTable)];
  std::string reference;
  if (table.schema) {
    appendIdentifier(reference, *table.schema);
    reference += kQualifierSeparator;
  }
  appendIdentifier(reference, table.name);
  if (spec.insertColumn >= 0 && spec.insertColumn < table.columnCount &&
      spec.insertColumn < static_cast<std::int32_t>(table.columns.size())) {
    reference += kQualifierSeparator;
    appendIdentifier(reference, table.columns[static_cast<std::size_t>(spec.insertColumn)].name);
  }
  reference += ' ';
  return reference;
}

// ---- Inserting at the caret ----------------------------------------------

CaretInsertion insertIntoParagraph(std::string_view paragraph, toolkit::TextSelection selection,
                                   std::string_view text) {
  const toolkit::TextPosition& s = selection.start;
  const toolkit::TextPosition& e = selection.end;
  const bool atVeryStart = s.line == 0 && e.line == 0 && s.character == 0 && e.character == 0;
  const int length = static_cast<int>(countCharacters(paragraph));
  // Paragraphs are single lines, so the caret offset is the character.
  const int offset = std::clamp(s.character, 0, length);
  const int at = (!atVeryStart && offset != length) ? offset : length;

  CaretInsertion result;
  result.paragraph = std::string(paragraph);
  result.paragraph.insert(characterOffset(paragraph, at), text);
  toolkit::TextPosition caret{e.paragraph, e.line, at + static_cast<int>(countCharacters(text))};
  result.caret = {caret, caret};
  return result;
}

// ---- WHERE builder ----------------------------------------------------------

const std::vector<ListChoice> kWhereFunctions = {
    {"Absolute value(x)", " ABS() "},
    {"Arccosine(x)", " ACOS() "},
    {"Arcsine(x)", " ASIN() "},
    {"Arctan(x)", " ATAN() "},
    {"Arctan(x,y)", " ATAN2(,) "},
    {"Ceiling(x) (largest int)", " CEILING() "},
    {"Cosine(x)", " COS() "},
    {"Cotangent(x)", " COT() "},
    {"Degrees(rad)", " DEGREES() "},
    {"Exponental(x)", " EXP() "},
    {"Floor(x) (lowest int)", " FLOOR() "},
    {"Log base e(x)", " LOG() "},
    {"Log base 10(x)", " LOG10() "},
    {"Remainder(x,mod n)", " MOD(,) "},
    {"Pi() = 3.1415...", " PI() "},
    {"Power(x,n) = x^n", " POWER(,) "},
    {"Radians(deg)", " RADIANS() "},
    {"Random No.(int seed)", " RAND() "},
    {"Round(x,n)", " ROUND(,) "},
    {"Sign(x)", " SIGN() "},
    {"Sine(x)", " SIN() "},
    {"Square root(x)", " SQRT() "},
    {"Tangent(x)", " TAN() "},
    {"Truncate(x,n)", " TRUNCATE(,) "},
    {"Concatentate(s1,s2)", " CONCAT(,) "},
    {"Difference(s1,s2)", " DIFFERENCE() "},
    {"Insert(s1,at,len,s2)", " INSERT(,,,) "},
    {"Lower Case(s)", " LCASE() "},
    {"Left(s,n chars)", " LEFT(,) "},
    {"Length(s)", " LENGTH() "},
    {"Locate(s1,s2[,at])", " LOCATE(,) "},
    {"Trim leading blanks(s)", " LTRIM() "},
    {"Repeat(s,n times)", " REPEAT(,) "},
    {"Replace(s1,with s2)", " REPLACE(,) "},
    {"Right(s,n chars)", " RIGHT(,) "},
    {"Trim trailing blanks(s)", " RTRIM() "},
    {"Substring(s,at,len)", " SUBSTRING(,,) "},
    {"Upper Case(s)", " UCASE() "},
};

const std::vector<ListChoice> kWhereOperators = {
    {"Equals =", " = "},       {"Not equals <>", " <> "},     {"Less than <", " < "},
    {"Greater than >", " > "}, {"Less or equal to", " <= "},  {"Greater or equal to", " >= "},
    {"Addition +", " + "},     {"Subtraction -", " - "},      {"Multiplication *", " * "},
    {"Division /", " / "},     {"Boolean Negation", " NOT "}, {"Boolean And", " AND "},
    {"Boolean Or", " OR "},
};

namespace {

void normaliseInPlace(std::string& text) {
  normaliseBlanks(text.data(), text.c_str(), static_cast<std::int64_t>(text.size()));
  text.resize(std::char_traits<char>::length(text.c_str()));
}

bool startsWithWhereKeyword(std::string_view text) {
  constexpr std::string_view kKeyword = "WHERE ";
  if (text.size() < kKeyword.size()) return false;
  for (std::size_t i = 0; i < kKeyword.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != kKeyword[i]) return false;
  }
  return true;
}

// Collects lines the way both the builder and the editor do: each
// non-empty line appended, the capacity grown to the collected length +
// 800 whenever the line might not fit, and a blank behind every line that
// does not end in one of `noBlankAfter`.
std::string collectLines(const std::vector<std::string>& lines, std::int32_t& capacity,
                         std::string_view noBlankAfter) {
  std::string text;
  std::int32_t length = 0;
  for (const std::string& line : lines) {
    const std::int32_t n = static_cast<int>(countCharacters(line));
    if (n == 0) continue;
    if (n + length + 1 >= capacity) capacity = n + length + 800;
    text += line;
    length += n;
    if (noBlankAfter.find(text.back()) == std::string_view::npos) {
      text += ' ';
      ++length;
    }
  }
  return text;
}

}  // namespace

std::string tidyWhereCondition(const std::vector<std::string>& lines) {
  std::int32_t capacity = 0;
  std::string text = collectLines(lines, capacity, " ");
  normaliseInPlace(text);
  if (startsWithWhereKeyword(text)) {
    text.replace(0, 5, 5, ' ');
    normaliseInPlace(text);
  }
  return text;
}

void storeWhereCondition(CatalogTable& table, const std::vector<std::string>& lines) {
  std::int32_t capacity = table.whereCapacity;
  collectLines(lines, capacity, " ");
  std::string condition = tidyWhereCondition(lines);
  table.hasWhere = !condition.empty();
  if (table.hasWhere) {
    table.whereCapacity = capacity;
    table.whereText = std::move(condition);
  } else {
    table.whereText.reset();
    table.whereCapacity = 0;
  }
}

std::string joinParagraphsWithBlanks(const std::vector<std::string>& paragraphs) {
  std::string text;
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) text += ' ';
    text += paragraphs[i];
  }
  return text;
}

// ---- SQL editor -------------------------------------------------------------

std::vector<std::string> splitStatement(std::string_view sql) {
  constexpr int kWidth = 60, kBackTo = 20, kForwardTo = 400;
  std::vector<std::string> paragraphs;
  std::string_view rest = sql;
  for (;;) {
    const int n = static_cast<int>(countCharacters(rest));
    if (n <= kWidth) {
      if (n > 0) paragraphs.emplace_back(rest);
      return paragraphs;
    }
    auto at = [&](int i) { return rest[characterOffset(rest, i)]; };
    auto breaks = [&](int i) { return at(i) == ' ' || at(i) == ','; };
    int e = -1;
    if (at(kWidth) == ' ') {
      e = kWidth;
    } else {
      for (int i = kWidth; i >= kBackTo; --i) {
        if (breaks(i)) {
          e = i;
          break;
        }
      }
    }
    if (e < 0) {
      const int limit = std::min(kForwardTo, n - 1);
      e = kWidth;
      while (e < limit && !breaks(e)) ++e;
    }
    const std::size_t cut = characterOffset(rest, e);
    const std::size_t behind = characterOffset(rest, e + 1);
    paragraphs.emplace_back(rest.substr(0, at(e) == ' ' ? cut : behind));
    rest = rest.substr(behind);
  }
}

JoinedStatement joinStatement(const std::vector<std::string>& lines, std::int32_t capacity) {
  JoinedStatement joined;
  joined.capacity = capacity;
  joined.text = collectLines(lines, joined.capacity, " ,");
  return joined;
}

void chooseTableMode(RetrievalSpec& spec) {
  spec.selectedTable = std::clamp(spec.selectedTable, 0, std::max(spec.tableCount - 1, 0));
  spec.insertColumn = -1;
}

void chooseFieldMode(RetrievalSpec& spec) {
  spec.selectedTable = std::clamp(spec.selectedTable, 0, std::max(spec.tableCount - 1, 0));
  std::int32_t count = -1;
  if (spec.selectedTable < static_cast<std::int32_t>(spec.tables.size())) {
    count = spec.tables[static_cast<std::size_t>(spec.selectedTable)].columnCount;
  }
  if (spec.insertColumn < 0) spec.insertColumn = 0;
  if (spec.insertColumn > count - 1) spec.insertColumn = count - 1;
}

}  // namespace vodbc
