#include "app/command_line.h"

#include <climits>
#include <cstddef>

#include "text/utf8.h"

namespace vodbc {
namespace {

constexpr std::size_t npos = std::string::npos;

bool startsToken(const std::string& s, std::size_t pos) { return pos == 0 || s[pos - 1] == ' '; }

// First occurrence of `word` that starts a token; with `whole`, it must also
// end one (followed by a blank or the end of the line).
std::size_t findSwitch(const std::string& s, std::string_view word, bool whole) {
  for (std::size_t pos = s.find(word); pos != npos; pos = s.find(word, pos + 1)) {
    if (!startsToken(s, pos)) continue;
    std::size_t end = pos + word.size();
    if (whole && end < s.size() && s[end] != ' ') continue;
    return pos;
  }
  return npos;
}

void readDirectorySwitch(CommandLine& cl) {
  std::string& t = cl.tail;
  std::size_t at = findSwitch(t, "/d=", false);
  if (at == npos) return;
  std::size_t start = at + 3;
  std::size_t valueEnd;  // one past the value
  std::size_t cutEnd;    // one past what is removed with the switch
  if (start < t.size() && t[start] == '"') {
    ++start;
    std::size_t quote = t.find('"', start);
    valueEnd = quote == npos ? t.size() : quote;
    cutEnd = quote == npos ? t.size() : quote + 1;  // the closing quote goes too
  } else {
    std::size_t blank = t.find(' ', start);
    valueEnd = blank == npos ? t.size() : blank;
    cutEnd = valueEnd;  // a terminating blank stays
  }
  cl.startDirectory = std::string(
      firstCharacters(std::string_view(t).substr(start, valueEnd - start), kCommandLinePathChars));
  t.erase(at, cutEnd - at);
}

void readCloseSwitch(CommandLine& cl) {
  std::size_t at = findSwitch(cl.tail, "/c", true);
  if (at == npos) return;
  cl.tail.erase(at, 2);
  cl.closeAfterRun = true;
}

// Reads a decimal integer the way the C library's integer conversion does
// (leading blanks, an optional sign, digits), saturating at the range of the
// toolkit's 16-bit coordinates. Returns the position of the first character
// that is not part of the number.
std::size_t readInteger(std::string_view s, std::size_t pos, int& value) {
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
    negative = s[pos] == '-';
    ++pos;
  }
  long long magnitude = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
    if (magnitude < 1000000) magnitude = magnitude * 10 + (s[pos] - '0');
    ++pos;
  }
  long long v = negative ? -magnitude : magnitude;
  if (v > SHRT_MAX) v = SHRT_MAX;
  if (v < SHRT_MIN) v = SHRT_MIN;
  value = static_cast<int>(v);
  return pos;
}

void readWindowSwitch(CommandLine& cl) {
  std::string& t = cl.tail;
  std::size_t at = findSwitch(t, "/w=", false);
  if (at == npos) return;
  cl.hasWindowSwitch = true;
  std::size_t blank = t.find(' ', at);
  std::size_t end = blank == npos ? t.size() : blank;
  std::string_view text = std::string_view(t).substr(0, end);
  std::optional<int>* fields[] = {&cl.top, &cl.left, &cl.width, &cl.height};
  std::size_t pos = at + 3;
  for (std::optional<int>* field : fields) {
    if (pos >= end) break;
    int value = 0;
    pos = readInteger(text, pos, value);
    *field = value;
    ++pos;  // the character that ended the number is its separator
  }
  t.erase(at, end - at);  // the blank behind the switch stays
}

void readPositionalArguments(CommandLine& cl) {
  const std::string& t = cl.tail;
  // Skip the program name.
  std::size_t separator = (!t.empty() && t[0] == '"') ? t.find('"', 1) : t.find(' ');
  if (separator == npos) return;

  // The first argument is read and discarded.
  std::size_t pos = separator + 1;
  std::size_t terminator;
  if (pos < t.size() && t[pos] == '"') {
    terminator = t.find('"', pos + 1);
  } else {
    while (pos < t.size() && t[pos] == ' ') ++pos;
    terminator = t.find(' ', pos);
  }
  if (terminator == npos) return;

  // The second argument is the retrieval file.
  pos = terminator + 1;
  std::string_view arg;
  if (pos < t.size() && t[pos] == '"') {
    std::size_t quote = t.find('"', pos + 1);
    std::size_t end = quote == npos ? t.size() : quote;
    arg = std::string_view(t).substr(pos + 1, end - pos - 1);
  } else {
    while (pos < t.size() && t[pos] == ' ') ++pos;
    std::size_t blank = t.find(' ', pos);
    std::size_t end = blank == npos ? t.size() : blank;
    arg = std::string_view(t).substr(pos, end - pos);
    while (!arg.empty() && arg.back() == ' ') arg.remove_suffix(1);
  }
  cl.startRetrievalFile = std::string(firstCharacters(arg, kCommandLinePathChars));
}

}  // namespace

CommandLine parseCommandLine(std::string_view line) {
  CommandLine cl;
  cl.tail = std::string(line);
  readDirectorySwitch(cl);
  readCloseSwitch(cl);
  readWindowSwitch(cl);
  readPositionalArguments(cl);
  return cl;
}

namespace {

bool isSwitch(std::string_view arg) {
  return arg == "/c" || arg.starts_with("/d=") || arg.starts_with("/w=");
}

// "/d=VALUE" as the parser's quoted-value form reads it: the value in
// double quotes, any quotes the user typed around it dropped.
std::string quotedDirectorySwitch(std::string_view arg) {
  std::string_view value = arg.substr(3);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return "/d=\"" + std::string(value) + "\"";
}

}  // namespace

std::string rebuildCommandLine(int argc, const char* const* argv) {
  std::string positional, switches;
  bool previousQuoted = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i] ? argv[i] : "";
    const bool quoted = arg.empty() || arg.find(' ') != npos;
    if (isSwitch(arg)) {
      switches += ' ';
      switches += arg.starts_with("/d=") && quoted ? quotedDirectorySwitch(arg) : std::string(arg);
      continue;
    }
    // The parser reads a quoted argument behind a quoted one only when its
    // quote directly follows the other's closing quote.
    if (!(quoted && previousQuoted)) positional += ' ';
    positional += quoted ? "\"" + std::string(arg) + "\"" : std::string(arg);
    previousQuoted = quoted;
  }
  return "vodbc" + positional + switches;
}

TaskWindowPlacement placeTaskWindow(const CommandLine& cl, int screenWidth, int screenHeight) {
  TaskWindowPlacement p;
  p.top = (screenHeight - kDefaultTaskHeight) / 5;
  p.left = (screenWidth - kDefaultTaskWidth) / 5;
  if (!cl.hasWindowSwitch) return p;
  if (cl.top) p.top = *cl.top;
  if (cl.left) p.left = *cl.left;
  if (cl.width) p.width = *cl.width;
  if (cl.height) p.height = *cl.height;
  return p;
}

}  // namespace vodbc
