// Runs statements that return no rows (DDL, inserts) on a connection of
// their own, through the product's ODBC layer, for tests that set up data
// for a program they start:
//
//   ASSERT_EQ(testing::runStatements(connection, {"CREATE TABLE t (a int)"}), "");
#pragma once

#include <string>
#include <vector>

namespace vodbc::testing {

// "" when every statement ran; else what failed (the connection, or the
// first statement refused, after which nothing more is run).
std::string runStatements(const std::string& connection,
                          const std::vector<std::string>& statements);

}  // namespace vodbc::testing
