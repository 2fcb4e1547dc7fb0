#include "text/process_locale.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>

namespace vodbc {

// setlocale is not thread-safe; every program calls this first thing in main
// (and again right after Qt's own set-up), before any thread exists.
void useProcessLocale() {
  // NOLINTBEGIN(concurrency-mt-unsafe)
  const char* chosen = std::setlocale(LC_CTYPE, "");
  if (chosen == nullptr || std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
  }
  std::setlocale(LC_NUMERIC, "C");
  // NOLINTEND(concurrency-mt-unsafe)
}

}  // namespace vodbc
