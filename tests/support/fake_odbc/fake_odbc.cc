// A small ODBC driver manager with one in-memory driver, for tests of what
// real drivers cannot show: ODBC 2 only paths, a failure at any call,
// scripted diagnostic records, and an account of every handle.
#include "fake_odbc/fake_odbc.h"

#include <dlfcn.h>

#include <algorithm>
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
  bool alive = true;
  bool connected = false;
  std::deque<Diagnostic> records;
  // Statements only.
  bool open = false;
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
  std::vector<std::string> calls;
  std::vector<std::string> events;
  std::string lastStatement;
  std::string lastConnection;
};

State& state() {
  static State instance;
  return instance;
}

const char* typeName(SQLSMALLINT type) {
  switch (type) {
    case SQL_HANDLE_ENV: return "ENV";
    case SQL_HANDLE_DBC: return "DBC";
    case SQL_HANDLE_STMT: return "STMT";
  }
  return "?";
}

void setDefaultInfo(State& s) {
  s.info.clear();
  s.info[SQL_SERVER_NAME] = {SQL_SUCCESS, true, "fake", 0};
  s.info[SQL_IDENTIFIER_QUOTE_CHAR] = {SQL_SUCCESS, true, "\"", 0};
  s.info[SQL_CATALOG_NAME] = {SQL_SUCCESS, true, "N", 0};
  s.info[SQL_CATALOG_USAGE] = {SQL_SUCCESS, false, "", 0};
  s.info[SQL_SCHEMA_USAGE] = {SQL_SUCCESS, false, "", 0};
  s.info[SQL_IDENTIFIER_CASE] = {SQL_SUCCESS, false, "", SQL_IC_MIXED};
  s.info[SQL_KEYWORDS] = {SQL_SUCCESS, true, "", 0};
}

Handle* find(SQLHANDLE handle, SQLSMALLINT type) {
  auto* h = static_cast<Handle*>(handle);
  for (auto& owned : state().handles) {
    if (owned.get() == h) return h->alive && h->type == type ? h : nullptr;
  }
  return nullptr;
}

Handle* allocate(SQLSMALLINT type) {
  State& s = state();
  auto owned = std::make_unique<Handle>();
  owned->type = type;
  owned->id = static_cast<int>(s.handles.size()) + 1;
  Handle* h = owned.get();
  s.handles.push_back(std::move(owned));
  s.events.push_back(std::string("alloc ") + typeName(type) + " " +
                     std::to_string(h->id));
  return h;
}

SQLRETURN release(SQLHANDLE handle, SQLSMALLINT type) {
  Handle* h = find(handle, type);
  if (h == nullptr) {
    state().events.push_back(std::string("free-invalid ") + typeName(type));
    return SQL_INVALID_HANDLE;
  }
  h->alive = false;
  state().events.push_back(std::string("free ") + typeName(type) + " " +
                           std::to_string(h->id));
  return SQL_SUCCESS;
}

// Counts the call and applies an injected failure or a removal. Returns
// the result to give instead of working, if any.
std::optional<SQLRETURN> enter(const std::string& function,
                               const std::string& shown, Handle* target) {
  State& s = state();
  s.calls.push_back(shown);
  int n = ++s.counts[function];
  if (target != nullptr) target->records.clear();
  if (s.removed.count(function) != 0) return SQL_ERROR;
  auto it = s.failures.find(function);
  if (it == s.failures.end()) return std::nullopt;
  for (const Failure& f : it->second) {
    if (f.nth != n) continue;
    if (target != nullptr) {
      target->records.assign(f.records.begin(), f.records.end());
    }
    return f.result;
  }
  return std::nullopt;
}

void addRecord(Handle* h, const char* stateCode, const char* message) {
  if (h != nullptr) h->records.push_back({stateCode, 0, message});
}

void copyText(const std::string& text, SQLCHAR* out, SQLSMALLINT length,
              SQLSMALLINT* outLength) {
  if (outLength != nullptr) *outLength = static_cast<SQLSMALLINT>(text.size());
  if (out == nullptr || length <= 0) return;
  std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(length - 1));
  std::memcpy(out, text.data(), n);
  out[n] = 0;
}


