#include "odbc/fetch_control.h"

#include <sqlext.h>

#include <array>
#include <string_view>

#include "odbc/driver_manager.h"

namespace vodbc {
namespace {

CancelReach cancelReachOfDriver(std::string_view driverFileName) {
  // psqlODBC sends the server a cancel request for an executing statement
  // and leaves the statement to the thread that runs the call. The SQLite
  // driver closes the statement under the running call; so does the
  // MariaDB driver when the call is between two reads of its result (100
  // trials under the address sanitizer crashed inside SQLFetch). Those two
  // only ever see the fetch stop between calls.
  static constexpr std::array<std::string_view, 2> kInterruptible = {"psqlodbca.so",
                                                                     "psqlodbcw.so"};
  for (std::string_view known : kInterruptible) {
    if (driverFileName == known) return CancelReach::kInterruptCall;
  }
  return CancelReach::kBetweenCalls;
}

}  // namespace

CancelReach cancelReachOf(SQLHDBC connection) {
  char name[256] = {0};
  SQLSMALLINT length = 0;
  SQLRETURN rc = odbc::call<&OdbcApi::SQLGetInfo>(connection, SQLUSMALLINT{SQL_DRIVER_NAME},
                                                  static_cast<SQLPOINTER>(name),
                                                  SQLSMALLINT{sizeof name - 1}, &length);
  if (!SQL_SUCCEEDED(rc)) return CancelReach::kBetweenCalls;
  std::string_view file(name);
  // Some driver managers give the path the driver was loaded from.
  std::size_t slash = file.rfind('/');
  if (slash != std::string_view::npos) file.remove_prefix(slash + 1);
  return cancelReachOfDriver(file);
}

void FetchControl::cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  cancelled_.store(true);
  if (reach_ == CancelReach::kInterruptCall && inCall_) {
    odbc::call<&OdbcApi::SQLCancel>(statement_);
  }
}

}  // namespace vodbc
