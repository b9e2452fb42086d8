#pragma once

#include "store/connection.h"
#include "text/dates.h"

namespace tarvel_db {

// Fills fictional catalogues and capture days before `today` that exercise every module.
void writeDemoData(store::Connection& connection, const text::Date& today);

}  // namespace tarvel_db
