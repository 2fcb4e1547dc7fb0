// A small ODBC driver manager with one in-memory driver, for tests of what
// real drivers cannot show: ODBC 2 only paths, a failure at any call,
// scripted diagnostic records, and an account of every handle.
#include "fake_odbc/fake_odbc.h"

#include <dlfcn.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace vodbc::fake {
namespace {

struct Binding {
  SQLSMALLINT targetType = 0;
  char* buffer = nullptr;
  SQLLEN bufferLength = 0;
  SQLLEN* indicator = nullptr;
};

struct Handle {
  SQLSMALLINT type = 0;
  int id = 0;
  const Handle* parent = nullptr;
  bool alive = true;
  bool connected = false;
  std::deque<Diagnostic> records;
  bool open = false;  // statements: a cursor is open
  bool cancelled = false;
  ResultSet result;
  std::size_t nextRow = 0;
  std::map<SQLUSMALLINT, Binding> bindings;
};

struct Failure {
  int nth;
  SQLRETURN result;
  std::vector<Diagnostic> records;
};

struct Info {
  SQLRETURN result = SQL_SUCCESS;
  bool isText = true;
  std::string text;
  SQLUINTEGER number = 0;
};

struct State {
  std::recursive_mutex mutex;
  std::vector<std::unique_ptr<Handle>> handles;
  std::set<std::string> removed;
  std::map<std::string, bool> reported;
  std::map<std::string, std::vector<Failure>> failures;
  std::map<std::string, int> counts;
  std::map<SQLUSMALLINT, Info> info;
  std::deque<ResultSet> results;
  TextTruncation truncation = TextTruncation::Standard;
  std::optional<std::string> completed;
  std::vector<std::string> calls, releaseFaults;
  std::string lastStatement, lastConnection;
};

State& state() {
  static State instance;
  return instance;
}

using Lock = std::lock_guard<std::recursive_mutex>;

const char* typeName(SQLSMALLINT type) {
  return type == SQL_HANDLE_ENV ? "ENV" : type == SQL_HANDLE_DBC ? "DBC" : "STMT";
}

Handle* find(SQLHANDLE handle, SQLSMALLINT type) {
  for (auto& owned : state().handles) {
    if (owned.get() == handle) {
      return owned->alive && owned->type == type ? owned.get() : nullptr;
    }
  }
  return nullptr;
}

SQLHANDLE allocate(SQLSMALLINT type, const Handle* parent) {
  State& s = state();
  s.handles.push_back(std::make_unique<Handle>());
  Handle* h = s.handles.back().get();
  h->type = type;
  h->id = static_cast<int>(s.handles.size());
  h->parent = parent;
  return h;
}

SQLRETURN release(SQLHANDLE handle, SQLSMALLINT type) {
  Handle* h = find(handle, type);
  if (h == nullptr) {
    state().releaseFaults.push_back(std::string("free-invalid ") + typeName(type));
    return SQL_INVALID_HANDLE;
  }
  h->alive = false;
  for (const auto& child : state().handles) {
    if (child->alive && child->parent == h) {
      state().releaseFaults.push_back(std::string("free-before-child ") + typeName(type) + " " +
                                      std::to_string(h->id));
    }
  }
  return SQL_SUCCESS;
}

// Records the call, clears the target's records like every ODBC call does,
// and applies a removal or an injected result: the result to give instead
// of working, if any.
std::optional<SQLRETURN> enter(const std::string& function, const std::string& shown,
                               Handle* target) {
  State& s = state();
  s.calls.push_back(shown);
  int n = ++s.counts[function];
  if (target != nullptr) target->records.clear();
  if (s.removed.count(function) != 0) return SQL_ERROR;
  for (const Failure& f : s.failures[function]) {
    if (f.nth != n) continue;
    if (target != nullptr) target->records.assign(f.records.begin(), f.records.end());
    return f.result;
  }
  return std::nullopt;
}

void addRecord(Handle* h, const char* code, const char* message) {
  if (h != nullptr) h->records.push_back({code, 0, message});
}

void copyText(const std::string& text, SQLCHAR* out, SQLSMALLINT length, SQLSMALLINT* outLength) {
  if (outLength != nullptr) *outLength = static_cast<SQLSMALLINT>(text.size());
  if (out == nullptr || length <= 0) return;
  std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(length - 1));
  std::memcpy(out, text.data(), n);
  out[n] = 0;
}

