// Scripts for a fake driver manager in another process. One item a line,
// fields separated by blanks; text fields are escaped so they hold no
// blank: \N is SQL NULL, \E the empty text, \xHH any other byte that is a
// blank, a control, a backslash or beyond ASCII.
//
//   truncation MODE                       0 standard, 1 no NUL, 2 no total
//   fail FUNCTION NTH RESULT RECORDS      then RECORDS lines:
//   record STATE NATIVE MESSAGE
//   result REPEAT_TO                      starts a result set
//   column SQL_TYPE NAME
//   row FIELD FIELD ...
//   indicator ROW COLUMN VALUE
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "fake_odbc/fake_odbc.h"

namespace vodbc::fake {
namespace {

std::string escape(const Value& value) {
  if (!value) return "\\N";
  if (value->empty()) return "\\E";
  std::string out;
  for (unsigned char c : *value) {
    if (c <= ' ' || c >= 0x7F || c == '\\') {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool unescape(const std::string& field, Value& out) {
  if (field == "\\N") {
    out.reset();
    return true;
  }
  out = std::string();
  if (field == "\\E") return true;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out->push_back(field[i]);
      continue;
    }
    if (i + 3 >= field.size() || field[i + 1] != 'x') return false;
    const std::string hex = field.substr(i + 2, 2);
    char* end = nullptr;
    long byte = std::strtol(hex.c_str(), &end, 16);
    if (end != hex.c_str() + 2) return false;
    out->push_back(static_cast<char>(byte));
    i += 3;
  }
  return true;
}

std::string text(const std::string& value) { return escape(Value(value)); }

bool parseLine(const std::string& line, Script& script, InjectedFailure*& failure) {
  std::istringstream in(line);
  std::string item;
  in >> item;
  if (item.empty() || item[0] == '#') return true;
  if (item == "truncation") {
    int mode = 0;
    in >> mode;
    script.truncation = static_cast<TextTruncation>(mode);
  } else if (item == "fail") {
    InjectedFailure f;
    int records = 0;
    in >> f.function >> f.nth >> f.result >> records;
    script.failures.push_back(f);
    failure = &script.failures.back();
  } else if (item == "record") {
    Diagnostic d;
    std::string state, message;
    in >> state >> d.native >> message;
    Value a, b;
    if (failure == nullptr || !unescape(state, a) || !unescape(message, b) || !a || !b) {
      return false;
    }
    d.state = *a;
    d.message = *b;
    failure->records.push_back(d);
  } else if (item == "result") {
    script.results.emplace_back();
    in >> script.results.back().repeatTo;
  } else if (item == "column") {
    Column c;
    std::string name;
    in >> c.sqlType >> name;
    Value decoded;
    if (script.results.empty() || !unescape(name, decoded) || !decoded) return false;
    c.name = *decoded;
    script.results.back().columns.push_back(c);
  } else if (item == "row") {
    if (script.results.empty()) return false;
    std::vector<Value> row;
    for (std::string field; in >> field;) {
      Value v;
      if (!unescape(field, v)) return false;
      row.push_back(v);
    }
    script.results.back().rows.push_back(row);
  } else if (item == "indicator") {
    std::size_t row = 0, column = 0;
    long long value = 0;
    in >> row >> column >> value;
    if (script.results.empty()) return false;
    script.results.back().indicators[{row, column}] = static_cast<SQLLEN>(value);
  } else {
    return false;
  }
  return !in.fail() || in.eof();
}

}  // namespace

bool saveScript(const Script& script, const std::string& path) {
  std::ofstream out(path);
  out << "truncation " << static_cast<int>(script.truncation) << '\n';
  for (const InjectedFailure& f : script.failures) {
    out << "fail " << f.function << ' ' << f.nth << ' ' << f.result << ' ' << f.records.size()
        << '\n';
    for (const Diagnostic& d : f.records) {
      out << "record " << text(d.state) << ' ' << d.native << ' ' << text(d.message) << '\n';
    }
  }
  for (const ResultSet& r : script.results) {
    out << "result " << r.repeatTo << '\n';
    for (const Column& c : r.columns) out << "column " << c.sqlType << ' ' << text(c.name) << '\n';
    for (const auto& row : r.rows) {
      out << "row";
      for (const Value& v : row) out << ' ' << escape(v);
      out << '\n';
    }
    for (const auto& [at, value] : r.indicators) {
      out << "indicator " << at.first << ' ' << at.second << ' ' << value << '\n';
    }
  }
  out.close();
  return static_cast<bool>(out);
}

bool loadScript(const std::string& path) {
  std::ifstream in(path);
  if (!in) return false;
  Script script;
  InjectedFailure* failure = nullptr;
  for (std::string line; std::getline(in, line);) {
    if (!parseLine(line, script, failure)) return false;
  }
  setTextTruncation(script.truncation);
  for (InjectedFailure& f : script.failures) {
    failAt(f.function, f.nth, f.result, std::move(f.records));
  }
  for (ResultSet& r : script.results) queueResult(std::move(r));
  return true;
}

}  // namespace vodbc::fake
