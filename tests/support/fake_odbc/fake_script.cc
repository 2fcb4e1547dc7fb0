// Scripts for a fake driver manager in another process, kept as CBOR: its
// strings hold any bytes, as the values a test hands a driver may.
#include <fstream>
#include <nlohmann/json.hpp>

#include "fake_odbc/fake_odbc.h"

// A value is text or SQL NULL.
template <>
struct nlohmann::adl_serializer<vodbc::fake::Value> {
  static void to_json(json& j, const vodbc::fake::Value& v) { j = v ? json(*v) : json(nullptr); }
  static void from_json(const json& j, vodbc::fake::Value& v) {
    v = j.is_null() ? vodbc::fake::Value() : j.get<std::string>();
  }
};

namespace vodbc::fake {

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Column, name, sqlType)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(ResultSet, columns, rows, repeatTo, indicators)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Diagnostic, state, native, message)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(InjectedFailure, function, nth, result, records)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Script, results, failures, truncation)

bool saveScript(const Script& script, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  nlohmann::json::to_cbor(nlohmann::json(script), out);
  out.close();
  return static_cast<bool>(out);
}

bool loadScript(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Script script;
  try {
    nlohmann::json::from_cbor(in).get_to(script);
  } catch (const nlohmann::json::exception&) {
    return false;  // unreadable, or not a whole script
  }
  setTextTruncation(script.truncation);
  for (InjectedFailure& f : script.failures) {
    failAt(f.function, f.nth, f.result, std::move(f.records));
  }
  for (ResultSet& r : script.results) queueResult(std::move(r));
  return true;
}

}  // namespace vodbc::fake