// Delivers one value into a bound buffer as a driver would.
void deliver(const Value& value, Binding& b) {
  if (!value) {
    if (b.indicator) *b.indicator = SQL_NULL_DATA;
    return;
  }
  const std::string& text = *value;
  if (b.targetType == SQL_C_BIT) {
    b.buffer[0] = std::strtod(text.c_str(), nullptr) != 0 ? 1 : 0;
    if (b.indicator) *b.indicator = 1;
    return;
  }
  if (b.targetType == SQL_C_DOUBLE || b.targetType == SQL_C_SSHORT) {
    double number = std::strtod(text.c_str(), nullptr);
    if (b.targetType == SQL_C_DOUBLE) {
      std::memcpy(b.buffer, &number, sizeof number);
      if (b.indicator) *b.indicator = sizeof number;
      return;
    }
    // What a driver gives for a value out of range is its business; this
    // one clamps it.
    SQLSMALLINT small = number != number             ? 0
                        : number <= double{SHRT_MIN} ? SQLSMALLINT{SHRT_MIN}
                        : number >= double{SHRT_MAX} ? SQLSMALLINT{SHRT_MAX}
                                                     : static_cast<SQLSMALLINT>(number);
    std::memcpy(b.buffer, &small, sizeof small);
    if (b.indicator) *b.indicator = sizeof small;
    return;
  }
  SQLLEN length = static_cast<SQLLEN>(text.size());
  TextTruncation mode = state().truncation;
  if (length < b.bufferLength) {
    std::memcpy(b.buffer, text.data(), text.size() + 1);
  } else if (mode == TextTruncation::NoNul) {
    std::memcpy(b.buffer, text.data(), static_cast<std::size_t>(b.bufferLength));
  } else if (b.bufferLength > 0) {
    std::memcpy(b.buffer, text.data(), static_cast<std::size_t>(b.bufferLength - 1));
    b.buffer[b.bufferLength - 1] = 0;
  }
  if (b.indicator) *b.indicator = mode == TextTruncation::NoTotal ? SQL_NO_TOTAL : length;
}

SQLRETURN openResult(Handle* h, SQLRETURN result = SQL_SUCCESS) {
  State& s = state();
  h->result = ResultSet{};
  if (!s.results.empty()) {
    h->result = std::move(s.results.front());
    s.results.pop_front();
  }
  h->open = !h->result.columns.empty();
  h->cancelled = false;
  h->nextRow = 0;
  return result;
}

// The calls that make or fill a statement's result set.
SQLRETURN resultCall(const char* name, SQLHSTMT stmt, SQLCHAR* text) {
  Lock lock(state().mutex);
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  if (text != nullptr) state().lastStatement = reinterpret_cast<char*>(text);
  std::optional<SQLRETURN> r = enter(name, name, h);
  if (r && !SQL_SUCCEEDED(*r)) return *r;
  if (h == nullptr) return SQL_INVALID_HANDLE;
  return openResult(h, r.value_or(SQL_SUCCESS));
}

// A program run by a test reads the test's script once, before its first
// handle, on top of the defaults; a missing or broken script ends it, since
// it would otherwise run against settings nobody meant.
void loadScriptOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    const char* path = std::getenv("VODBC_FAKE_SCRIPT");
    if (path == nullptr) return;
    reset();
    if (!loadScript(path)) {
      std::fprintf(stderr, "fake driver manager: cannot read script %s\n", path);
      std::abort();
    }
  });
}

// The ODBC 2 allocation functions and SQLAllocHandle share this.
SQLRETURN allocateCall(const std::string& function, const std::string& shown, SQLSMALLINT type,
                       SQLHANDLE parentHandle, SQLHANDLE* out) {
  loadScriptOnce();
  Lock lock(state().mutex);
  SQLSMALLINT parentType = type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV : SQL_HANDLE_DBC;
  Handle* parent = type == SQL_HANDLE_ENV ? nullptr : find(parentHandle, parentType);
  if (auto r = enter(function, shown, parent)) {
    if (SQL_SUCCEEDED(*r)) *out = allocate(type, parent);
    return *r;
  }
  if (type != SQL_HANDLE_ENV && parent == nullptr) return SQL_INVALID_HANDLE;
  if (type == SQL_HANDLE_STMT && !parent->connected) {
    addRecord(parent, "08003", "Connection not open");
    return SQL_ERROR;
  }
  *out = allocate(type, parent);
  return SQL_SUCCESS;
}

