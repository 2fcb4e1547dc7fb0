#include "toolkit/demo/demo_dialog.h"

#include <string>
#include <utility>
#include <vector>

#include "text/utf8.h"
#include "toolkit/placement.h"
#include "toolkit/resource.h"
#include "toolkit/toolkit.h"

namespace toolkit {
std::vector<std::pair<const char*, const char*>> demoResourceTexts();
}

namespace toolkit::demo {
namespace {

constexpr int kFruits = 3, kColours = 4, kSize = 5, kName = 6, kNotes = 7, kSave = 8, kAdd = 9,
              kAsk = 10, kOpen = 11, kStatus = 13;

// Inserts `text` into the paragraph holding the caret, at the caret.
void insertAtCaret(Window w, const std::string& text) {
  if (textParagraphCount(w, kNotes) == 0) {
    textAppendParagraph(w, kNotes, text);
    return;
  }
  const TextPosition caret = textSelection(w, kNotes).start;
  std::string par = textParagraph(w, kNotes, caret.paragraph);
  // The caret counts characters; insert at the byte where it stands.
  par.insert(vodbc::characterOffset(par, static_cast<std::size_t>(caret.character)), text);
  textSetParagraph(w, kNotes, caret.paragraph, par);
  TextPosition after = caret;
  after.character += static_cast<int>(vodbc::countCharacters(text));
  setTextSelection(w, kNotes, TextSelection{after, after});
}

void fill(Window w, const DemoData& d) {
  listSuspend(w, kFruits);
  for (const char* f : {"Apple", "Banana", "Cherry"}) listAppend(w, kFruits, f);
  listResume(w, kFruits);
  for (const char* c : {"Red", "Green", "Blue"}) listAppend(w, kColours, c);
  for (const char* s : {"Small", "Medium", "Large"}) listAppend(w, kSize, s);
  listSetSelected(w, kSize, 1, true);
  setControlText(w, kName, d.name);
  textSuspend(w, kNotes);
  textClear(w, kNotes);
  for (const auto& n : d.notes) textAppendParagraph(w, kNotes, n);
  textResume(w, kNotes);
  setChecked(w, kSave, d.save);
}

void accept(Window w, DemoData& d) {
  std::vector<std::string> notes;
  for (int i = 0; i < textParagraphCount(w, kNotes); ++i) {
    notes.push_back(textLine(w, kNotes, i, 0));
  }
  if (notes.empty() && askChoice("No notes. Close anyway?", "No", "Yes") == 0) {
    return;
  }
  d.notes = notes;
  d.name = controlText(w, kName);
  d.fruit = listSelectedIndex(w, kFruits);
  d.colours = listSelectedIndices(w, kColours);
  d.size = listSelectedIndex(w, kSize);
  d.ok = true;
  destroyWindow(w);
}

}  // namespace

bool addDemoResources() {
  bool ok = addBuiltinResources();
  for (const auto& [origin, text] : demoResourceTexts()) {
    std::string error;
    ok = resources().add(text, origin, error) && ok;
  }
  return ok;
}

void demoDialogHandler(Window w, const Event& e) {
  auto* d = static_cast<DemoData*>(windowData(w));
  if (answerRepaintOrClose(w, e)) return;
  switch (e.type) {
    case EventType::Create:
      if (!d) {
        postError("Internal error: the demo dialog has no data");
        destroyWindow(w);
        return;
      }
      fill(w, *d);
      placeInTaskWindow(w);
      setFocus(w, kFruits);
      return;
    case EventType::Control:
      break;
    default:
      return;
  }
  if (!d) return;
  switch (e.control) {
    case kFruits: {
      const int i = listSelectedIndex(w, kFruits);
      if (e.action == ControlAction::SelectionChanged && i >= 0) {
        d->fruit = i;
        setControlText(w, kStatus, "Fruit: " + listItem(w, kFruits, i));
      } else if (e.action == ControlAction::DoubleClicked && i >= 0) {
        ++d->doubleClicks;
        textAppendParagraph(w, kNotes, listItem(w, kFruits, i));
      }
      return;
    }
    case kSave:
      d->save = !d->save;
      setChecked(w, kSave, d->save);
      return;
    case kAdd:
      insertAtCaret(w, controlText(w, kName));
      return;
    case kAsk:
      d->answer = askChoice("Keep the notes?", "Yes", "No", "Cancel");
      if (d->answer == 1) textClear(w, kNotes);
      return;
    case kOpen: {
      FileSpec spec{"", "txt", "*.txt"};
      if (openFileDialog(spec, "Open a text file") == FileDialogResult::Ok) {
        d->file = spec.directory + "/" + spec.name;
        setControlText(w, kStatus, "File: " + spec.name);
      } else {
        setControlText(w, kStatus, "No file");
      }
      return;
    }
    case 1:
      accept(w, *d);
      return;
    case 2:
      destroyWindow(w);
      return;
    default:
      return;
  }
}

std::string describe(const DemoData& d) {
  std::string s = d.ok ? "ok" : "cancelled";
  s += " name=\"" + d.name + "\" fruit=" + std::to_string(d.fruit) + " colours=";
  for (std::size_t i = 0; i < d.colours.size(); ++i) {
    s.append(i ? "," : "").append(std::to_string(d.colours[i]));
  }
  s += " size=" + std::to_string(d.size) + " save=" + (d.save ? "1" : "0") +
       " answer=" + std::to_string(d.answer) + " file=\"" + d.file + "\" notes=";
  for (std::size_t i = 0; i < d.notes.size(); ++i) {
    s += (i ? "|" : "") + d.notes[i];
  }
  return s;
}

}  // namespace toolkit::demo
