// Scripted sessions: the script that plays the user and the transcript of
// what the user would see. The rules of both are in session.h.
#include "toolkit/session.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "text/utf8.h"
#include "toolkit/window_table.h"

namespace toolkit {

// ---- The session ------------------------------------------------------------------

namespace {

struct SessionState {
  bool active = false;
  bool hasScript = false;
  std::vector<std::string> lines;
  std::size_t next = 0;  // index of the next line to read
  int lineNumber = 0;    // number of the line read last
  std::FILE* file = nullptr;
  std::vector<std::string> transcript;
};

SessionState& session() {
  static SessionState s;
  return s;
}

[[noreturn]] void fail(const std::string& message) {
  if (session().file) std::fflush(session().file);
  std::fflush(stdout);
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
  std::fflush(stderr);
  std::_Exit(3);
}

[[noreturn]] void failLine(const std::string& message) {
  fail("script line " + std::to_string(session().lineNumber) + ": " + message);
}

void writeLine(const std::string& line) {
  auto& s = session();
  s.transcript.push_back(line);
  if (s.file) {
    std::fputs(line.c_str(), s.file);
    std::fputc('\n', s.file);
    std::fflush(s.file);
  }
}

// The next command, or false when the script has run out.
bool nextCommand(ScriptCommand& command) {
  auto& s = session();
  while (s.hasScript && s.next < s.lines.size()) {
    s.lineNumber = static_cast<int>(s.next) + 1;
    std::string error;
    if (!parseScriptLine(s.lines[s.next++], command, error)) failLine(error);
    if (command.verb != ScriptCommand::Verb::None) return true;
  }
  return false;
}

std::vector<std::string> splitParagraphs(std::string_view text) {
  std::vector<std::string> pars;
  if (text.empty()) return pars;
  std::size_t start = 0;
  while (true) {
    const auto end = text.find('\n', start);
    pars.emplace_back(text.substr(start, end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return pars;
}

bool isList(ControlKind k) {
  return k == ControlKind::List || k == ControlKind::MultiList || k == ControlKind::DropDown;
}

std::string windowLabel(Window w) {
  const WindowResource* res = windowResource(w);
  return res ? std::to_string(res->id) : std::string("task");
}

std::string renderList(const std::string& prefix, const std::vector<std::string>& items,
                       const std::vector<int>& selected) {
  std::string line = prefix + ":";
  for (std::size_t i = 0; i < items.size(); ++i) {
    bool isSelected = false;
    for (int s : selected) isSelected |= s == static_cast<int>(i);
    line += isSelected ? " *" : " ";
    line += quoteText(items[i]);
  }
  return line;
}

std::string renderText(const std::string& prefix, const std::vector<std::string>& pars) {
  std::string line = prefix + ":";
  for (const auto& p : pars) line.append(" ").append(quoteText(p));
  return line;
}

std::string prefixFor(const char* word, Window w, int control) {
  return std::string(word) + " " + windowLabel(w) + " " + std::to_string(control);
}

// The transcript line of a control as it stands now.
std::string renderControl(Window w, const ControlResource& c) {
  Backend* b = backend();
  if (isList(c.kind)) {
    return renderList(prefixFor("list", w, c.id), b->listItems(w, c.id), b->listSelection(w, c.id));
  }
  if (c.kind == ControlKind::TextEdit) {
    return renderText(prefixFor("text", w, c.id), b->textParagraphs(w, c.id));
  }
  if (c.kind == ControlKind::Check) {
    return prefixFor("check", w, c.id) + (b->isChecked(w, c.id) ? " on" : " off");
  }
  return prefixFor("set", w, c.id) + " " + quoteText(b->controlText(w, c.id));
}

// The line of a control as its resource makes it.
std::string renderInitial(Window w, const ControlResource& c) {
  if (isList(c.kind)) return renderList(prefixFor("list", w, c.id), {}, {});
  if (c.kind == ControlKind::TextEdit) {
    return renderText(prefixFor("text", w, c.id), splitParagraphs(c.text));
  }
  if (c.kind == ControlKind::Check) return prefixFor("check", w, c.id) + " off";
  return prefixFor("set", w, c.id) + " " + quoteText(c.text);
}

void flushWindow(detail::WindowRecord& r) {
  Backend* b = backend();
  const Window w = r.handle;
  const std::string label = windowLabel(w);
  const std::string t = b->title(w);
  if (!r.announced) {
    r.announced = true;
    r.reportedTitle = t;
    writeLine("open " + label + " " + quoteText(t));
    if (r.resource) {
      for (const auto& c : r.resource->controls) {
        r.reported[c.id] = renderInitial(w, c);
      }
    }
  } else if (t != r.reportedTitle) {
    r.reportedTitle = t;
    writeLine("title " + label + " " + quoteText(t));
  }
  if (!r.resource) return;
  for (const auto& c : r.resource->controls) {
    std::string now = renderControl(w, c);
    if (r.reported[c.id] != now) {
      writeLine(now);
      r.reported[c.id] = std::move(now);
    }
  }
}

}  // namespace

void startSession(std::optional<std::string> scriptText, const std::string& transcriptPath) {
  endSession();
  auto& s = session();
  s.active = true;
  s.hasScript = scriptText.has_value();
  if (scriptText) {
    std::istringstream in(*scriptText);
    for (std::string line; std::getline(in, line);) s.lines.push_back(line);
  }
  if (!transcriptPath.empty()) s.file = std::fopen(transcriptPath.c_str(), "w");
}

bool startSessionFromEnvironment(std::string& error) {
  const char* scriptPath = std::getenv("VODBC_SCRIPT");
  const char* transcriptPath = std::getenv("VODBC_TRANSCRIPT");
  std::optional<std::string> script;
  if (scriptPath && *scriptPath) {
    std::ifstream in(scriptPath, std::ios::binary);
    if (!in) {
      error = std::string("cannot read the script ") + scriptPath;
      return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    script = text.str();
  }
  const std::string transcriptFile = transcriptPath && *transcriptPath ? transcriptPath : "";
  if (!script && transcriptFile.empty()) return true;
  startSession(script, transcriptFile);
  if (!transcriptFile.empty() && !session().file) {
    // Sessions start on the GUI thread before any worker runs.
    error = "cannot create the transcript " + transcriptFile + ": " +
            std::strerror(errno);  // NOLINT(concurrency-mt-unsafe)
    endSession();
    return false;
  }
  return true;
}

void endSession() {
  auto& s = session();
  if (s.file) std::fclose(s.file);
  s = SessionState{};
}

bool scripted() { return session().active && session().hasScript; }
bool recording() { return session().active; }
std::vector<std::string> transcriptLines() { return session().transcript; }

void flushTranscript() {
  if (!recording() || !backend()) return;
  auto& c = detail::core();
  if (detail::WindowRecord* task = detail::findRecord(c.task)) {
    if (!task->destroying || task->announced) flushWindow(*task);
  }
  for (Window w : std::vector<Window>(c.order)) {
    detail::WindowRecord* r = detail::findRecord(w);
    // A window is announced once it is visible; one destroyed before the
    // user could see it never is.
    if (r && (r->announced || (!r->destroying && backend()->isVisible(w)))) {
      flushWindow(*r);
    }
  }
}

void transcript(std::string_view line) {
  if (!recording()) return;
  flushTranscript();
  writeLine(std::string(line));
}

// ---- Carrying out script lines --------------------------------------------------

namespace {

std::string describeWindow(Window w) {
  const WindowResource* res = windowResource(w);
  if (!res) return "the task window " + quoteText(backend()->title(w));
  return "window " + std::to_string(res->id) + " " + quoteText(backend()->title(w));
}

bool toInt(std::string_view s, int& out) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

const ControlResource& resolveControl(Window top, const std::string& ctl) {
  const WindowResource* res = windowResource(top);
  if (!res) failLine("the task window has no control " + ctl);
  int id = 0;
  const ControlResource* c = toInt(ctl, id) ? res->control(id) : res->controlByName(ctl);
  if (!c) failLine("no control " + ctl + " in " + describeWindow(top));
  return *c;
}

std::string controlLabel(Window top, const ControlResource& c) {
  return "control " + std::to_string(c.id) + " of window " + windowLabel(top);
}

int resolveItem(Window top, const ControlResource& c, const ScriptCommand& cmd) {
  const auto items = backend()->listItems(top, c.id);
  if (cmd.byIndex) {
    if (cmd.number >= static_cast<int>(items.size())) {
      failLine("no item " + std::to_string(cmd.number) + " in list " + std::to_string(c.id) +
               " of window " + windowLabel(top) + " (" + std::to_string(items.size()) + " items)");
    }
    return cmd.number;
  }
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == cmd.value) return static_cast<int>(i);
  }
  failLine("no item " + quoteText(cmd.value) + " in list " + std::to_string(c.id) + " of window " +
           windowLabel(top));
}

void requireKind(Window top, const ControlResource& c, bool ok, const char* what) {
  if (!ok) failLine(controlLabel(top, c) + " is not " + what);
}

// What the user's own hand changes is not reported back as a change.
void expectReported(Window w, int control, std::string line) {
  if (detail::WindowRecord* r = detail::findRecord(w)) {
    if (r->announced) r->reported[control] = std::move(line);
  }
}

void typeInto(Window top, const ControlResource& c, const std::string& text) {
  if (c.kind == ControlKind::TextEdit) {
    expectReported(top, c.id, renderText(prefixFor("text", top, c.id), splitParagraphs(text)));
  } else {
    expectReported(top, c.id, prefixFor("set", top, c.id) + " " + quoteText(text));
  }
  UserAction a;
  a.kind = UserAction::Kind::SetText;
  a.control = c.id;
  a.text = text;
  backend()->perform(top, a);
}

bool modalOpen() {
  for (Window w : detail::core().order) {
    const detail::WindowRecord* r = detail::findRecord(w);
    if (r && r->modal && !r->destroying) return true;
  }
  return false;
}

void carryOut(const ScriptCommand& cmd) {
  using V = ScriptCommand::Verb;
  using K = UserAction::Kind;
  const Window top = topWindow();
  Backend* b = backend();
  UserAction a;
  switch (cmd.verb) {
    case V::Answer:
      failLine("no message box is open (" + describeWindow(top) + " is waiting)");
    case V::File:
      failLine("no file dialog is open (" + describeWindow(top) + " is waiting)");
    case V::WindowIs: {
      const int id = windowResourceId(top);
      if (cmd.isTask ? id != 0 : id != cmd.number) {
        failLine(
            "the top window is " + describeWindow(top) + ", not " +
            (cmd.isTask ? std::string("the task window") : "window " + std::to_string(cmd.number)));
      }
      return;
    }
    case V::Connect: {
      const WindowResource* res = windowResource(top);
      const ControlResource* edit = res ? res->controlByName("connection") : nullptr;
      const ControlResource* ok = res ? res->controlByName("ok") : nullptr;
      const ControlResource* cancel = res ? res->controlByName("cancel") : nullptr;
      if (!edit || !ok || !cancel || edit->kind != ControlKind::Edit) {
        failLine(describeWindow(top) + " is not a data-source dialog");
      }
      if (!cmd.cancel) {
        typeInto(top, *edit, cmd.value);
        if (!windowExists(top)) return;
      }
      a.kind = K::Press;
      a.control = cmd.cancel ? cancel->id : ok->id;
      b->perform(top, a);
      return;
    }
    case V::Close:
      a.kind = K::Close;
      b->perform(top, a);
      return;
    case V::Menu: {
      if (modalOpen()) failLine("no menu while " + describeWindow(top) + " is open");
      const MenuBarResource* bar = resources().menuBar(detail::core().config.menuBarResource);
      bool known = bar && bar->hasCommand(cmd.number);
      for (const auto& key : bar ? bar->keys : std::vector<KeyBinding>()) {
        known |= key.tag == cmd.number;
      }
      if (!known) {
        failLine("no command " + std::to_string(cmd.number) + " in the menu bar");
      }
      a.kind = K::Menu;
      a.tag = cmd.number;
      b->perform(taskWindow(), a);
      return;
    }
    default:
      break;
  }

  const ControlResource& c = resolveControl(top, cmd.control);
  a.control = c.id;
  switch (cmd.verb) {
    case V::Select:
    case V::DoubleClick: {
      requireKind(top, c, isList(c.kind), "a list");
      a.kind = cmd.verb == V::Select ? K::Select : K::DoubleClick;
      a.index = resolveItem(top, c, cmd);
      expectReported(top, c.id,
                     renderList(prefixFor("list", top, c.id), b->listItems(top, c.id), {a.index}));
      break;
    }
    case V::MultiSelect: {
      requireKind(top, c, isList(c.kind), "a list");
      if (c.kind != ControlKind::MultiList && cmd.indices.size() > 1) {
        failLine(controlLabel(top, c) + " takes one selection");
      }
      for (int i : cmd.indices) {
        ScriptCommand one;
        one.byIndex = true;
        one.number = i;
        resolveItem(top, c, one);
      }
      a.kind = K::MultiSelect;
      a.indices = cmd.indices;
      expectReported(top, c.id,
                     renderList(prefixFor("list", top, c.id), b->listItems(top, c.id), a.indices));
      break;
    }
    case V::Check:
      requireKind(top, c, c.kind == ControlKind::Check, "a check box");
      a.kind = K::Check;
      a.on = cmd.on;
      expectReported(top, c.id, prefixFor("check", top, c.id) + (cmd.on ? " on" : " off"));
      break;
    case V::Text:
      requireKind(top, c, c.kind == ControlKind::Edit || c.kind == ControlKind::TextEdit,
                  "an edit");
      typeInto(top, c, cmd.value);
      return;
    case V::Caret: {
      requireKind(top, c, c.kind == ControlKind::TextEdit, "a text edit");
      const auto pars = b->textParagraphs(top, c.id);
      const bool emptyStart = pars.empty() && cmd.number == 0 && cmd.number2 == 0;
      const bool inText = cmd.number < static_cast<int>(pars.size()) &&
                          cmd.number2 <= static_cast<int>(vodbc::countCharacters(pars[cmd.number]));
      if (!emptyStart && !inText) {
        failLine("no position " + std::to_string(cmd.number) + " " + std::to_string(cmd.number2) +
                 " in " + controlLabel(top, c));
      }
      a.kind = K::SetCaret;
      a.caret = TextPosition{cmd.number, 0, cmd.number2};
      break;
    }
    case V::Click:
      requireKind(top, c, c.kind == ControlKind::Button || c.kind == ControlKind::Check,
                  "a button");
      a.kind = K::Press;
      break;
    default:
      return;
  }
  b->perform(top, a);
}

}  // namespace

void scriptStep() {
  flushTranscript();
  ScriptCommand cmd;
  if (!nextCommand(cmd)) {
    fail("script ran out while waiting for " + describeWindow(topWindow()));
  }
  carryOut(cmd);
}

int scriptAnswerMessage(MessageKind kind, std::string_view text,
                        const std::vector<std::string>& buttons) {
  static const char* const words[] = {"error", "warning", "note", "ask"};
  const std::string what = std::string(words[static_cast<int>(kind)]) + " " + quoteText(text);
  flushTranscript();
  ScriptCommand cmd;
  if (!nextCommand(cmd)) fail("script ran out while waiting for an answer to " + what);
  if (cmd.verb != ScriptCommand::Verb::Answer) {
    failLine("expected 'answer LABEL' for " + what);
  }
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (buttons[i] == cmd.value) return static_cast<int>(i);
  }
  std::string offered;
  for (const auto& label : buttons) offered.append(" ").append(quoteText(label));
  failLine("no button " + quoteText(cmd.value) + " in " + what + " (buttons" + offered + ")");
}

std::optional<std::string> scriptAnswerFile(bool save, const FileSpec& spec,
                                            std::string_view title) {
  const std::string what = std::string(save ? "save" : "open") + " file dialog " + quoteText(title);
  flushTranscript();
  ScriptCommand cmd;
  if (!nextCommand(cmd)) fail("script ran out while waiting for the " + what);
  if (cmd.verb != ScriptCommand::Verb::File) {
    failLine("expected 'file PATH' or 'file cancel' for the " + what);
  }
  if (cmd.cancel) return std::nullopt;
  if (!cmd.value.empty() && cmd.value.front() == '/') return cmd.value;
  std::string dir = spec.directory.empty() ? currentDirectory() : spec.directory;
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir + cmd.value;
}

}  // namespace toolkit