// Delivers one value into a bound buffer.
void deliver(const Value& value, Binding& binding) {
  if (!value) {
    if (binding.indicator) *binding.indicator = SQL_NULL_DATA;
    return;
  }
  const std::string& text = *value;
  switch (binding.targetType) {
    case SQL_C_DOUBLE: {
      double number = std::strtod(text.c_str(), nullptr);
      std::memcpy(binding.buffer, &number, sizeof number);
      if (binding.indicator) *binding.indicator = sizeof number;
      return;
    }
    case SQL_C_SSHORT: case SQL_C_SHORT: {
      SQLSMALLINT number = static_cast<SQLSMALLINT>(std::atoi(text.c_str()));
      std::memcpy(binding.buffer, &number, sizeof number);
      if (binding.indicator) *binding.indicator = sizeof number;
      return;
    }
    default: {
      SQLLEN room = binding.bufferLength;
      SQLLEN length = static_cast<SQLLEN>(text.size());
      TextTruncation mode = state().truncation;
      if (length < room) {
        std::memcpy(binding.buffer, text.data(), text.size());
        binding.buffer[length] = 0;
      } else if (mode == TextTruncation::NoNul) {
        std::memcpy(binding.buffer, text.data(), static_cast<std::size_t>(room));
      } else if (room > 0) {
        std::memcpy(binding.buffer, text.data(), static_cast<std::size_t>(room - 1));
        binding.buffer[room - 1] = 0;
      }
      if (binding.indicator) {
        *binding.indicator =
            mode == TextTruncation::NoTotal ? SQL_NO_TOTAL : length;
      }
    }
  }
}

SQLRETURN openResult(Handle* h) {
  State& s = state();
  h->result = ResultSet{};
  if (!s.results.empty()) {
    h->result = std::move(s.results.front());
    s.results.pop_front();
  }
  h->open = !h->result.columns.empty();
  h->cancelled = false;
  h->nextRow = 0;
  return SQL_SUCCESS;
}

const std::map<SQLUSMALLINT, std::string>& functionIds() {
  static const std::map<SQLUSMALLINT, std::string> ids = {
      {SQL_API_SQLALLOCHANDLE, "SQLAllocHandle"},
      {SQL_API_SQLGETDIAGREC, "SQLGetDiagRec"},
      {SQL_API_SQLFREEHANDLE, "SQLFreeHandle"},
      {SQL_API_SQLCANCEL, "SQLCancel"},
  };
  return ids;
}

}  // namespace

std::string libraryPath() {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&libraryPath), &info);
  return info.dli_fname != nullptr ? info.dli_fname : "";
}

void reset() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  s.handles.clear();
  s.removed.clear();
  s.reported.clear();
  s.failures.clear();
  s.counts.clear();
  setDefaultInfo(s);
  s.results.clear();
  s.truncation = TextTruncation::Standard;
  s.completed.reset();
  s.calls.clear();
  s.events.clear();
  s.lastStatement.clear();
  s.lastConnection.clear();
}

void removeFunction(const std::string& name) {
  std::lock_guard lock(state().mutex);
  state().removed.insert(name);
}

void setReported(const std::string& name, bool reported) {
  std::lock_guard lock(state().mutex);
  state().reported[name] = reported;
}

void failAt(const std::string& function, int nth, SQLRETURN result,
            std::vector<Diagnostic> records) {
  std::lock_guard lock(state().mutex);
  state().failures[function].push_back({nth, result, std::move(records)});
}

void setInfo(SQLUSMALLINT info, SQLRETURN result, const std::string& text) {
  std::lock_guard lock(state().mutex);
  state().info[info] = {result, true, text, 0};
}

void setInfoNumber(SQLUSMALLINT info, SQLRETURN result, SQLUINTEGER value) {
  std::lock_guard lock(state().mutex);
  state().info[info] = {result, false, "", value};
}

void queueResult(ResultSet result) {
  std::lock_guard lock(state().mutex);
  state().results.push_back(std::move(result));
}

