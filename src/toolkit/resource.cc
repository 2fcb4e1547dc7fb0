#include "toolkit/resource.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace toolkit {

const ControlResource* WindowResource::control(int controlId) const {
  for (const auto& c : controls) {
    if (c.id == controlId) return &c;
  }
  return nullptr;
}

const ControlResource* WindowResource::controlByName(std::string_view n) const {
  if (n.empty()) return nullptr;
  for (const auto& c : controls) {
    if (c.name == n) return &c;
  }
  return nullptr;
}

namespace {

bool hasTag(const std::vector<MenuEntry>& entries, int tag) {
  for (const auto& e : entries) {
    if (e.kind == MenuEntry::Kind::Command && e.tag == tag) return true;
    if (e.kind == MenuEntry::Kind::Submenu && hasTag(e.entries, tag)) {
      return true;
    }
  }
  return false;
}

// Splits one line into words; a double-quoted word keeps its blanks and
// has its escapes resolved. `quoted` tells which words were quoted.
bool splitWords(std::string_view line, std::vector<std::string>& words, std::vector<bool>& quoted,
                std::string& error) {
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\' && i < line.size()) {
          char e = line[i++];
          switch (e) {
            case 'n':
              word += '\n';
              break;
            case 't':
              word += '\t';
              break;
            case '"':
              word += '"';
              break;
            case '\\':
              word += '\\';
              break;
            default:
              error = std::string("unknown escape \\") + e;
              return false;
          }
        } else {
          word += c;
        }
      }
      if (!closed) {
        error = "text without its closing quote";
        return false;
      }
      words.push_back(word);
      quoted.push_back(true);
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
        word += line[i++];
      }
      words.push_back(word);
      quoted.push_back(false);
    }
  }
  return true;
}

bool toInt(const std::string& s, int& out) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

bool validName(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  }
  return true;
}

bool validKey(const std::string& key) {
  std::string_view rest = key;
  for (std::string_view prefix : {"Shift+", "Ctrl+", "Alt+"}) {
    if (rest.substr(0, prefix.size()) == prefix) rest.remove_prefix(prefix.size());
  }
  if (rest.size() < 2 || rest[0] != 'F') return false;
  int n = 0;
  if (!toInt(std::string(rest.substr(1)), n)) return false;
  return n >= 1 && n <= 12;
}

struct Parser {
  std::string_view origin;
  int lineNumber = 0;
  std::string* error = nullptr;

  bool fail(const std::string& what) {
    *error = std::string(origin) + ":" + std::to_string(lineNumber) + ": " + what;
    return false;
  }

  // Reads "at X Y" / "size W H" pairs starting at words[i].
  bool readPair(const std::vector<std::string>& w, std::size_t& i, const char* keyword, int& a,
                int& b) {
    if (i + 2 >= w.size() || w[i] != keyword || !toInt(w[i + 1], a) || !toInt(w[i + 2], b)) {
      return fail(std::string("expected '") + keyword + " N N'");
    }
    i += 3;
    return true;
  }

  bool parseWindowHeader(const std::vector<std::string>& w, const std::vector<bool>& q,
                         WindowResource& r) {
    r.resizable = w[0] == "window";
    if (w.size() < 6 || !toInt(w[1], r.id) || r.id <= 0 || !q[2]) {
      return fail("expected '" + w[0] + " ID \"TITLE\" size W H [at X Y]'");
    }
    r.title = w[2];
    std::size_t i = 3;
    if (!readPair(w, i, "size", r.width, r.height)) return false;
    if (i < w.size()) {
      if (!readPair(w, i, "at", r.x, r.y)) return false;
      r.hasPosition = true;
    }
    if (i != w.size()) return fail("unexpected '" + w[i] + "'");
    return true;
  }

  bool parseTabOrder(const std::vector<std::string>& w, WindowResource& r) {
    if (!r.tabOrder.empty()) return fail("a second 'tab' line");
    for (std::size_t i = 1; i < w.size(); ++i) {
      int id = 0;
      if (!toInt(w[i], id) || !r.control(id)) return fail("'tab' names no control '" + w[i] + "'");
      if (std::find(r.tabOrder.begin(), r.tabOrder.end(), id) != r.tabOrder.end()) {
        return fail("'tab' names control " + w[i] + " twice");
      }
      r.tabOrder.push_back(id);
    }
    if (r.tabOrder.size() < 2) return fail("expected 'tab ID ID ...'");
    return true;
  }

