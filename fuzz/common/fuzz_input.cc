#include "common/fuzz_input.h"

#include <cstdio>
#include <cstdlib>

namespace vodbc::fuzz {

void fail(const char* property) {
  std::fprintf(stderr, "fuzz property broken: %s\n", property);
  std::abort();
}

}  // namespace vodbc::fuzz