void setTextTruncation(TextTruncation mode) {
  std::lock_guard lock(state().mutex);
  state().truncation = mode;
}

void setCompletedConnectionString(const std::string& text) {
  std::lock_guard lock(state().mutex);
  state().completed = text;
}

std::vector<std::string> calls() {
  std::lock_guard lock(state().mutex);
  return state().calls;
}

std::vector<std::string> handleEvents() {
  std::lock_guard lock(state().mutex);
  return state().events;
}

int liveHandles() {
  std::lock_guard lock(state().mutex);
  int live = 0;
  for (auto& h : state().handles) live += h->alive ? 1 : 0;
  return live;
}

int callCount(const std::string& function) {
  std::lock_guard lock(state().mutex);
  auto it = state().counts.find(function);
  return it == state().counts.end() ? 0 : it->second;
}

std::string lastStatementText() {
  std::lock_guard lock(state().mutex);
  return state().lastStatement;
}

std::string lastConnectionInput() {
  std::lock_guard lock(state().mutex);
  return state().lastConnection;
}

}  // namespace vodbc::fake

using namespace vodbc::fake;

#define FAKE_LOCK std::lock_guard fake_lock(state().mutex)

extern "C" {

SQLRETURN SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
  FAKE_LOCK;
  Handle* parent = nullptr;
  if (type == SQL_HANDLE_DBC) parent = find(input, SQL_HANDLE_ENV);
  if (type == SQL_HANDLE_STMT) parent = find(input, SQL_HANDLE_DBC);
  if (auto r = enter("SQLAllocHandle", std::string("SQLAllocHandle(") + typeName(type) + ")", parent)) {
    if (!SQL_SUCCEEDED(*r)) return *r;
    *output = allocate(type);
    return *r;
  }
  if (type != SQL_HANDLE_ENV && parent == nullptr) return SQL_INVALID_HANDLE;
  if (type == SQL_HANDLE_STMT && !parent->connected) {
    addRecord(parent, "08003", "Connection not open");
    return SQL_ERROR;
  }
  *output = allocate(type);
  return SQL_SUCCESS;
}

SQLRETURN SQLAllocEnv(SQLHENV* env) {
  FAKE_LOCK;
  if (auto r = enter("SQLAllocEnv", "SQLAllocEnv", nullptr)) {
    if (SQL_SUCCEEDED(*r)) *env = allocate(SQL_HANDLE_ENV);
    return *r;
  }
  *env = allocate(SQL_HANDLE_ENV);
  return SQL_SUCCESS;
}

SQLRETURN SQLAllocConnect(SQLHENV env, SQLHDBC* dbc) {
  FAKE_LOCK;
  Handle* parent = find(env, SQL_HANDLE_ENV);
  if (auto r = enter("SQLAllocConnect", "SQLAllocConnect", parent)) {
    if (SQL_SUCCEEDED(*r)) *dbc = allocate(SQL_HANDLE_DBC);
    return *r;
  }
  if (parent == nullptr) return SQL_INVALID_HANDLE;
  *dbc = allocate(SQL_HANDLE_DBC);
  return SQL_SUCCESS;
}

SQLRETURN SQLAllocStmt(SQLHDBC dbc, SQLHSTMT* stmt) {
  FAKE_LOCK;
  Handle* parent = find(dbc, SQL_HANDLE_DBC);
  if (auto r = enter("SQLAllocStmt", "SQLAllocStmt", parent)) {
    if (SQL_SUCCEEDED(*r)) *stmt = allocate(SQL_HANDLE_STMT);
    return *r;
  }
  if (parent == nullptr) return SQL_INVALID_HANDLE;
  *stmt = allocate(SQL_HANDLE_STMT);
  return SQL_SUCCESS;
}

SQLRETURN SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
  FAKE_LOCK;
  if (auto r = enter("SQLFreeHandle", std::string("SQLFreeHandle(") + typeName(type) + ")", nullptr)) {
    return *r;
  }
  return release(handle, type);
}

