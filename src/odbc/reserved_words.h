// The ODBC reserved keywords: a name equal to one of them (in any case) is
// quoted when it is put into SQL text, whatever the data source says.
#pragma once

#include <string_view>

namespace vodbc {

// `upperWord` must already be in upper case.
bool isOdbcReservedWord(std::string_view upperWord);

}  // namespace vodbc
