// Composing the SELECT statement of an interactive retrieval from the
// choices of the select-data window.
#pragma once

#include "odbc/catalog.h"
#include "odbc/retrieval_spec.h"

namespace vodbc {

// Replaces spec.sqlText with
//   "SELECT " <columns> " FROM " [<schema> "."] <table> [" WHERE " <where>]
// where <columns> lists the table's selected columns in list order, joined
// by ",", or is "*" when none or all of them are selected (or the columns
// were never read). Names go through appendIdentifier, so they are quoted
// with the connected driver's quote character when they need it; a schema
// of fewer than two characters and the catalog are never written; the WHERE
// text goes in exactly as the builder left it. No trailing semicolon.
//
// spec.sqlCapacity starts at 4096 characters and grows by 4096 whenever the
// next piece might not fit, counting room for two quote characters and a
// separator, so the SQL editor sees the same capacity for the same choices.
void buildSelect(RetrievalSpec& spec, const CatalogTable& table);

}  // namespace vodbc