SQLRETURN SQLFreeEnv(SQLHENV env) {
  FAKE_LOCK;
  if (auto r = enter("SQLFreeEnv", "SQLFreeEnv", nullptr)) return *r;
  return release(env, SQL_HANDLE_ENV);
}

SQLRETURN SQLFreeConnect(SQLHDBC dbc) {
  FAKE_LOCK;
  if (auto r = enter("SQLFreeConnect", "SQLFreeConnect", nullptr)) return *r;
  return release(dbc, SQL_HANDLE_DBC);
}

SQLRETURN SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option) {
  FAKE_LOCK;
  const char* what = option == SQL_DROP ? "DROP"
                     : option == SQL_UNBIND ? "UNBIND"
                     : option == SQL_CLOSE ? "CLOSE" : "OTHER";
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  if (auto r = enter("SQLFreeStmt", std::string("SQLFreeStmt(") + what + ")", h)) return *r;
  if (option == SQL_DROP) return release(stmt, SQL_HANDLE_STMT);
  if (h == nullptr) return SQL_INVALID_HANDLE;
  if (option == SQL_UNBIND) h->bindings.clear();
  if (option == SQL_CLOSE) h->open = false;
  return SQL_SUCCESS;
}

SQLRETURN SQLSetEnvAttr(SQLHENV env, SQLINTEGER, SQLPOINTER, SQLINTEGER) {
  FAKE_LOCK;
  Handle* h = find(env, SQL_HANDLE_ENV);
  if (auto r = enter("SQLSetEnvAttr", "SQLSetEnvAttr", h)) return *r;
  return h == nullptr ? SQL_INVALID_HANDLE : SQL_SUCCESS;
}

SQLRETURN SQLDriverConnect(SQLHDBC dbc, SQLHWND, SQLCHAR* in, SQLSMALLINT inLength,
                           SQLCHAR* out, SQLSMALLINT outMax, SQLSMALLINT* outLength,
                           SQLUSMALLINT) {
  FAKE_LOCK;
  Handle* h = find(dbc, SQL_HANDLE_DBC);
  std::string input;
  if (in != nullptr) {
    input = inLength == SQL_NTS ? std::string(reinterpret_cast<char*>(in))
                                : std::string(reinterpret_cast<char*>(in), static_cast<std::size_t>(inLength));
  }
  state().lastConnection = input;
  if (auto r = enter("SQLDriverConnect", "SQLDriverConnect", h)) {
    if (!SQL_SUCCEEDED(*r)) return *r;
  }
  if (h == nullptr) return SQL_INVALID_HANDLE;
  h->connected = true;
  copyText(state().completed.value_or(input), out, outMax, outLength);
  return SQL_SUCCESS;
}

SQLRETURN SQLDisconnect(SQLHDBC dbc) {
  FAKE_LOCK;
  Handle* h = find(dbc, SQL_HANDLE_DBC);
  if (auto r = enter("SQLDisconnect", "SQLDisconnect", h)) return *r;
  if (h == nullptr) return SQL_INVALID_HANDLE;
  state().events.push_back("disconnect DBC " + std::to_string(h->id));
  h->connected = false;
  return SQL_SUCCESS;
}

SQLRETURN SQLGetFunctions(SQLHDBC dbc, SQLUSMALLINT id, SQLUSMALLINT* supported) {
  FAKE_LOCK;
  Handle* h = find(dbc, SQL_HANDLE_DBC);
  if (auto r = enter("SQLGetFunctions", "SQLGetFunctions", h)) return *r;
  if (h == nullptr) return SQL_INVALID_HANDLE;
  auto it = functionIds().find(id);
  bool answer = true;
  if (it != functionIds().end()) {
    const std::string& name = it->second;
    auto reported = state().reported.find(name);
    answer = state().removed.count(name) == 0 &&
             (reported == state().reported.end() || reported->second);
  }
  *supported = answer ? SQL_TRUE : SQL_FALSE;
  return SQL_SUCCESS;
}

