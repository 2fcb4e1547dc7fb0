// Names the commands offer for worksheet files, and the path limit they
// share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vodbc {

// Longest path the commands hand on, in characters.
inline constexpr std::size_t kMaxPathChars = 256;

// "Sheet<n>.WOR": the name "Database..." offers for its n-th worksheet.
std::string numberedSheetName(std::int32_t counter);

// The worksheet name offered for a retrieval file's name: everything from
// its last "." replaced with ".WOR" ("query.idb" -> "query.WOR"); a name
// without "." gets ".WOR" appended.
std::string worksheetNameFor(std::string_view retrievalName);

// joinPath, refused (false, path empty) when the joined path would be
// longer than 256 characters: such a path could not be kept and handed on
// whole.
bool joinLimitedPath(std::string_view directory, std::string_view name, std::string& path);

}  // namespace vodbc