// Calls that only act on one handle: `work` runs unless the call was
// injected, removed, or given an invalid handle.
template <class Work>
SQLRETURN simpleCall(const std::string& function, const std::string& shown, SQLHANDLE handle,
                     SQLSMALLINT type, Work work) {
  Lock lock(state().mutex);
  Handle* h = find(handle, type);
  if (auto r = enter(function, shown, h)) return *r;
  if (h == nullptr) return SQL_INVALID_HANDLE;
  return work(h);
}

SQLRETURN readRecord(Handle* h, std::size_t index, bool pop, SQLCHAR* code, SQLINTEGER* native,
                     SQLCHAR* message, SQLSMALLINT length, SQLSMALLINT* outLength) {
  if (h == nullptr) return SQL_INVALID_HANDLE;
  if (index >= h->records.size()) return SQL_NO_DATA;
  Diagnostic d = h->records[index];
  if (pop) h->records.pop_front();
  copyText(d.state, code, 6, nullptr);
  if (native) *native = d.native;
  copyText(d.message, message, length, outLength);
  return d.message.size() >= static_cast<std::size_t>(length) ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
}

}  // namespace

std::string libraryPath() {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&libraryPath), &info);
  return info.dli_fname != nullptr ? info.dli_fname : "";
}

void reset() {
  State& s = state();
  Lock lock(s.mutex);
  s.handles.clear();
  s.removed.clear();
  s.reported.clear();
  s.failures.clear();
  s.counts.clear();
  s.info = {{SQL_SERVER_NAME, {SQL_SUCCESS, true, "fake", 0}},
            {SQL_IDENTIFIER_QUOTE_CHAR, {SQL_SUCCESS, true, "\"", 0}},
            {SQL_CATALOG_NAME, {SQL_SUCCESS, true, "N", 0}},
            {SQL_CATALOG_USAGE, {SQL_SUCCESS, false, "", 0}},
            {SQL_SCHEMA_USAGE, {SQL_SUCCESS, false, "", 0}},
            {SQL_IDENTIFIER_CASE, {SQL_SUCCESS, false, "", SQL_IC_MIXED}},
            {SQL_KEYWORDS, {SQL_SUCCESS, true, "", 0}}};
  s.results.clear();
  s.truncation = TextTruncation::Standard;
  s.completed.reset();
  s.calls.clear();
  s.releaseFaults.clear();
  s.lastStatement.clear();
  s.lastConnection.clear();
}

// The control functions all change or read the state under its lock.
#define FAKE_WITH_STATE(...) \
  Lock lock(state().mutex);  \
  State& s = state();        \
  __VA_ARGS__

void removeFunction(const std::string& name) { FAKE_WITH_STATE(s.removed.insert(name);) }
void setReported(const std::string& name, bool reported) {
  FAKE_WITH_STATE(s.reported[name] = reported;)
}
void failAt(const std::string& function, int nth, SQLRETURN result,
            std::vector<Diagnostic> records) {
  FAKE_WITH_STATE(s.failures[function].push_back({nth, result, std::move(records)});)
}
void setInfo(SQLUSMALLINT info, SQLRETURN result, const std::string& text) {
  FAKE_WITH_STATE(s.info[info] = Info{result, true, text, 0};)
}
void setInfoNumber(SQLUSMALLINT info, SQLRETURN result, SQLUINTEGER value) {
  FAKE_WITH_STATE(s.info[info] = Info{result, false, "", value};)
}
void queueResult(ResultSet result) { FAKE_WITH_STATE(s.results.push_back(std::move(result));) }

ResultSet oneTableList(const std::string& name) {
  return {{{"TABLE_CAT"}, {"TABLE_SCHEM"}, {"TABLE_NAME"}, {"TABLE_TYPE"}},
          {{std::nullopt, std::nullopt, name, "TABLE"}}};
}

