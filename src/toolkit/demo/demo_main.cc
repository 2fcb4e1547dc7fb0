// vodbc-toolkit-demo: opens the toolkit demo dialog from its resource, as
// the program's own windows are opened; used by the toolkit's scripted
// tests and by scripts/screenshot.
//
// At start and on "Database..." (menu 1001) it runs the demo dialog and
// prints the result on stdout; "About..." (1004) opens the About box
// modelessly; "Exit" (1002, 1006) and the close box end it. The standard
// help commands reach a help hook that shows a note.
#include <cstdio>

#include "toolkit/backend.h"
#include "toolkit/demo/demo_dialog.h"
#include "toolkit/placement.h"
#include "toolkit/qt/choose_backend.h"
#include "toolkit/toolkit.h"

namespace {

using namespace toolkit;

demo::DemoData data;

void runDemo() {
  if (!runModalDialog(demo::kDemoDialog, demo::demoDialogHandler, &data, taskWindow())) {
    postError("Can't open dialog");
    return;
  }
  std::printf("%s\n", demo::describe(data).c_str());
  std::fflush(stdout);
}

void aboutHandler(Window w, const Event& e) {
  if (e.type == EventType::Create) {
    if (auto font = parseFontDescription("01\\times\\1\\14\\")) {
      setControlFont(w, 2, *font);
    }
    setControlColour(w, 2, ColourPart::Foreground, 255);
    setControlText(w, 3, "vodbc developers");
    setControlText(w, 4, "toolkit demo");
    centreOnTaskWindow(w);
  } else if (e.type == EventType::Update) {
    clearWindowBackground(w);
  } else if (e.type == EventType::Close || (e.type == EventType::Control && e.control == 1)) {
    destroyWindow(w);
  }
}

void taskHandler(Window w, const Event& e) {
  switch (e.type) {
    case EventType::Create: {
      const Rect screen = screenRect();
      moveWindow(
          w, Rect::fromPosition((screen.width() - 500) / 5, (screen.height() - 360) / 5, 500, 360));
      setVisible(w, true);
      runDemo();
      return;
    }
    case EventType::Command:
      if (e.tag == 1001) runDemo();
      if (e.tag == 1002 || e.tag == 1006) destroyApplication();
      if (e.tag == 1004 && !openModelessDialog(107, aboutHandler, nullptr)) {
        postError("Can't open dialog");
      }
      return;
    case EventType::Close:
      destroyApplication();
      return;
    case EventType::Quit:
      if (e.query)
        allowQuit();
      else
        destroyApplication();
      return;
    default:
      return;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!installChosenBackend(argc, argv)) return 2;
  if (!demo::addDemoResources()) return 2;
  setHelpHook([](Window w, const Event& e) {
    postNote(formatText("Help requested (command %d, window %d)", e.tag, windowResourceId(w)));
    return false;
  });
  AppConfig config;
  config.taskTitle = "Toolkit Demo";
  return runApplication(config, taskHandler);
}
