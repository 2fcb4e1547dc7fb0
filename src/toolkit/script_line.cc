// Parsing of script lines (the grammar is in session.h) and quoting of
// texts for the transcript.
#include <charconv>
#include <string>
#include <string_view>

#include "toolkit/session.h"

namespace toolkit {

// ---- Script lines -------------------------------------------------------------

namespace {

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

bool toInt(std::string_view s, int& out) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

// Reads a double-quoted text at the start of `s`; `rest` is what follows.
bool readQuoted(std::string_view s, std::string& out, std::string_view& rest, std::string& error) {
  out.clear();
  std::size_t i = 1;
  while (i < s.size()) {
    const char c = s[i++];
    if (c == '"') {
      rest = s.substr(i);
      return true;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i >= s.size()) break;
    switch (s[i++]) {
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case '"':
        out += '"';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        error = std::string("unknown escape \\") + s[i - 1];
        return false;
    }
  }
  error = "text without its closing quote";
  return false;
}

// A free value: a quoted text, or the rest of the line as it stands.
bool readValue(std::string_view rest, std::string& out, bool& wasQuoted, std::string& error) {
  rest = trim(rest);
  wasQuoted = !rest.empty() && rest.front() == '"';
  if (!wasQuoted) {
    out = std::string(rest);
    return true;
  }
  std::string_view after;
  if (!readQuoted(rest, out, after, error)) return false;
  if (!trim(after).empty()) {
    error = "unexpected text after the closing quote";
    return false;
  }
  return true;
}

// Splits off the first word of `s`.
std::string_view firstWord(std::string_view& s) {
  s = trim(s);
  const auto end = s.find_first_of(" \t");
  std::string_view word = s.substr(0, end);
  s = end == std::string_view::npos ? std::string_view() : s.substr(end);
  return word;
}

}  // namespace

bool parseScriptLine(std::string_view line, ScriptCommand& out, std::string& error) {
  out = ScriptCommand{};
  std::string_view rest = trim(line);
  if (rest.empty() || rest.front() == '#') return true;
  const std::string verb(firstWord(rest));
  using V = ScriptCommand::Verb;
  bool quoted = false;

  if (verb == "connect" || verb == "answer" || verb == "file") {
    out.verb = verb == "connect" ? V::Connect : verb == "answer" ? V::Answer : V::File;
    if (!readValue(rest, out.value, quoted, error)) return false;
    if (!quoted && out.value == "cancel" && out.verb != V::Answer) {
      out.cancel = true;
      out.value.clear();
    } else if (out.value.empty()) {
      error = verb == "answer" ? "'answer' needs a button label"
              : verb == "file" ? "'file' needs a path or 'cancel'"
                               : "'connect' needs a connection string or 'cancel'";
      return false;
    }
    return true;
  }
  if (verb == "window") {
    out.verb = V::WindowIs;
    const std::string_view id = firstWord(rest);
    if (id == "task" && trim(rest).empty()) {
      out.isTask = true;
      return true;
    }
    if (!toInt(id, out.number) || !trim(rest).empty()) {
      error = "'window' needs a resource id or 'task'";
      return false;
    }
    return true;
  }
  if (verb == "close") {
    out.verb = V::Close;
    if (!trim(rest).empty()) {
      error = "'close' takes nothing more";
      return false;
    }
    return true;
  }
  if (verb == "menu") {
    out.verb = V::Menu;
    if (!toInt(firstWord(rest), out.number) || !trim(rest).empty()) {
      error = "'menu' needs a menu tag";
      return false;
    }
    return true;
  }

  // The remaining verbs name a control first.
  static const std::pair<const char*, V> controlVerbs[] = {{"select", V::Select},
                                                           {"dblclick", V::DoubleClick},
                                                           {"multiselect", V::MultiSelect},
                                                           {"check", V::Check},
                                                           {"text", V::Text},
                                                           {"caret", V::Caret},
                                                           {"click", V::Click}};
  for (const auto& [word, v] : controlVerbs) {
    if (verb == word) out.verb = v;
  }
  if (out.verb == V::None) {
    error = "unknown command '" + verb + "'";
    return false;
  }
  out.control = std::string(firstWord(rest));
  if (out.control.empty()) {
    error = "'" + verb + "' needs a control id or name";
    return false;
  }
  rest = trim(rest);
  switch (out.verb) {
    case V::Select:
    case V::DoubleClick:
      if (!rest.empty() && rest.front() == '"') {
        if (!readValue(rest, out.value, quoted, error)) return false;
        return true;
      }
      if (toInt(rest, out.number) && out.number >= 0) {
        out.byIndex = true;
        return true;
      }
      error = "'" + verb + "' needs an item index or a quoted item text";
      return false;
    case V::MultiSelect: {
      std::string_view list = rest;
      while (!list.empty()) {
        const auto comma = list.find(',');
        int index = 0;
        if (!toInt(trim(list.substr(0, comma)), index) || index < 0) {
          error = "'multiselect' needs item indexes separated by commas";
          return false;
        }
        out.indices.push_back(index);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        if (comma != std::string_view::npos && trim(list).empty()) {
          error = "'multiselect' needs item indexes separated by commas";
          return false;
        }
      }
      return true;
    }
    case V::Check:
      if (rest == "on" || rest == "off") {
        out.on = rest == "on";
        return true;
      }
      error = "'check' needs 'on' or 'off'";
      return false;
    case V::Text:
      return readValue(rest, out.value, quoted, error);
    case V::Caret: {
      const std::string_view par = firstWord(rest);
      if (toInt(par, out.number) && toInt(trim(rest), out.number2) && out.number >= 0 &&
          out.number2 >= 0) {
        return true;
      }
      error = "'caret' needs a paragraph and a position";
      return false;
    }
    default:  // Click
      if (!rest.empty()) {
        error = "'" + verb + "' takes only a control";
        return false;
      }
      return true;
  }
}

std::string quoteText(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  out += '"';
  return out;
}

}  // namespace toolkit
