#include "odbc/driver_listing.h"

#include <sql.h>
#include <sqlext.h>

#include "odbc/connection.h"
#include "odbc/driver_manager.h"

namespace vodbc {
namespace {

template <auto Function>
std::vector<ListedName> listEntries() {
  std::vector<ListedName> entries;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    SQLCHAR name[512] = {0};
    SQLCHAR detail[1024] = {0};
    SQLSMALLINT nameLength = 0, detailLength = 0;
    SQLRETURN rc =
        odbc::call<Function>(odbcHandles.environment, direction, name, SQLSMALLINT{sizeof name - 1},
                             &nameLength, detail, SQLSMALLINT{sizeof detail - 1}, &detailLength);
    if (!SQL_SUCCEEDED(rc)) break;
    // Both buffers are zero-filled and one byte longer than announced, so
    // each holds a terminated string even when the driver manager cut it.
    entries.push_back({reinterpret_cast<const char*>(name), reinterpret_cast<const char*>(detail)});
    direction = SQL_FETCH_NEXT;
  }
  return entries;
}

}  // namespace

std::vector<ListedName> listFromDriverManager(Listing listing) {
  if (odbcHandles.environment == SQL_NULL_HENV) return {};
  return listing == Listing::kDataSources ? listEntries<&OdbcApi::SQLDataSources>()
                                          : listEntries<&OdbcApi::SQLDrivers>();
}

}  // namespace vodbc
