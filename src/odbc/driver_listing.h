// What the driver manager knows without connecting: its registered data
// sources and installed drivers.
//
// Usage, with the program-wide environment allocated (openOdbc):
//   for (const ListedName& source : listFromDriverManager(Listing::kDataSources)) ...
// The data-source dialog shows the names; vodbc-batch --list-sources and
// --list-drivers print them.
#pragma once

#include <string>
#include <vector>

namespace vodbc {

enum class Listing {
  kDataSources,  // SQLDataSources: the name and its driver's description
  kDrivers,      // SQLDrivers: the description and its attributes
};

struct ListedName {
  std::string name;
  // For a data source: the driver it uses, as registered. For a driver:
  // its first attribute pair ("Driver=/usr/lib/...", "" when none).
  std::string detail;
};

// Every entry, in the driver manager's order; empty when the environment is
// not allocated or nothing is registered.
std::vector<ListedName> listFromDriverManager(Listing listing);

}  // namespace vodbc