  bool parseControl(const std::vector<std::string>& w, const std::vector<bool>& q,
                    WindowResource& r) {
    if (w[0] == "tab") return parseTabOrder(w, r);
    if (!r.tabOrder.empty()) return fail("a control after the 'tab' line");
    static const std::pair<const char*, ControlKind> kinds[] = {
        {"button", ControlKind::Button},     {"static", ControlKind::Static},
        {"edit", ControlKind::Edit},         {"textedit", ControlKind::TextEdit},
        {"list", ControlKind::List},         {"multilist", ControlKind::MultiList},
        {"dropdown", ControlKind::DropDown}, {"check", ControlKind::Check}};
    ControlResource c;
    bool known = false;
    for (const auto& [word, kind] : kinds) {
      if (w[0] == word) {
        c.kind = kind;
        known = true;
      }
    }
    if (!known) return fail("unknown statement '" + w[0] + "'");
    if (w.size() < 2 || !toInt(w[1], c.id) || c.id <= 0) {
      return fail("expected a control id after '" + w[0] + "'");
    }
    if (r.control(c.id)) return fail("control " + w[1] + " defined twice");
    std::size_t i = 2;
    if (i < w.size() && q[i]) c.text = w[i++];
    if (!readPair(w, i, "at", c.x, c.y)) return false;
    if (!readPair(w, i, "size", c.width, c.height)) return false;
    while (i < w.size()) {
      const std::string& o = w[i++];
      if (o == "default") {
        c.isDefault = true;
      } else if (o == "hidden") {
        c.hidden = true;
      } else if (o == "disabled") {
        c.disabled = true;
      } else if (o == "readonly") {
        c.readOnly = true;
      } else if (o == "stretch") {
        c.stretch = true;
      } else if (o == "centre") {
        c.alignment = Alignment::Centre;
      } else if (o == "right") {
        c.alignment = Alignment::Right;
      } else if (o == "name") {
        if (i >= w.size() || !validName(w[i])) {
          return fail("expected a name of letters, digits and '_' after 'name'");
        }
        if (r.controlByName(w[i])) return fail("name '" + w[i] + "' used twice");
        c.name = w[i++];
      } else {
        return fail("unknown option '" + o + "'");
      }
    }
    r.controls.push_back(std::move(c));
    return true;
  }

  bool parseMenuLine(const std::vector<std::string>& w, const std::vector<bool>& q,
                     MenuBarResource& m, MenuEntry*& open) {
    std::vector<MenuEntry>& into = open ? open->entries : m.entries;
    if (w[0] == "menu") {
      if (open) return fail("a menu inside a menu");
      if (w.size() != 2 || !q[1]) return fail("expected 'menu \"TEXT\"'");
      MenuEntry e;
      e.kind = MenuEntry::Kind::Submenu;
      e.label = w[1];
      m.entries.push_back(std::move(e));
      open = &m.entries.back();
    } else if (w[0] == "end") {
      if (!open || w.size() != 1) return fail("'end' without a menu");
      open = nullptr;
    } else if (w[0] == "item") {
      MenuEntry e;
      if (w.size() != 3 || !toInt(w[1], e.tag) || e.tag <= 0 || !q[2]) {
        return fail("expected 'item TAG \"TEXT\"'");
      }
      if (m.hasCommand(e.tag)) return fail("tag " + w[1] + " used twice");
      e.label = w[2];
      into.push_back(std::move(e));
    } else if (w[0] == "separator") {
      if (!open || w.size() != 1) return fail("'separator' outside a menu");
      MenuEntry e;
      e.kind = MenuEntry::Kind::Separator;
      into.push_back(std::move(e));
    } else if (w[0] == "key") {
      KeyBinding k;
      if (w.size() != 3 || !validKey(w[1]) || !toInt(w[2], k.tag)) {
        return fail("expected 'key [Shift+|Ctrl+|Alt+]F1..F12 TAG'");
      }
      k.key = w[1];
      m.keys.push_back(std::move(k));
    } else {
      return fail("unknown statement '" + w[0] + "'");
    }
    return true;
  }
};

}  // namespace

bool MenuBarResource::hasCommand(int tag) const { return hasTag(entries, tag); }

bool parseResource(std::string_view text, std::string_view origin, ParsedResource& out,
                   std::string& error) {
  out = ParsedResource{};
  Parser p{origin, 0, &error};
  MenuEntry* openMenu = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++p.lineNumber;
    std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos || line[first] == '#') continue;
    std::vector<std::string> words;
    std::vector<bool> quoted;
    std::string why;
    if (!splitWords(line, words, quoted, why)) return p.fail(why);
    const bool first_statement = !out.window && !out.menuBar;
    if (first_statement) {
      if (words[0] == "dialog" || words[0] == "window") {
        out.window = std::make_unique<WindowResource>();
        if (!p.parseWindowHeader(words, quoted, *out.window)) return false;
      } else if (words[0] == "menubar") {
        out.menuBar = std::make_unique<MenuBarResource>();
        if (words.size() != 2 || !toInt(words[1], out.menuBar->id) || out.menuBar->id <= 0) {
          return p.fail("expected 'menubar ID'");
        }
      } else {
        return p.fail("a resource begins with 'dialog', 'window' or 'menubar'");
      }
    } else if (out.window) {
      if (!p.parseControl(words, quoted, *out.window)) return false;
    } else {
      if (!p.parseMenuLine(words, quoted, *out.menuBar, openMenu)) return false;
    }
  }
  if (!out.window && !out.menuBar) {
    p.lineNumber = std::max(p.lineNumber, 1);
    return p.fail("no resource in the file");
  }
  if (openMenu) return p.fail("menu \"" + openMenu->label + "\" without 'end'");
  return true;
}

bool ResourceTable::add(std::string_view text, std::string_view origin, std::string& error) {
  ParsedResource parsed;
  if (!parseResource(text, origin, parsed, error)) return false;
  if (parsed.window) {
    const int id = parsed.window->id;
    windows_[id] = std::shared_ptr<const WindowResource>(std::move(parsed.window));
  } else {
    const int id = parsed.menuBar->id;
    menuBars_[id] = std::shared_ptr<const MenuBarResource>(std::move(parsed.menuBar));
  }
  return true;
}

const WindowResource* ResourceTable::window(int id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second.get();
}

const MenuBarResource* ResourceTable::menuBar(int id) const {
  auto it = menuBars_.find(id);
  return it == menuBars_.end() ? nullptr : it->second.get();
}

void ResourceTable::clear() {
  windows_.clear();
  menuBars_.clear();
}

ResourceTable& resources() {
  static ResourceTable table;
  return table;
}

}  // namespace toolkit
