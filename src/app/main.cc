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
    "       vodbc --help | --version\n"
    "\n"
    "Moves the result of an SQL query from an ODBC data source into a Velora\n"
    "worksheet file (.WOR). Without a retrieval file it starts a new query at\n"
    "once; with one it reruns it and asks where to save the worksheet.\n"
    "\n"
    "Switches are whole words, so a path such as /code/q.idb is a path:\n"
    "  /d=FOLDER      start in FOLDER; quote the whole switch when it holds a\n"
    "                 blank:  vodbc /d=/data/exports   vodbc \"/d=/data/my exports\"\n"
    "  /c             end once the start-up retrieval has written its worksheet:\n"
    "                 vodbc /c x weekly.idb\n"
    "  /w=TOP,LEFT,WIDTH,HEIGHT\n"
    "                 place the task window (missing width 250, height 100):\n"
    "                 vodbc /w=10,20,300,120\n"
    "  FIRST          any word, ignored (the statistics package passes its own\n"
    "                 there): the x in  vodbc x weekly.idb\n"
    "  RETRIEVAL.idb  the retrieval file to rerun:  vodbc x /data/weekly.idb\n"
    "  --help         print this text and exit:  vodbc --help\n"
    "  --version      print the version and exit:  vodbc --version\n"
    "\n"
    "Environment:\n"
    "  VODBC_TOOLKIT=qt|headless   the window backend (headless: no windows,\n"
    "                              the user's answers come from VODBC_SCRIPT)\n"
    "  VODBC_SCRIPT, VODBC_TRANSCRIPT   a scripted session's answers and record\n"
    "  VODBC_DRIVER_MANAGER        the ODBC driver manager library to load\n"
    "\n"
    "vodbc-batch reruns retrieval files without any window, and creates them:\n"
    "  vodbc-batch --connect STRING --sql TEXT --save-retrieval weekly.idb\n";

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