SQLRETURN SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER value,
                     SQLSMALLINT length, SQLSMALLINT* outLength) {
  FAKE_LOCK;
  Handle* h = find(dbc, SQL_HANDLE_DBC);
  if (auto r = enter("SQLGetInfo", "SQLGetInfo(" + std::to_string(type) + ")", h)) return *r;
  if (h == nullptr) return SQL_INVALID_HANDLE;
  auto it = state().info.find(type);
  if (it == state().info.end()) {
    addRecord(h, "HY096", "Information type out of range");
    return SQL_ERROR;
  }
  const Info& info = it->second;
  if (info.isText) {
    copyText(info.text, static_cast<SQLCHAR*>(value), length, outLength);
  } else if (type == SQL_IDENTIFIER_CASE) {
    SQLUSMALLINT small = static_cast<SQLUSMALLINT>(info.number);
    std::memcpy(value, &small, sizeof small);
  } else {
    std::memcpy(value, &info.number, sizeof info.number);
  }
  return info.result;
}

SQLRETURN SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record,
                        SQLCHAR* stateOut, SQLINTEGER* native, SQLCHAR* message,
                        SQLSMALLINT length, SQLSMALLINT* outLength) {
  FAKE_LOCK;
  state().calls.push_back("SQLGetDiagRec");
  if (state().removed.count("SQLGetDiagRec") != 0) return SQL_ERROR;
  Handle* h = find(handle, type);
  if (h == nullptr) return SQL_INVALID_HANDLE;
  if (record < 1 || static_cast<std::size_t>(record) > h->records.size()) return SQL_NO_DATA;
  const Diagnostic& d = h->records[static_cast<std::size_t>(record - 1)];
  copyText(d.state, stateOut, 6, nullptr);
  if (native) *native = d.native;
  copyText(d.message, message, length, outLength);
  return d.message.size() >= static_cast<std::size_t>(length) ? SQL_SUCCESS_WITH_INFO
                                                               : SQL_SUCCESS;
}

SQLRETURN SQLError(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLCHAR* stateOut,
                   SQLINTEGER* native, SQLCHAR* message, SQLSMALLINT length,
                   SQLSMALLINT* outLength) {
  FAKE_LOCK;
  state().calls.push_back("SQLError");
  if (state().removed.count("SQLError") != 0) return SQL_ERROR;
  Handle* h = stmt != nullptr ? find(stmt, SQL_HANDLE_STMT)
              : dbc != nullptr ? find(dbc, SQL_HANDLE_DBC)
                               : find(env, SQL_HANDLE_ENV);
  if (h == nullptr) return SQL_INVALID_HANDLE;
  if (h->records.empty()) return SQL_NO_DATA;
  Diagnostic d = h->records.front();
  h->records.pop_front();
  copyText(d.state, stateOut, 6, nullptr);
  if (native) *native = d.native;
  copyText(d.message, message, length, outLength);
  return SQL_SUCCESS;
}

SQLRETURN SQLTables(SQLHSTMT stmt, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                    SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT) {
  FAKE_LOCK;
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  if (auto r = enter("SQLTables", "SQLTables", h)) {
    if (!SQL_SUCCEEDED(*r)) return *r;
    if (h) openResult(h);
    return *r;
  }
  if (h == nullptr) return SQL_INVALID_HANDLE;
  return openResult(h);
}

SQLRETURN SQLColumns(SQLHSTMT stmt, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                     SQLCHAR* table, SQLSMALLINT, SQLCHAR*, SQLSMALLINT) {
  FAKE_LOCK;
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  state().lastStatement = table ? reinterpret_cast<char*>(table) : "";
  if (auto r = enter("SQLColumns", "SQLColumns", h)) {
    if (!SQL_SUCCEEDED(*r)) return *r;
    if (h) openResult(h);
    return *r;
  }
  if (h == nullptr) return SQL_INVALID_HANDLE;
  return openResult(h);
}

SQLRETURN SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER) {
  FAKE_LOCK;
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  state().lastStatement = text ? reinterpret_cast<char*>(text) : "";
  if (auto r = enter("SQLExecDirect", "SQLExecDirect", h)) {
    if (!SQL_SUCCEEDED(*r)) return *r;
    if (h) openResult(h);
    return *r;
  }
  if (h == nullptr) return SQL_INVALID_HANDLE;
  return openResult(h);
}

