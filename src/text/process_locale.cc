#include "text/process_locale.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>

namespace vodbc {

void useProcessLocale() {
  const char* chosen = std::setlocale(LC_CTYPE, "");
  if (chosen == nullptr || std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
  }
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace vodbc