ResultSet columnList() {
  return {{{"TABLE_CAT"},
           {"TABLE_SCHEM"},
           {"TABLE_NAME"},
           {"COLUMN_NAME"},
           {"DATA_TYPE", SQL_SMALLINT}},
          {}};
}
void setTextTruncation(TextTruncation mode) { FAKE_WITH_STATE(s.truncation = mode;) }
void setCompletedConnectionString(const std::string& text) { FAKE_WITH_STATE(s.completed = text;) }
std::vector<std::string> calls() { FAKE_WITH_STATE(return s.calls;) }
std::vector<std::string> releaseCalls() {
  std::vector<std::string> out;
  for (const std::string& call : calls()) {
    if ((call.rfind("SQLFree", 0) == 0 && call != "SQLFreeStmt(UNBIND)" &&
         call != "SQLFreeStmt(CLOSE)") ||
        call == "SQLDisconnect") {
      out.push_back(call);
    }
  }
  return out;
}
std::vector<std::string> handleFaults() {
  Lock lock(state().mutex);
  std::vector<std::string> faults = state().releaseFaults;
  for (const auto& h : state().handles) {
    if (h->alive) faults.push_back(std::string("alive ") + typeName(h->type));
  }
  return faults;
}
int liveHandles() {
  FAKE_WITH_STATE(return static_cast<int>(std::count_if(s.handles.begin(), s.handles.end(),
                                                        [](auto& h) { return h->alive; }));)
}
int callCount(const std::string& function) {
  FAKE_WITH_STATE(auto it = s.counts.find(function); return it == s.counts.end() ? 0 : it->second;)
}
std::string lastStatementText() { FAKE_WITH_STATE(return s.lastStatement;) }
std::string lastConnectionInput() { FAKE_WITH_STATE(return s.lastConnection;) }

}  // namespace vodbc::fake

using namespace vodbc::fake;

extern "C" {

SQLRETURN SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
  return allocateCall("SQLAllocHandle", std::string("SQLAllocHandle(") + typeName(type) + ")", type,
                      input, output);
}
SQLRETURN SQLAllocEnv(SQLHENV* env) {
  return allocateCall("SQLAllocEnv", "SQLAllocEnv", SQL_HANDLE_ENV, nullptr, env);
}
SQLRETURN SQLAllocConnect(SQLHENV env, SQLHDBC* dbc) {
  return allocateCall("SQLAllocConnect", "SQLAllocConnect", SQL_HANDLE_DBC, env, dbc);
}
SQLRETURN SQLAllocStmt(SQLHDBC dbc, SQLHSTMT* stmt) {
  return allocateCall("SQLAllocStmt", "SQLAllocStmt", SQL_HANDLE_STMT, dbc, stmt);
}

SQLRETURN SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
  Lock lock(state().mutex);
  if (auto r =
          enter("SQLFreeHandle", std::string("SQLFreeHandle(") + typeName(type) + ")", nullptr)) {
    return *r;
  }
  return release(handle, type);
}
SQLRETURN SQLFreeEnv(SQLHENV env) {
  Lock lock(state().mutex);
  if (auto r = enter("SQLFreeEnv", "SQLFreeEnv", nullptr)) return *r;
  return release(env, SQL_HANDLE_ENV);
}
SQLRETURN SQLFreeConnect(SQLHDBC dbc) {
  Lock lock(state().mutex);
  if (auto r = enter("SQLFreeConnect", "SQLFreeConnect", nullptr)) return *r;
  return release(dbc, SQL_HANDLE_DBC);
}

SQLRETURN SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option) {
  const char* what = option == SQL_DROP     ? "DROP"
                     : option == SQL_UNBIND ? "UNBIND"
                     : option == SQL_CLOSE  ? "CLOSE"
                                            : "OTHER";
  Lock lock(state().mutex);
  if (auto r = enter("SQLFreeStmt", std::string("SQLFreeStmt(") + what + ")",
                     find(stmt, SQL_HANDLE_STMT))) {
    return *r;
  }
  if (option == SQL_DROP) return release(stmt, SQL_HANDLE_STMT);
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  if (h == nullptr) return SQL_INVALID_HANDLE;
  if (option == SQL_UNBIND) h->bindings.clear();
  if (option == SQL_CLOSE) h->open = false;
  return SQL_SUCCESS;
}

SQLRETURN SQLSetEnvAttr(SQLHENV env, SQLINTEGER, SQLPOINTER, SQLINTEGER) {
  return simpleCall("SQLSetEnvAttr", "SQLSetEnvAttr", env, SQL_HANDLE_ENV,
                    [](Handle*) { return SQL_SUCCESS; });
}

