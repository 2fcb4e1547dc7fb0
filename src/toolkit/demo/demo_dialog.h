// A small dialog that uses every kind of control the toolkit offers; the
// toolkit's tests and the demo program open it, and its results show
// whether events and control contents went through.
#pragma once

#include <string>
#include <vector>

#include "toolkit/types.h"

namespace toolkit::demo {

inline constexpr int kDemoDialog = 9001;

// Filled by the dialog when it closes with OK; `ok` false otherwise.
struct DemoData {
  std::string name;                // edit 6, also the initial text
  std::vector<std::string> notes;  // text edit 7, also the initial text
  bool save = false;               // check box 8, also its initial mark
  int fruit = -1;                  // list 3
  std::vector<int> colours;        // multi-selection list 4
  int size = -1;                   // drop-down list 5 (starts at 1)
  std::string file;                // chosen by "Open..."
  int answer = -1;                 // button pressed in the "Ask..." question
  int doubleClicks = 0;            // double clicks on list 3
  bool ok = false;
};

// Registers the demo dialog's resource (with the built-in ones).
bool addDemoResources();

// The dialog's handler; the window's data is a DemoData.
//  - list 3: a selection shows "Fruit: NAME" in static 13; a double click
//    adds the fruit as a paragraph of text edit 7.
//  - "Add" (9) inserts edit 6's text at the caret of text edit 7.
//  - check 8 toggles; "Ask..." (10) asks "Keep the notes?" Yes/No/Cancel
//    and clears the notes on No; "Open..." (11) asks for a "txt" file.
//  - OK (1) with no notes asks "No notes. Close anyway?" No/Yes first.
void demoDialogHandler(Window w, const Event& e);

// Describes the data in one line, for the demo program's output.
std::string describe(const DemoData& d);

}  // namespace toolkit::demo
