#include "toolkit/qt/choose_backend.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolkit/backend.h"
#include "toolkit/headless/headless_backend.h"
#include "toolkit/qt/display.h"
#include "toolkit/qt/qt_backend.h"
#include "toolkit/resource.h"
#include "toolkit/session.h"

namespace toolkit {

bool installChosenBackend(int& argc, char** argv, std::string_view withoutDisplay) {
  const char* program = program_invocation_short_name;
  const char* choice = std::getenv("VODBC_TOOLKIT");
  const std::string wanted = choice && *choice ? choice : "qt";
  std::unique_ptr<Backend> chosen;
  if (wanted == "qt") {
    std::string why;
    if (qt::prepareDisplay(why)) chosen = makeQtBackend(argc, argv);
    if (!chosen) {
      // Without a script nobody could answer the headless windows: say so
      // at once instead of waiting on a script nobody gave.
      const char* script = std::getenv("VODBC_SCRIPT");
      if (!script || !*script) {
        std::fprintf(stderr, "%s: no display (%s)%s%.*s\n", program, why.c_str(),
                     withoutDisplay.empty() ? "" : "; ", static_cast<int>(withoutDisplay.size()),
                     withoutDisplay.data());
        return false;
      }
      std::fprintf(stderr, "%s: no display (%s); using the headless backend\n", program,
                   why.c_str());
      chosen = makeHeadlessBackend();
    }
  } else if (wanted == "headless") {
    chosen = makeHeadlessBackend();
  } else {
    std::fprintf(stderr, "%s: VODBC_TOOLKIT must be \"qt\" or \"headless\", not \"%s\"\n", program,
                 wanted.c_str());
    return false;
  }
  installBackend(std::move(chosen));
  if (!addBuiltinResources()) return false;
  std::string error;
  if (!startSessionFromEnvironment(error)) {
    std::fprintf(stderr, "%s: %s\n", program, error.c_str());
    return false;
  }
  return true;
}

}  // namespace toolkit