SQLRETURN SQLDriverConnect(SQLHDBC dbc, SQLHWND, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR* out,
                           SQLSMALLINT outMax, SQLSMALLINT* outLength, SQLUSMALLINT) {
  Lock lock(state().mutex);
  std::string input;
  if (in != nullptr) {
    const char* text = reinterpret_cast<const char*>(in);
    input = inLength == SQL_NTS ? std::string(text)
                                : std::string(text, static_cast<std::size_t>(inLength));
  }
  state().lastConnection = input;
  return simpleCall("SQLDriverConnect", "SQLDriverConnect", dbc, SQL_HANDLE_DBC, [&](Handle* h) {
    h->connected = true;
    copyText(state().completed.value_or(input), out, outMax, outLength);
    return SQL_SUCCESS;
  });
}

SQLRETURN SQLDisconnect(SQLHDBC dbc) {
  return simpleCall("SQLDisconnect", "SQLDisconnect", dbc, SQL_HANDLE_DBC, [](Handle* h) {
    h->connected = false;
    return SQL_SUCCESS;
  });
}

SQLRETURN SQLGetFunctions(SQLHDBC dbc, SQLUSMALLINT id, SQLUSMALLINT* supported) {
  return simpleCall("SQLGetFunctions", "SQLGetFunctions", dbc, SQL_HANDLE_DBC, [&](Handle*) {
    static const std::map<SQLUSMALLINT, std::string> names = {
        {SQL_API_SQLALLOCHANDLE, "SQLAllocHandle"}, {SQL_API_SQLGETDIAGREC, "SQLGetDiagRec"}};
    auto it = names.find(id);
    bool answer = true;
    if (it != names.end()) {
      auto reported = state().reported.find(it->second);
      answer = state().removed.count(it->second) == 0 &&
               (reported == state().reported.end() || reported->second);
    }
    *supported = answer ? SQL_TRUE : SQL_FALSE;
    return SQL_SUCCESS;
  });
}

SQLRETURN SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT length,
                     SQLSMALLINT* outLength) {
  return simpleCall("SQLGetInfo", "SQLGetInfo(" + std::to_string(type) + ")", dbc, SQL_HANDLE_DBC,
                    [&](Handle* h) {
                      auto it = state().info.find(type);
                      if (it == state().info.end()) {
                        addRecord(h, "HY096", "Information type out of range");
                        return SQLRETURN{SQL_ERROR};
                      }
                      const Info& info = it->second;
                      SQLUSMALLINT small = static_cast<SQLUSMALLINT>(info.number);
                      if (info.isText) {
                        copyText(info.text, static_cast<SQLCHAR*>(value), length, outLength);
                      } else if (type == SQL_IDENTIFIER_CASE) {
                        std::memcpy(value, &small, sizeof small);
                      } else {
                        std::memcpy(value, &info.number, sizeof info.number);
                      }
                      return info.result;
                    });
}

SQLRETURN SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLCHAR* code,
                        SQLINTEGER* native, SQLCHAR* message, SQLSMALLINT length,
                        SQLSMALLINT* outLength) {
  Lock lock(state().mutex);
  state().calls.push_back("SQLGetDiagRec");
  if (state().removed.count("SQLGetDiagRec") != 0) return SQL_ERROR;
  if (record < 1) return SQL_NO_DATA;
  return readRecord(find(handle, type), static_cast<std::size_t>(record - 1), false, code, native,
                    message, length, outLength);
}

// ODBC 2 hands out each record once, from the most specific handle given.
SQLRETURN SQLError(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLCHAR* code, SQLINTEGER* native,
                   SQLCHAR* message, SQLSMALLINT length, SQLSMALLINT* outLength) {
  Lock lock(state().mutex);
  state().calls.push_back("SQLError");
  if (state().removed.count("SQLError") != 0) return SQL_ERROR;
  Handle* h = stmt != nullptr  ? find(stmt, SQL_HANDLE_STMT)
              : dbc != nullptr ? find(dbc, SQL_HANDLE_DBC)
                               : find(env, SQL_HANDLE_ENV);
  SQLRETURN rc = readRecord(h, 0, true, code, native, message, length, outLength);
  return rc == SQL_SUCCESS_WITH_INFO ? SQL_SUCCESS : rc;
}

