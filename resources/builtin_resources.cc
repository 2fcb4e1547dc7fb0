#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/resource.h"

namespace toolkit {

std::vector<std::pair<const char*, const char*>> builtinResourceTexts();

bool addBuiltinResources() {
  bool ok = true;
  for (const auto& [origin, text] : builtinResourceTexts()) {
    std::string error;
    if (!resources().add(text, origin, error)) {
      std::fprintf(stderr, "resource %s\n", error.c_str());
      ok = false;
    }
  }
  return ok;
}

}  // namespace toolkit
