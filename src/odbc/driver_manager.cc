#include "odbc/driver_manager.h"

#include <dlfcn.h>

#include <cstdlib>
#include <mutex>

#include "odbc/reporter.h"

namespace vodbc {
namespace {

struct LoadedManager {
  std::mutex mutex;
  void* library = nullptr;
  std::string name;
  OdbcApi api;
};

LoadedManager& loaded() {
  static LoadedManager instance;
  return instance;
}

void fillTable(void* library, OdbcApi& api) {
#define VODBC_ODBC_LOOKUP(name) \
  api.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name));
  VODBC_ODBC_FUNCTIONS(VODBC_ODBC_LOOKUP)
#undef VODBC_ODBC_LOOKUP
}

}  // namespace

std::vector<std::string> driverManagerCandidates() {
  const char* chosen = std::getenv("VODBC_DRIVER_MANAGER");
  if (chosen != nullptr && *chosen != '\0') return {chosen};
  return {"libodbc.so.2", "libodbc.so", "libiodbc.so.2"};
}

bool loadDriverManager() {
  LoadedManager& state = loaded();
  std::lock_guard lock(state.mutex);
  if (state.library != nullptr) return true;
  for (const std::string& candidate : driverManagerCandidates()) {
    void* library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) continue;
    // A library without the environment allocation of either level is not a
    // driver manager.
    if (dlsym(library, "SQLAllocHandle") == nullptr && dlsym(library, "SQLAllocEnv") == nullptr) {
      dlclose(library);
      continue;
    }
    OdbcApi api;
    fillTable(library, api);
    state.api = api;
    state.name = candidate;
    state.library = library;
    return true;
  }
  return false;
}

void unloadDriverManager() {
  LoadedManager& state = loaded();
  std::lock_guard lock(state.mutex);
  if (state.library != nullptr) dlclose(state.library);
  state.library = nullptr;
  state.name.clear();
  state.api = OdbcApi{};
}

const OdbcApi& odbcApi() { return loaded().api; }

const std::string& driverManagerName() { return loaded().name; }

bool checkDriverManager(OdbcReporter& reporter) {
  if (loadDriverManager()) return true;
  reporter.error(kNoDriverManagerMessage);
  return false;
}

}  // namespace vodbc
