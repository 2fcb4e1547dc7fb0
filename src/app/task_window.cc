#include "app/task_window.h"

#include "app/command_line.h"
#include "app/help.h"
#include "app/program_state.h"
#include "app/run_and_save.h"
#include "dialogs/toolkit_query_windows.h"
#include "odbc/run/query_windows.h"
#include "sheet/paths.h"
#include "sheet/worksheet_settings.h"
#include "toolkit/placement.h"

namespace toolkit {
// Generated from resources/icons/vodbc.svg.
std::vector<std::pair<const char*, const char*>> programIconTexts();
}  // namespace toolkit

namespace vodbc {
namespace {

// The query windows open their help topics in the program's help window.
QueryWindows& queryWindows() {
  static ToolkitQueryWindows windows([](int topic) { showHelpTopic(topic); });
  return windows;
}

void startUp(toolkit::Window task) {
  installHelpHook();
  ProgramState& state = programState();
  CommandLine cl = parseCommandLine(state.commandLine);

  if (!cl.startDirectory.empty()) toolkit::changeDirectory(cl.startDirectory);
  // Bare names and the file dialogs start where start-up left the process.
  std::string here = toolkit::currentDirectory();
  toolkit::setDefaultDirectory(here);
  setDefaultDirectory(here);

  state.closeAfterRun = cl.closeAfterRun;
  toolkit::Rect screen = toolkit::screenRect();
  TaskWindowPlacement p = placeTaskWindow(cl, screen.width(), screen.height());
  toolkit::moveWindow(task, toolkit::Rect::fromPosition(p.left, p.top, p.width, p.height));
  toolkit::setVisible(task, true);
  state.startRetrievalFile = cl.startRetrievalFile;

  initWorksheetDefaults();
  if (state.startRetrievalFile.empty()) {
    menuCommandHandler(task, kMenuDatabase);
  } else {
    runAndSave(RunVariant::kStartUp, queryWindows());
  }
}

}  // namespace

void taskEventHandler(toolkit::Window window, const toolkit::Event& event) {
  switch (event.type) {
    case toolkit::EventType::Create:
      startUp(window);
      return;
    case toolkit::EventType::Destroy:
      closeHelpFile();
      return;
    case toolkit::EventType::Close:
      toolkit::destroyApplication();
      return;
    case toolkit::EventType::Quit:
      if (event.query) {
        toolkit::allowQuit();
      } else {
        toolkit::destroyApplication();
      }
      return;
    case toolkit::EventType::Command:
      menuCommandHandler(window, event.tag);
      return;
    default:
      return;
  }
}

void menuCommandHandler(toolkit::Window window, int tag) {
  switch (tag) {
    case kMenuDatabase:
      runAndSave(RunVariant::kDatabase, queryWindows());
      return;
    case kMenuExitBar:
    case kMenuExit:
      toolkit::destroyApplication();
      return;
    case kMenuRerunSaved:
      runAndSave(RunVariant::kRerunSaved, queryWindows());
      return;
    case kMenuAbout:
      if (!toolkit::openModelessDialog(kAboutDialog, aboutBoxHandler, nullptr, window)) {
        toolkit::postError(kCantOpenDialogMessage);
      }
      return;
    case kMenuContents:
      showHelpTopic(kContentsTopic);
      return;
    case kMenuFind:
      showHelpFinder();
      return;
    default:
      return;
  }
}

void aboutBoxHandler(toolkit::Window window, const toolkit::Event& event) {
  if (toolkit::answerRepaintOrClose(window, event)) return;
  switch (event.type) {
    case toolkit::EventType::Create:
      if (auto font = toolkit::parseFontDescription("01\\times\\1\\14\\")) {
        toolkit::setControlFont(window, 2, *font);
      }
      toolkit::setControlColour(window, 2, toolkit::ColourPart::Foreground, 255);
      toolkit::setControlText(window, 3, kAuthorLine);
      toolkit::setControlText(window, 4, std::string("Version ") + VODBC_VERSION);
      toolkit::setControlText(window, 5, kMakerLine);
      toolkit::centreOnTaskWindow(window);
      return;
    case toolkit::EventType::Control:
      if (event.control == 1) toolkit::destroyWindow(window);
      return;
    default:
      return;
  }
}

std::string programIcon() {
  const auto texts = toolkit::programIconTexts();
  return texts.empty() ? std::string() : texts.front().second;
}

}  // namespace vodbc
