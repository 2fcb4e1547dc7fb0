// A parsed layout as text, one line per window, control and menu
// entry, so that a whole layout is compared at once and a difference shows
// as a line.
#pragma once

#include <string>
#include <vector>

#include "toolkit/resource.h"
#include "toolkit/session.h"

namespace toolkit::testing {

inline std::string listing(const WindowResource& w) {
  static const char* const kinds[] = {"button", "static",    "edit",     "textedit",
                                      "list",   "multilist", "dropdown", "check"};
  static const char* const alignments[] = {"", " centre", " right"};
  std::string s = (w.resizable ? "window " : "dialog ") + std::to_string(w.id) + " " +
                  quoteText(w.title) + " " + std::to_string(w.width) + "x" +
                  std::to_string(w.height);
  if (w.hasPosition) s += " at " + std::to_string(w.x) + " " + std::to_string(w.y);
  for (const ControlResource& c : w.controls) {
    s += "\n  " + std::to_string(c.id) + " " + kinds[static_cast<int>(c.kind)] + " " +
         quoteText(c.text) + " " + std::to_string(c.x) + " " + std::to_string(c.y) + " " +
         std::to_string(c.width) + " " + std::to_string(c.height) +
         (c.isDefault ? " default" : "") + (c.hidden ? " hidden" : "") +
         (c.disabled ? " disabled" : "") + (c.readOnly ? " readonly" : "") +
         (c.stretch ? " stretch" : "") + alignments[static_cast<int>(c.alignment)] +
         (c.name.empty() ? "" : " name=" + c.name);
  }
  if (!w.tabOrder.empty()) s += "\n  tab";
  for (int id : w.tabOrder) s += " " + std::to_string(id);
  return s + "\n";
}

inline std::string listing(const std::vector<MenuEntry>& entries, const std::string& indent) {
  std::string s;
  for (const MenuEntry& e : entries) {
    if (e.kind == MenuEntry::Kind::Separator) s += indent + "-\n";
    if (e.kind == MenuEntry::Kind::Command) {
      s += indent + std::to_string(e.tag) + " " + quoteText(e.label) + "\n";
    }
    if (e.kind == MenuEntry::Kind::Submenu) {
      s += indent + quoteText(e.label) + "\n" + listing(e.entries, indent + "  ");
    }
  }
  return s;
}

// The entries, then the key table on one line.
inline std::string listing(const MenuBarResource& m) {
  std::string s = "menubar " + std::to_string(m.id) + "\n" + listing(m.entries, "  ");
  for (const KeyBinding& k : m.keys) s += k.key + "=" + std::to_string(k.tag) + " ";
  return s;
}

}  // namespace toolkit::testing