SQLRETURN SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* count) {
  FAKE_LOCK;
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  if (auto r = enter("SQLNumResultCols", "SQLNumResultCols", h)) return *r;
  if (h == nullptr) return SQL_INVALID_HANDLE;
  *count = static_cast<SQLSMALLINT>(h->result.columns.size());
  return SQL_SUCCESS;
}

SQLRETURN SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name,
                         SQLSMALLINT length, SQLSMALLINT* nameLength,
                         SQLSMALLINT* dataType, SQLULEN* size, SQLSMALLINT* digits,
                         SQLSMALLINT* nullable) {
  FAKE_LOCK;
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  if (auto r = enter("SQLDescribeCol", "SQLDescribeCol", h)) return *r;
  if (h == nullptr) return SQL_INVALID_HANDLE;
  if (column < 1 || column > h->result.columns.size()) return SQL_ERROR;
  const Column& c = h->result.columns[column - 1];
  copyText(c.name, name, length, nameLength);
  if (dataType) *dataType = c.sqlType;
  if (size) *size = 80;
  if (digits) *digits = 0;
  if (nullable) *nullable = SQL_NULLABLE;
  return SQL_SUCCESS;
}

SQLRETURN SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT type,
                     SQLPOINTER buffer, SQLLEN length, SQLLEN* indicator) {
  FAKE_LOCK;
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  if (auto r = enter("SQLBindCol", "SQLBindCol", h)) return *r;
  if (h == nullptr) return SQL_INVALID_HANDLE;
  h->bindings[column] = {type, static_cast<char*>(buffer), length, indicator};
  return SQL_SUCCESS;
}

SQLRETURN SQLFetch(SQLHSTMT stmt) {
  FAKE_LOCK;
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  std::optional<SQLRETURN> injected = enter("SQLFetch", "SQLFetch", h);
  if (h == nullptr) return SQL_INVALID_HANDLE;
  if (injected && *injected != SQL_SUCCESS_WITH_INFO) return *injected;
  if (h->cancelled) {
    addRecord(h, "S1008", "Operation canceled");
    return SQL_ERROR;
  }
  if (!h->open) {
    addRecord(h, "24000", "Invalid cursor state");
    return SQL_ERROR;
  }
  std::size_t total = std::max(h->result.rows.size(), h->result.repeatTo);
  if (h->nextRow >= total || h->result.rows.empty()) return SQL_NO_DATA;
  const auto& row = h->result.rows[h->nextRow++ % h->result.rows.size()];
  for (auto& [column, binding] : h->bindings) {
    if (column >= 1 && column <= row.size()) deliver(row[column - 1], binding);
  }
  return injected.value_or(SQL_SUCCESS);
}

SQLRETURN SQLCancel(SQLHSTMT stmt) {
  FAKE_LOCK;
  Handle* h = find(stmt, SQL_HANDLE_STMT);
  if (auto r = enter("SQLCancel", "SQLCancel", nullptr)) return *r;
  if (h == nullptr) return SQL_INVALID_HANDLE;
  h->cancelled = true;
  return SQL_SUCCESS;
}

SQLRETURN SQLDataSources(SQLHENV, SQLUSMALLINT, SQLCHAR*, SQLSMALLINT, SQLSMALLINT*,
                         SQLCHAR*, SQLSMALLINT, SQLSMALLINT*) {
  FAKE_LOCK;
  enter("SQLDataSources", "SQLDataSources", nullptr);
  return SQL_NO_DATA;
}

SQLRETURN SQLDrivers(SQLHENV, SQLUSMALLINT, SQLCHAR*, SQLSMALLINT, SQLSMALLINT*,
                     SQLCHAR*, SQLSMALLINT, SQLSMALLINT*) {
  FAKE_LOCK;
  enter("SQLDrivers", "SQLDrivers", nullptr);
  return SQL_NO_DATA;
}

}  // extern "C"
