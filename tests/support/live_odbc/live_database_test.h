// Base fixture for a suite run against one real test database through the
// product's own ODBC layer: the private driver registration, the real
// driver manager, one connection and one statement whose driver
// capabilities are read, worksheet defaults set for a fetch.
//
//   class CatalogTest : public testing::LiveDatabaseTest {};
//   TEST_P(CatalogTest, ...) { execute("CREATE TABLE " + unique("t") + " (a int)"); ... }
//   INSTANTIATE_TEST_SUITE_P(Real, CatalogTest,
//                            ::testing::Values(testing::kDatabaseUnderTest),
//                            testing::databaseTestName);
//
// A missing server skips the test outside CI and fails it in CI. A fixture
// that overrides SetUp calls this one first and returns when it ended the
// test (IsSkipped() or HasFatalFailure()).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "odbc/retrieval_spec.h"
#include "odbc_doubles/recording_reporter.h"
#include "servers/test_servers.h"

namespace vodbc::testing {

class LiveDatabaseTest : public ::testing::TestWithParam<Database> {
 protected:
  void SetUp() override;
  // Releases the statement, the connection and the environment, and the
  // current Sheet.
  void TearDown() override;

  // Runs a statement that returns no rows (DDL, inserts); fails the test
  // when the database refuses it.
  void execute(const std::string& sql);

  // `base` followed by this process's id and a per-case counter, so
  // repeated and parallel runs never meet each other's tables.
  std::string unique(const std::string& base) const;

  // `name` as this database quotes an identifier, written out here rather
  // than taken from the code under test.
  std::string quoted(const std::string& name) const;

  // What the ODBC layer reported so far, one line each.
  std::string reported() const;

  Database database() const { return GetParam(); }

  RecordingReporter reporter_;
  RetrievalSpec spec_;  // statement and capabilities filled in
  SQLHSTMT statement_ = SQL_NULL_HSTMT;
  std::string connection_;

 private:
  int case_ = 0;
};

// Names an instantiated case after its database ("SQLite", ...).
std::string databaseTestName(const ::testing::TestParamInfo<Database>& info);

}  // namespace vodbc::testing
