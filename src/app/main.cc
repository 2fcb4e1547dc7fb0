// vodbc: the Velora ODBC Query program.
#include <cstdio>
#include <cstring>

#include "app/command_line.h"
#include "app/help.h"
#include "app/program_state.h"
#include "app/task_window.h"
#include "sheet/checked_alloc.h"
#include "text/process_locale.h"
#include "toolkit/qt/choose_backend.h"
#include "toolkit/toolkit.h"

namespace {

constexpr const char* kUsage =
    "Usage: vodbc [/d=FOLDER] [/c] [/w=TOP,LEFT,WIDTH,HEIGHT] [FIRST RETRIEVAL.idb]\n"
    "\n"
    "Moves the result of an SQL query from an ODBC data source into a Velora\n"
    "worksheet file (.WOR). Without a retrieval file it starts a new query at\n"
    "once; with one it reruns it and asks where to save the worksheet.\n"
    "\n"
    "  /d=FOLDER   start in FOLDER (in double quotes when it holds a blank)\n"
    "  /c          end once the start-up retrieval has written its worksheet\n"
    "  /w=...      place the task window (missing width 250, height 100)\n"
    "  FIRST       any word; ignored\n"
    "  RETRIEVAL.idb  the retrieval file to rerun\n"
    "\n"
    "vodbc-batch reruns retrieval files without any window.\n";

}  // namespace

int main(int argc, char** argv) {
  vodbc::installOutOfMemoryHandler();
  vodbc::useProcessLocale();
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("vodbc %s\n", VODBC_VERSION);
    return 0;
  }
  // The program reads its own command line, before the toolkit takes its
  // options out of argv.
  vodbc::programState().commandLine = vodbc::rebuildCommandLine(argc, argv);
  vodbc::setHelpProgramPath(vodbc::programPath());
  if (!toolkit::installChosenBackend(argc, argv,
                                     "vodbc-batch reruns retrieval files without one")) {
    return 2;
  }
  toolkit::AppConfig config;
  config.taskTitle = vodbc::kTaskTitle;
  config.iconSvg = vodbc::programIcon();
  return toolkit::runApplication(config, vodbc::taskEventHandler);
}