SQLRETURN SQLTables(SQLHSTMT stmt, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLCHAR*,
                    SQLSMALLINT, SQLCHAR*, SQLSMALLINT) {
  return resultCall("SQLTables", stmt, nullptr);
}
SQLRETURN SQLColumns(SQLHSTMT stmt, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT, SQLCHAR* table,
                     SQLSMALLINT, SQLCHAR*, SQLSMALLINT) {
  return resultCall("SQLColumns", stmt, table);
}
SQLRETURN SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER) {
  return resultCall("SQLExecDirect", stmt, text);
}

SQLRETURN SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* count) {
  return simpleCall("SQLNumResultCols", "SQLNumResultCols", stmt, SQL_HANDLE_STMT, [&](Handle* h) {
    *count = static_cast<SQLSMALLINT>(h->result.columns.size());
    return SQL_SUCCESS;
  });
}

SQLRETURN SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name, SQLSMALLINT length,
                         SQLSMALLINT* nameLength, SQLSMALLINT* dataType, SQLULEN* size,
                         SQLSMALLINT* digits, SQLSMALLINT* nullable) {
  return simpleCall("SQLDescribeCol", "SQLDescribeCol", stmt, SQL_HANDLE_STMT, [&](Handle* h) {
    if (column < 1 || column > h->result.columns.size()) {
      return SQLRETURN{SQL_ERROR};
    }
    const Column& c = h->result.columns[column - 1];
    copyText(c.name, name, length, nameLength);
    if (dataType) *dataType = c.sqlType;
    if (size) *size = 80;
    if (digits) *digits = 0;
    if (nullable) *nullable = SQL_NULLABLE;
    return SQLRETURN{SQL_SUCCESS};
  });
}

SQLRETURN SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER buffer,
                     SQLLEN length, SQLLEN* indicator) {
  return simpleCall("SQLBindCol", "SQLBindCol", stmt, SQL_HANDLE_STMT, [&](Handle* h) {
    h->bindings[column] = {type, static_cast<char*>(buffer), length, indicator};
    return SQL_SUCCESS;
  });
}

SQLRETURN SQLFetch(SQLHSTMT stmt) {
  Lock lock(state().mutex);
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  std::optional<SQLRETURN> injected = enter("SQLFetch", "SQLFetch", h);
  if (h == nullptr) return SQL_INVALID_HANDLE;
  if (injected && *injected != SQL_SUCCESS_WITH_INFO) return *injected;
  if (h->cancelled || !h->open) {
    addRecord(h, h->cancelled ? "S1008" : "24000",
              h->cancelled ? "Operation canceled" : "Invalid cursor state");
    return SQL_ERROR;
  }
  std::size_t total = std::max(h->result.rows.size(), h->result.repeatTo);
  if (h->nextRow >= total || h->result.rows.empty()) return SQL_NO_DATA;
  const std::size_t index = h->nextRow++ % h->result.rows.size();
  const auto& row = h->result.rows[index];
  for (auto& [column, binding] : h->bindings) {
    if (column < 1 || column > row.size()) continue;
    deliver(row[column - 1], binding);
    auto odd = h->result.indicators.find({index, column - 1});
    if (odd != h->result.indicators.end() && binding.indicator) *binding.indicator = odd->second;
  }
  return injected.value_or(SQL_SUCCESS);
}

SQLRETURN SQLCancel(SQLHSTMT stmt) {
  return simpleCall("SQLCancel", "SQLCancel", stmt, SQL_HANDLE_STMT, [](Handle* h) {
    h->cancelled = true;
    return SQL_SUCCESS;
  });
}

// No data sources and no drivers are registered with the fake.
SQLRETURN SQLDataSources(SQLHENV, SQLUSMALLINT, SQLCHAR*, SQLSMALLINT, SQLSMALLINT*, SQLCHAR*,
                         SQLSMALLINT, SQLSMALLINT*) {
  return SQL_NO_DATA;
}
SQLRETURN SQLDrivers(SQLHENV, SQLUSMALLINT, SQLCHAR*, SQLSMALLINT, SQLSMALLINT*, SQLCHAR*,
                     SQLSMALLINT, SQLSMALLINT*) {
  return SQL_NO_DATA;
}

}  // extern "C"
